// The fleet server's schema (docs/fleet.md): created and brought up to this program's version by
// `corvane fleet init`, with a version of its own in fleet_schema, and the two roles that decide who
// may push (fleet_writer) and who may only pull (fleet_reader).
#pragma once

#include <string>

#include "fleet/server.h"

namespace fleet {

// The server schema version this program writes.
constexpr int kServerSchemaVersion = 1;

// The version the server holds: 0 when it holds no fleet schema, -1 when it cannot be read.
int serverSchemaVersion(Server& server);

struct InitOutcome {
    bool ok = false;
    int from = 0;           // the version found
    int to = 0;             // the version left
    bool rolesMade = false; // fleet_reader and fleet_writer exist with their privileges
    std::string message;    // one line for the user
};

// Creates the schema or upgrades it, in one transaction under a lock so that two at once do not
// collide; a server of a newer version is left alone. The roles are made afterwards where the
// connection's role may make roles; that they could not be made is said, not a failure.
InitOutcome initServer(Server& server);

}  // namespace fleet
