// Synchronising the open database file with the fleet server: push sends every record the server
// lacks and every change made here; pull brings chosen transformers with their setups, equipment and
// sweeps (fingerprints first) into the file; status says what each would do. The rules (identities,
// natural keys, the later change winning, the history) are in docs/fleet.md.
//
// Works on an open database file (the program's, Connection::Main, or another the caller holds) and
// on one server connection; the user-interface thread only, like the record store. Each batch (one transformer's records with up to
// 50 sweeps) is one server transaction and one local transaction, the local marks written only after
// the server's commit: whatever stops a run, running it again finishes the job without duplicates.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "db/schema.h"
#include "fleet/server.h"

namespace fleet {

// Told of progress after each sweep: sweeps done so far and in all, and what is under way. Returning
// false stops the run after the batch in hand, which is completed.
using SyncProgress = std::function<bool(int done, int total, const std::string& what)>;

enum class SyncKind { Push, Pull, Status };

struct SyncReport {
    SyncKind kind = SyncKind::Push;
    bool ok = false;       // false: stopped by the failure in message
    bool stopped = false;  // stopped by the user, with every finished batch kept
    std::string message;   // the failure, or "" when none
    // Records sent (push) or brought (pull): new to the other side, and descriptive changes.
    int transformers = 0, setups = 0, equipment = 0, sweeps = 0, changes = 0;
    int sweepsPresent = 0;               // sweeps the other side held already (by id or content)
    std::vector<std::string> conflicts;  // one line each: both sides had changed the record
    std::vector<std::string> notes;      // other things the user must hear (a renamed transformer)
    // Status only: what a push would send and a pull would bring.
    int unsent = 0, changedHere = 0, changedThere = 0, sweepsToPull = 0;
};

// A push of the chosen transformers (by identifier; none: every one) with all they depend on.
SyncReport push(Server& server, db::Connection local, const std::vector<std::string>& transformers,
                const SyncProgress& progress = {});

// A pull of the chosen transformers (by identifier as the server knows them; none: every one).
SyncReport pull(Server& server, db::Connection local, const std::vector<std::string>& transformers,
                const SyncProgress& progress = {});

// What a push and a pull of those transformers would do; changes nothing on either side (but gives
// records of the file that have no global id theirs).
SyncReport status(Server& server, db::Connection local, const std::vector<std::string>& transformers);

// The report as the user reads it: a summary line, the counts, every conflict and note.
std::string reportText(const SyncReport& report);

}  // namespace fleet
