// The fleet server's tables, their upgrades and the roles.
#include "fleet/server_schema.h"

#include <cstdlib>
#include <vector>

namespace fleet {
namespace {

// Any number the program alone uses to serialise schema changes among its own connections.
constexpr const char* kLock = "SELECT pg_advisory_xact_lock(7110462201)";

// The statements that bring a schema of version n - 1 to version n, for n = 1, 2, ...
const std::vector<std::vector<const char*>> kUpgrades = {
    {
        "CREATE TABLE fleet_transformer (global_id uuid PRIMARY KEY, identifier text NOT NULL, manufacturer text,"
        " serial_number text, fingerprint_sweep uuid, changed_at timestamptz NOT NULL, changed_by text NOT NULL)",
        "CREATE UNIQUE INDEX fleet_transformer_natural ON fleet_transformer (manufacturer, serial_number)"
        " WHERE manufacturer <> '' AND serial_number <> ''",
        "CREATE TABLE fleet_setup (global_id uuid PRIMARY KEY, name text, reference_terminal text,"
        " response_terminal text, connected_terminals text, oltc integer, unshielded_length double precision,"
        " fluid_filled boolean, comments text, changed_at timestamptz NOT NULL, changed_by text NOT NULL)",
        "CREATE TABLE fleet_equipment (global_id uuid PRIMARY KEY, manufacturer text, instrument text,"
        " serial_number text, calibration_due_date text, changed_at timestamptz NOT NULL, changed_by text NOT NULL,"
        " UNIQUE (manufacturer, instrument, serial_number))",
        "CREATE TABLE fleet_sweep (global_id uuid PRIMARY KEY, content_hash bytea NOT NULL UNIQUE,"
        " transformer uuid NOT NULL REFERENCES fleet_transformer, setup uuid NOT NULL REFERENCES fleet_setup,"
        " equipment uuid NOT NULL REFERENCES fleet_equipment, name text, temperature double precision,"
        " peak_voltage double precision, date text, time text, phase_convention integer, comments text,"
        " data_type integer NOT NULL, changed_at timestamptz NOT NULL, changed_by text NOT NULL)",
        "CREATE TABLE fleet_point_basic (sweep uuid NOT NULL REFERENCES fleet_sweep, n integer NOT NULL,"
        " frequency double precision, amplitude double precision, phase double precision, PRIMARY KEY (sweep, n))",
        "CREATE TABLE fleet_point_fra (sweep uuid NOT NULL REFERENCES fleet_sweep, n integer NOT NULL,"
        " frequency double precision, mag1 double precision, mag2 double precision, gain double precision,"
        " phase double precision, delay double precision, PRIMARY KEY (sweep, n))",
        "CREATE TABLE fleet_point_lcr (sweep uuid NOT NULL REFERENCES fleet_sweep, n integer NOT NULL,"
        " frequency double precision, impedance double precision, theta double precision,"
        " resistance double precision, reactance double precision, inductance double precision,"
        " capacitance double precision, quality double precision, PRIMARY KEY (sweep, n))",
        "CREATE TABLE fleet_history (table_name text NOT NULL, global_id uuid NOT NULL, row jsonb NOT NULL,"
        " replaced_at timestamptz NOT NULL DEFAULT now(), replaced_by text NOT NULL)",
    },
};

const char* const kRoles[] = {
    "DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'fleet_reader') THEN"
    " CREATE ROLE fleet_reader NOLOGIN; END IF;"
    " IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'fleet_writer') THEN"
    " CREATE ROLE fleet_writer NOLOGIN; END IF; END $$",
    "DO $$ BEGIN EXECUTE format('GRANT USAGE ON SCHEMA %I TO fleet_reader, fleet_writer', current_schema()); END $$",
    "GRANT SELECT ON fleet_schema, fleet_transformer, fleet_setup, fleet_equipment, fleet_sweep, fleet_point_basic,"
    " fleet_point_fra, fleet_point_lcr, fleet_history TO fleet_reader, fleet_writer",
    "GRANT INSERT, UPDATE ON fleet_transformer, fleet_setup, fleet_equipment, fleet_sweep, fleet_point_basic,"
    " fleet_point_fra, fleet_point_lcr, fleet_history TO fleet_writer",
};

int versionIn(Server& server) {
    std::vector<Row> rows;
    if (!server.exec("SELECT to_regclass('fleet_schema') IS NOT NULL", {}, &rows) || rows.empty()) return -1;
    if (rows[0][0] != std::optional<std::string>("t")) return 0;
    if (!server.exec("SELECT max(version) FROM fleet_schema", {}, &rows) || rows.empty()) return -1;
    return rows[0][0] ? std::atoi(rows[0][0]->c_str()) : 0;
}

}  // namespace

int serverSchemaVersion(Server& server) { return versionIn(server); }

InitOutcome initServer(Server& server) {
    InitOutcome out;
    if (!server.begin() || !server.exec(kLock)) {
        out.message = server.error();
        return out;
    }
    out.from = versionIn(server);
    if (out.from < 0 || out.from > kServerSchemaVersion) {
        server.rollback();
        out.message = out.from < 0 ? server.error()
                                   : "The fleet server's schema is version " + std::to_string(out.from) +
                                         ", newer than this program's " + std::to_string(kServerSchemaVersion);
        return out;
    }
    bool done = out.from > 0 || server.exec("CREATE TABLE fleet_schema (version integer NOT NULL)");
    for (int v = out.from + 1; done && v <= kServerSchemaVersion; ++v) {
        for (const char* statement : kUpgrades[static_cast<std::size_t>(v - 1)]) done = done && server.exec(statement);
        done = done && server.exec("DELETE FROM fleet_schema") &&
               server.exec("INSERT INTO fleet_schema (version) VALUES ($1)", {std::to_string(v)});
    }
    if (!done || !server.commit()) {
        const std::string why = server.error();
        server.rollback();
        out.message = "The fleet schema could not be made: " + why;
        return out;
    }
    out.ok = true;
    out.to = kServerSchemaVersion;
    out.rolesMade = true;
    for (const char* statement : kRoles) out.rolesMade = out.rolesMade && server.exec(statement);
    out.message = "fleet schema: version " + std::to_string(out.to) +
                  (out.from == 0 ? " (created)"
                   : out.from == out.to ? " (already current)"
                                        : " (upgraded from version " + std::to_string(out.from) + ")");
    if (!out.rolesMade) out.message += "; the roles fleet_reader and fleet_writer were not made: " + server.error();
    return out;
}

}  // namespace fleet
