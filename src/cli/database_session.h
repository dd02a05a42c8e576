// The database a command works on: opened on the main connection for the command's duration and
// closed when it ends, whichever way it ends.
#pragma once

#include <string>

#include "db/schema.h"

namespace cli {

class DatabaseSession {
public:
    // Open takes an existing file; CreateIfMissing creates a missing one (created says whether it
    // did). An empty path opens nothing.
    explicit DatabaseSession(const std::string& path, db::OpenMode mode = db::OpenMode::Open, bool* created = nullptr)
        : open_(!path.empty() && db::open_database(path, mode, created, db::Connection::Main)) {}
    ~DatabaseSession() { db::open_database({}, db::OpenMode::Close, nullptr, db::Connection::Main); }
    DatabaseSession(const DatabaseSession&) = delete;
    DatabaseSession& operator=(const DatabaseSession&) = delete;

    bool isOpen() const { return open_; }

private:
    bool open_;
};

}  // namespace cli
