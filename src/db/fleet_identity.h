// What the file knows of the fleet server: the global identity of each transformer, setup, equipment
// and sweep kept beside its local key, when it last changed here and which of its versions both sides
// hold; and the file's own facts (the laptop's id). Kept in tables of the file's own, made the first
// time a record is stored, so the program's eight tables and their columns stay as they are.
// On the main connection unless given another; user-interface thread only, like the rest of the
// record store.
#pragma once

#include <string>
#include <vector>

#include "db/schema.h"

namespace db {

// One record's identity. Times are UTC, ISO 8601 with milliseconds ("2026-12-11T09:30:00.125Z").
struct FleetIdentity {
    std::string globalId;     // a UUID
    std::string changedAt;    // the last change stored here
    std::string syncedAt;     // the change both this file and the server hold; "" before the first sync
    std::string contentHash;  // sweeps: the SHA-256 of what was measured, once computed
};

// The moment now, as the identities write it.
std::string fleetNow();

// The identity of the record whose local key is key (a transformer's identifier, any other record's
// id as text). False when it has none (or the query failed).
bool fleetIdentityOf(TableIndex table, const std::string& key, FleetIdentity& identity,
                     Connection c = Connection::Main);

// The local key of the record with that global id; "" when the file has none.
std::string fleetLocalKey(TableIndex table, const std::string& globalId, Connection c = Connection::Main);

// Gives the record that identity, replacing the one it had. SQLite's result code (0 on success).
int setFleetIdentity(TableIndex table, const std::string& key, const FleetIdentity& identity,
                     Connection c = Connection::Main);

// The record store has just written the record: a new one gets a new global id, and either way its
// change is dated now. Runs inside the store's transaction. SQLite's result code.
int noteRecordStored(TableIndex table, const std::string& key, Connection c = Connection::Main);

// The records are deleted: their identities go with them, so that a key used again is a new record.
int forgetFleetIdentities(TableIndex table, const std::vector<std::string>& keys, Connection c = Connection::Main);

// Gives every record of the four tables that has no identity one (records stored before the fleet,
// or by another program). The number given, or -1 when it failed.
int assignMissingFleetIdentities(Connection c = Connection::Main);

// A fact of the file's own ("" when not set), and setting one.
std::string fleetState(const std::string& key, Connection c = Connection::Main);
int setFleetState(const std::string& key, const std::string& value, Connection c = Connection::Main);

// The file's laptop id, made (and kept) the first time it is asked for.
std::string fleetLaptopId(Connection c = Connection::Main);

}  // namespace db
