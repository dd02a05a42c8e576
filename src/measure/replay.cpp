#include "measure/replay.h"

#include <cctype>
#include <cstdlib>

namespace measure {
namespace {

constexpr const char* kStepsPrefix = ",steps,";
constexpr const char* kColumnHeader = "Frequency (Hz),Magnitude 1 (V),Magnitude 2 (V),Gain (dB),Phase (deg)";

bool startsWithNoCase(const std::string& text, const char* prefix) {
    std::size_t i = 0;
    for (; prefix[i]; ++i)
        if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) !=
                                    std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

}  // namespace

bool ReplayFile::open(const std::string& path) {
    close();
    file_ = std::fopen(path.c_str(), "rb");
    return file_ != nullptr;
}

void ReplayFile::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

// Lines are read 127 characters at a time, as the replay format has always been read.
bool ReplayFile::readLine(std::string& line) {
    char buffer[128];
    if (!file_ || !std::fgets(buffer, sizeof buffer, file_)) return false;
    line = buffer;
    return true;
}

int ReplayFile::readTextHeader() {
    int steps = 0;
    std::string line;
    while (readLine(line)) {
        if (startsWithNoCase(line, kStepsPrefix)) steps = std::atoi(line.c_str() + 7);
        else if (startsWithNoCase(line, kColumnHeader)) return steps;
    }
    return 0;
}

int ReplayFile::readTextPoint(double values[5]) {
    std::string line;
    if (!readLine(line)) return -1;
    int n = std::sscanf(line.c_str(), "%lf,%lf,%lf,%lf,%lf", &values[0], &values[1], &values[2], &values[3], &values[4]);
    return n < 0 ? 0 : n;
}

bool ReplayFile::readBlock(FraSweepBlock& block) {
    return file_ && std::fread(&block, sizeof block, 1, file_) == 1;
}

bool ReplayFile::readPoint(db::FraPoint& point) {
    return file_ && std::fread(&point, sizeof point, 1, file_) == 1;
}

}  // namespace measure
