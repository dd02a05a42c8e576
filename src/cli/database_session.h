// The database a command works on: opened on the main connection for the command's duration and
// closed when it ends, whichever way it ends.
#pragma once

#include <string>

#include "db/schema.h"

namespace cli {

class DatabaseSession {
public:
    // mode 3 opens an existing file; mode 1 creates a missing one (created says whether it did).
    // An empty path opens nothing.
    explicit DatabaseSession(const std::string& path, int mode = 3, bool* created = nullptr)
        : open_(!path.empty() && db::open_database(path, mode, created, db::Connection::Main)) {}
    ~DatabaseSession() { db::open_database({}, 2, nullptr, db::Connection::Main); }
    DatabaseSession(const DatabaseSession&) = delete;
    DatabaseSession& operator=(const DatabaseSession&) = delete;

    bool isOpen() const { return open_; }

private:
    bool open_;
};

}  // namespace cli
