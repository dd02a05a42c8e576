// The fleet server's connection on libpq.
#include "fleet/server.h"

#include <libpq-fe.h>

#include <algorithm>
#include <memory>

namespace fleet {
namespace {

PGconn* pg(void* connection) { return static_cast<PGconn*>(connection); }

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

// The program's reading of a failed statement: a refused privilege says who may only read.
std::string reading(PGresult* result, PGconn* connection) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const std::string message = trimmed(result ? PQresultErrorMessage(result) : PQerrorMessage(connection));
    if (state && std::string(state) == "42501")
        return std::string("The fleet server refused the change: ") + PQuser(connection) +
               " may only read (" + message + ")";
    return message.empty() ? "The fleet server failed without saying why" : message;
}

}  // namespace

Server::Server(const std::string& conninfo, int connectTimeout) {
    // A timeout the string itself gives stands: libpq takes the last of repeated keywords.
    const std::string full = "connect_timeout=" + std::to_string(connectTimeout) + " " + conninfo;
    PGconn* c = PQconnectdb(full.c_str());
    if (PQstatus(c) != CONNECTION_OK) {
        error_ = "The fleet server cannot be reached: " + trimmed(PQerrorMessage(c));
        PQfinish(c);
        return;
    }
    connection_ = c;
    exec("SET client_encoding TO 'UTF8'");
}

Server::~Server() {
    if (connection_) PQfinish(pg(connection_));
}

bool Server::exec(const std::string& sql, const std::vector<std::optional<std::string>>& values, std::vector<Row>* rows) {
    if (!connection_) return false;
    std::vector<const char*> params;
    for (const auto& v : values) params.push_back(v ? v->c_str() : nullptr);
    std::unique_ptr<PGresult, void (*)(PGresult*)> result(
        PQexecParams(pg(connection_), sql.c_str(), static_cast<int>(params.size()), nullptr, params.data(), nullptr,
                     nullptr, 0),
        PQclear);
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        error_ = reading(result.get(), pg(connection_));
        const char* state = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
        state_ = state ? state : "";
        return false;
    }
    if (rows) {
        rows->clear();
        for (int r = 0; r < PQntuples(result.get()); ++r) {
            Row row;
            for (int c = 0; c < PQnfields(result.get()); ++c)
                row.push_back(PQgetisnull(result.get(), r, c) ? std::nullopt
                                                               : std::optional<std::string>(PQgetvalue(result.get(), r, c)));
            rows->push_back(std::move(row));
        }
    }
    return true;
}

bool Server::copyIn(const std::string& sql, const std::string& data) {
    if (!connection_) return false;
    PGconn* c = pg(connection_);
    std::unique_ptr<PGresult, void (*)(PGresult*)> started(PQexec(c, sql.c_str()), PQclear);
    if (!started || PQresultStatus(started.get()) != PGRES_COPY_IN) {
        error_ = reading(started.get(), c);
        return false;
    }
    // In pieces, so that a large sweep never needs a second copy of itself in libpq's buffer.
    constexpr std::size_t kPiece = 1 << 20;
    bool sent = true;
    for (std::size_t at = 0; sent && at < data.size(); at += kPiece)
        sent = PQputCopyData(c, data.data() + at, static_cast<int>(std::min(kPiece, data.size() - at))) == 1;
    if (PQputCopyEnd(c, sent ? nullptr : "the program could not send its data") != 1) sent = false;
    bool ok = sent;
    while (PGresult* result = PQgetResult(c)) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK) {
            if (ok) {
                error_ = reading(result, c);
                const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
                state_ = state ? state : "";
            }
            ok = false;
        }
        PQclear(result);
    }
    if (!sent && error_.empty()) error_ = reading(nullptr, c);
    return ok;
}

bool Server::begin() { return exec("BEGIN"); }

bool Server::commit() {
    if (exec("COMMIT")) return true;
    rollback();
    return false;
}

void Server::rollback() {
    const std::string kept = error_;
    exec("ROLLBACK");
    error_ = kept;
}

std::string Server::role() {
    std::vector<Row> rows;
    return exec("SELECT current_user", {}, &rows) && !rows.empty() && rows[0][0] ? *rows[0][0] : std::string();
}

}  // namespace fleet
