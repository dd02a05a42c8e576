// The fleet server: one connection to the utility's PostgreSQL database through libpq. Every
// statement the program sends binds its values as parameters; the connection string names the
// server, and the credentials come from libpq's own means (a service file, the password file, the
// environment), never from the program's settings files. Not thread-safe; one owner.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace fleet {

// One row of a result, its values as text; a NULL is absent.
using Row = std::vector<std::optional<std::string>>;

class Server {
public:
    // Connects with the libpq connection string (it waits at most connectTimeout seconds unless the
    // string says otherwise); check connected() and error().
    explicit Server(const std::string& conninfo, int connectTimeout = 10);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    bool connected() const { return connection_ != nullptr; }
    // What the last failure was, in the server's words with the program's reading of it first.
    const std::string& error() const { return error_; }
    // The SQLSTATE of the last failed statement ("" when the server gave none).
    const std::string& state() const { return state_; }

    // Runs one statement with its values bound as $1, $2, ... (a missing value binds NULL); the rows
    // it returns go to rows when given. False with error() set when it failed.
    bool exec(const std::string& sql, const std::vector<std::optional<std::string>>& values = {},
              std::vector<Row>* rows = nullptr);

    // Runs a "COPY ... FROM STDIN" statement with data in COPY's text form (values separated by tabs,
    // rows ended by newlines). The fastest way in for many rows; the data is never read as SQL.
    bool copyIn(const std::string& sql, const std::string& data);

    // BEGIN, COMMIT (false when the commit failed: nothing of the transaction is kept) and ROLLBACK.
    bool begin();
    bool commit();
    void rollback();

    // The role the connection acts as.
    std::string role();

private:
    void* connection_ = nullptr;
    std::string error_;
    std::string state_;
};

}  // namespace fleet
