// Single rows read by their key for the record dialogs and the pickers: the WHERE clauses that name
// one row, a row's columns, the short texts by which a chosen transformer, setup, equipment or
// fingerprint sweep is shown, and the case-blind look-up of a sweep name. Works on the main
// connection; user-interface thread only. A failed query has shown its message (see record_store.h)
// and reads as "no such row".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/schema.h"

namespace db {

// "WHERE column='value'", the value's quotes doubled; with a base clause (itself "WHERE ...")
// "base AND column='value'".
std::string whereColumnIs(TableIndex table, int column, const std::string& value, const std::string& base = {});

// All columns of the first row whose key (column 0) is key, within base when given, as stored.
// False when there is none.
bool loadRowByKey(TableIndex table, const std::string& key, const std::string& base, std::vector<std::string>& values);

// How a chosen record is shown in a field, "" when the row does not exist: a transformer as
// "identifier manufacturer serial", a setup as "name reference-response", equipment as
// "manufacturer instrument serial", a fingerprint sweep as "name   date time   comments".
std::string transformerText(const std::string& identifier);
std::string setupText(std::int64_t id);
std::string equipmentText(std::int64_t id);
std::string fingerprintText(std::int64_t sweepId);

// Whether a sweep of this name exists, in any letter case.
bool sweepNameExists(const std::string& name, Connection c = Connection::Main);

}  // namespace db
