// A fresh temporary folder per test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace testing_support {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // name in the folder (platform::joinPath)
    std::string file(const std::string& name) const;

private:
    std::string path_;
};

// Whole content of a file ("" when missing) and writing one.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);

}  // namespace testing_support
