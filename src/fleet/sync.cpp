// Push, pull and status between the open database file and the fleet server.
#include "fleet/sync.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <set>

#include "common/global_id.h"
#include "common/string_printf.h"
#include "db/fleet_identity.h"
#include "db/record_lookup.h"
#include "db/record_store.h"
#include "db/row_text.h"
#include "db/sql_exec.h"
#include "fleet/server_schema.h"

namespace fleet {
namespace {

using db::TableIndex;
using Value = std::optional<std::string>;
using Values = std::vector<Value>;
using LocalRow = std::vector<std::string>;

constexpr std::size_t kBatchSweeps = 50;
// A batch that collided with another program's (a deadlock the server broke, or a natural key taken
// at the same moment) is tried again this often before the run gives up.
constexpr int kAttempts = 4;

// The server's change time in the form the file keeps it, so that the two compare as texts.
const char* const kChangedAt = "to_char(changed_at AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"')";

enum class Type { Text, Int, Real2, Real5, Bool, Uuid };

struct Field {
    const char* column;
    Type type;
};

// A kind of record: its local table, its server table, and the descriptive fields that follow the
// later change (sweeps' points and what was measured never change).
struct Kind {
    TableIndex table;
    const char* server;
    const char* label;
    std::vector<Field> fields;
};

const Kind kTransformer{TableIndex::Transformer, "fleet_transformer", "Transformer",
                        {{"manufacturer", Type::Text}, {"serial_number", Type::Text}, {"fingerprint_sweep", Type::Uuid}}};
const Kind kSetup{TableIndex::Measurement,
                  "fleet_setup",
                  "Setup",
                  {{"name", Type::Text},
                   {"reference_terminal", Type::Text},
                   {"response_terminal", Type::Text},
                   {"connected_terminals", Type::Text},
                   {"oltc", Type::Int},
                   {"unshielded_length", Type::Real2},
                   {"fluid_filled", Type::Bool},
                   {"comments", Type::Text}}};
const Kind kEquipment{TableIndex::Equipment,
                      "fleet_equipment",
                      "Equipment",
                      {{"manufacturer", Type::Text},
                       {"instrument", Type::Text},
                       {"serial_number", Type::Text},
                       {"calibration_due_date", Type::Text}}};
const Kind kSweep{TableIndex::Sweep,
                  "fleet_sweep",
                  "Sweep",
                  {{"name", Type::Text}, {"temperature", Type::Real5}, {"peak_voltage", Type::Real5}, {"comments", Type::Text}}};

// Values as both sides compare and send them: numbers in the precision the file stores them with,
// flags as true/false, a missing text as empty, a missing id as NULL.
Value normalised(Type type, const Value& v) {
    switch (type) {
    case Type::Text: return v ? *v : std::string();
    case Type::Int: return std::to_string(v ? std::atoll(v->c_str()) : 0);
    case Type::Real2: return common::stringPrintf("%0.2f", v ? std::strtod(v->c_str(), nullptr) : 0.0);
    case Type::Real5: return common::stringPrintf("%0.5f", v ? std::strtod(v->c_str(), nullptr) : 0.0);
    case Type::Bool:
        return std::string(v && (*v == "TRUE" || *v == "true" || *v == "t" || *v == "1") ? "true" : "false");
    case Type::Uuid: return v && !v->empty() ? v : std::nullopt;
    }
    return v;
}

Values normalisedAll(const Kind& kind, Values values) {
    for (std::size_t i = 0; i < kind.fields.size() && i < values.size(); ++i)
        values[i] = normalised(kind.fields[i].type, values[i]);
    return values;
}

// One version of a record: on the server, or as the file holds it.
struct Version {
    std::string globalId;
    Values fields;
    std::string changedAt, changedBy;
};

std::string jsonText(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') out += '\\', out += static_cast<char>(c);
        else if (c < 0x20) out += common::stringPrintf("\\u%04x", c);
        else out += static_cast<char>(c);
    }
    return out + "\"";
}

std::string shown(const Value& v) { return v ? "\"" + *v + "\"" : std::string("none"); }

void appendBytes(std::string& bytes, double v) {
    char raw[sizeof v];
    std::memcpy(raw, &v, sizeof v);
    bytes.append(raw, sizeof v);
}

// Numbers as COPY reads them back bit for bit; PostgreSQL spells the special values its own way.
std::string copyNumber(double v) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
    return common::stringPrintf("%.17g", v);
}

double number(const Value& v) { return v ? std::strtod(v->c_str(), nullptr) : 0.0; }

std::string text(const Value& v) { return v ? *v : std::string(); }

// ---------------------------------------------------------------------------------------------------
// The file's side.

bool localRows(db::Connection c, TableIndex table, const std::string& where, std::vector<LocalRow>& rows) {
    return db::selectColumns(rows, table, db::allColumns(table), where, false, c);
}

bool localRow(db::Connection c, TableIndex table, const std::string& key, LocalRow& row) {
    std::vector<LocalRow> rows;
    if (!localRows(c, table, db::whereColumnIs(table, 0, key), rows) || rows.empty()) return false;
    row = std::move(rows.front());
    return true;
}

std::string naturalTransformerKey(const std::string& identifier, const std::string& maker, const std::string& serial) {
    return !maker.empty() && !serial.empty() ? "unit\t" + maker + "\t" + serial : "identifier\t" + identifier;
}

std::string globalIdOf(db::Connection c, TableIndex table, const std::string& key) {
    db::FleetIdentity identity;
    return db::fleetIdentityOf(table, key, identity, c) ? identity.globalId : std::string();
}

// The descriptive fields of a local record, as the server would hold them.
Values localFields(db::Connection c, const Kind& kind, const LocalRow& row) {
    Values v;
    switch (kind.table) {
    case TableIndex::Transformer: {
        const bool fingerprint = std::atoll(row[3].c_str()) > 0;
        const std::string sweep = fingerprint ? globalIdOf(c, TableIndex::Sweep, row[3]) : std::string();
        v = {row[1], row[2], sweep.empty() ? Value() : Value(sweep)};
        break;
    }
    case TableIndex::Measurement: v = {row[1], row[2], row[3], row[4], row[5], row[6], row[7], row[8]}; break;
    case TableIndex::Equipment: v = {row[1], row[2], row[3], row[4]}; break;
    default: v = {row[4], row[5], row[6], row[10]}; break;
    }
    return normalisedAll(kind, v);
}

std::string labelOf(const Kind& kind, const std::string& key, const Values& fields) {
    switch (kind.table) {
    case TableIndex::Transformer: return "Transformer " + key;
    case TableIndex::Measurement: return "Setup \"" + text(fields[0]) + "\"";
    case TableIndex::Equipment: return "Equipment " + text(fields[0]) + " " + text(fields[1]) + " " + text(fields[2]);
    default: return "Sweep \"" + text(fields[0]) + "\"";
    }
}

// A setup's and an equipment's fields from the server's values, in the order of their kinds' fields.
void setSetupFields(db::SetupRecord& r, const Values& f) {
    r.name = text(f[0]);
    r.referenceTerminal = text(f[1]);
    r.responseTerminal = text(f[2]);
    r.connectedTerminals = text(f[3]);
    r.oltc = std::atoi(text(f[4]).c_str());
    r.unshieldedLength = static_cast<float>(number(f[5]));
    r.fluidFilled = text(f[6]) == "true";
    r.comments = text(f[7]);
}

void setEquipmentFields(db::EquipmentRecord& r, const Values& f) {
    r.manufacturer = text(f[0]);
    r.instrument = text(f[1]);
    r.serialNumber = text(f[2]);
    r.calibrationDueDate = text(f[3]);
}

// Writes the server's descriptive fields into the local record through the record store; the
// record's other columns stay as they are. 0 when stored.
int storeLocally(db::Connection c, const Kind& kind, const std::string& key, const Values& f) {
    LocalRow row;
    if (!localRow(c, kind.table, key, row)) return db::kNotFound;
    switch (kind.table) {
    case TableIndex::Transformer: {
        db::TransformerRecord r = db::transformerFromColumns(row);
        r.manufacturer = text(f[0]);
        r.serialNumber = text(f[1]);
        const std::string sweep = f[2] ? db::fleetLocalKey(TableIndex::Sweep, *f[2], c) : std::string();
        // A fingerprint the file does not hold (yet) leaves the file's own in place.
        if (!sweep.empty()) r.fingerprintSweepId = std::atoll(sweep.c_str());
        return db::store_transformer(r, db::kUpdate, c);
    }
    case TableIndex::Measurement: {
        db::SetupRecord r = db::setupFromColumns(row);
        setSetupFields(r, f);
        return db::store_setup(r, db::kUpdate, c);
    }
    case TableIndex::Equipment: {
        db::EquipmentRecord r = db::equipmentFromColumns(row);
        setEquipmentFields(r, f);
        return db::store_equipment(r, db::kUpdate, c);
    }
    default: {
        db::SweepRecord r = db::sweepFromColumns(row);
        r.name = text(f[0]);
        r.temperature = number(f[1]);
        r.peakVoltage = number(f[2]);
        r.comments = text(f[3]);
        return db::store_sweep(r, db::kUpdate, c);
    }
    }
}

// ---------------------------------------------------------------------------------------------------
// The server's side.

std::string selectVersion(const Kind& kind) {
    std::string sql = "SELECT global_id";
    for (const Field& f : kind.fields) sql += std::string(", ") + f.column;
    return sql + ", " + kChangedAt + ", changed_by FROM " + kind.server + " ";
}

Version versionFromRow(const Kind& kind, const Row& row) {
    Version v;
    v.globalId = text(row[0]);
    v.fields.assign(row.begin() + 1, row.begin() + 1 + static_cast<long>(kind.fields.size()));
    v.fields = normalisedAll(kind, v.fields);
    v.changedAt = text(row[kind.fields.size() + 1]);
    v.changedBy = text(row[kind.fields.size() + 2]);
    return v;
}

std::optional<Version> serverVersion(Server& server, const Kind& kind, const std::string& where, const Values& values,
                                     bool& failed) {
    std::vector<Row> rows;
    failed = !server.exec(selectVersion(kind) + where, values, &rows);
    if (failed || rows.empty()) return std::nullopt;
    return versionFromRow(kind, rows.front());
}

// A record's natural key as a server condition on $2, $3, ...: the same unit, instrument or setup
// made in another file. Sweeps are found by their content instead.
std::string naturalCondition(const Kind& kind) {
    switch (kind.table) {
    case TableIndex::Transformer:
        return "(CASE WHEN $2 <> '' AND $3 <> '' THEN manufacturer = $2 AND serial_number = $3 ELSE identifier = $4 AND"
               " NOT (manufacturer <> '' AND serial_number <> '') END)";
    case TableIndex::Equipment: return "(manufacturer = $2 AND instrument = $3 AND serial_number = $4)";
    case TableIndex::Measurement: {
        std::string c = "(";
        for (std::size_t i = 0; i < kind.fields.size(); ++i)
            c += common::stringPrintf("%s%s = $%zu", i ? " AND " : "", kind.fields[i].column, i + 2);
        return c + ")";
    }
    default: return "false";
    }
}

Values naturalValues(const Kind& kind, const std::string& key, const Values& fields) {
    if (kind.table == TableIndex::Transformer) return {fields[0], fields[1], key};
    if (kind.table == TableIndex::Equipment) return {fields[0], fields[1], fields[2]};
    if (kind.table == TableIndex::Measurement) return fields;
    return {};
}

std::string lockKey(const Kind& kind, const std::string& key, const Values& fields) {
    if (kind.table == TableIndex::Transformer) return naturalTransformerKey(key, text(fields[0]), text(fields[1]));
    std::string k = kind.label;
    for (const Value& v : naturalValues(kind, key, fields)) k += "\t" + text(v);
    return k;
}

bool keepInHistory(Server& server, const Kind& kind, const std::string& globalId, const std::string& role) {
    return server.exec(std::string("INSERT INTO fleet_history (table_name, global_id, row, replaced_by) SELECT '") +
                           kind.server + "', global_id, to_jsonb(t), $2 FROM " + kind.server +
                           " t WHERE global_id = $1",
                       {globalId, role});
}

bool keepLocalInHistory(Server& server, const Kind& kind, const Version& local, const std::string& role) {
    std::string json = "{\"global_id\": " + jsonText(local.globalId) + ", \"changed_at\": " + jsonText(local.changedAt) +
                       ", \"changed_by\": " + jsonText(local.changedBy);
    for (std::size_t i = 0; i < kind.fields.size(); ++i)
        json += std::string(", ") + jsonText(kind.fields[i].column) + ": " +
                (local.fields[i] ? jsonText(*local.fields[i]) : std::string("null"));
    json += "}";
    return server.exec(
        "INSERT INTO fleet_history (table_name, global_id, row, replaced_by) VALUES ($1, $2, $3::jsonb, $4)",
        {std::string(kind.server), local.globalId, json, role});
}

bool updateServer(Server& server, const Kind& kind, const Version& local) {
    std::string sql = std::string("UPDATE ") + kind.server + " SET ";
    Values values = {local.globalId};
    for (std::size_t i = 0; i < kind.fields.size(); ++i) {
        sql += common::stringPrintf("%s = $%zu, ", kind.fields[i].column, values.size() + 1);
        values.push_back(local.fields[i]);
    }
    sql += common::stringPrintf("changed_at = $%zu::timestamptz, changed_by = $%zu WHERE global_id = $1::uuid",
                                values.size() + 1, values.size() + 2);
    values.push_back(local.changedAt);
    values.push_back(local.changedBy);
    return server.exec(sql, values);
}

std::string differences(const Kind& kind, const Values& here, const Values& there) {
    std::string out;
    for (std::size_t i = 0; i < kind.fields.size(); ++i) {
        if (here[i] == there[i]) continue;
        out += std::string(out.empty() ? "" : "; ") + kind.fields[i].column + " " + shown(here[i]) + " here, " +
               shown(there[i]) + " on the server";
    }
    return out;
}

// ---------------------------------------------------------------------------------------------------
// A run: its report, its server connection and what it learnt.

class Run {
public:
    Run(Server& server, db::Connection local, SyncKind kind, const SyncProgress& progress)
        : server_(server), local_(local), progress_(progress) {
        report_.kind = kind;
    }

    bool prepare();
    void push(const std::vector<std::string>& chosen);
    void pull(const std::vector<std::string>& chosen);
    void status(const std::vector<std::string>& chosen);
    SyncReport finish() {
        report_.ok = report_.message.empty();
        return report_;
    }

private:
    // A change of the file's to make once the server has committed the batch.
    struct Mark {
        TableIndex table;
        std::string key;
        db::FleetIdentity identity;
    };
    struct LocalUpdate {
        const Kind* kind;
        std::string key;
        Values fields;
    };
    struct Batch {
        std::vector<Mark> marks;
        std::vector<LocalUpdate> updates;
        std::vector<std::string> conflicts;
        SyncReport counts;
        std::map<std::string, std::string> setups, equipment;  // local id -> global id
    };

    bool fail(const std::string& why) {
        if (report_.message.empty()) report_.message = why;
        return false;
    }
    bool serverFailed() { return fail(server_.error()); }
    bool tell(const std::string& what) {
        if (progress_ && !progress_(done_, total_, what)) report_.stopped = true;
        return !report_.stopped;
    }
    bool localTransformers(const std::vector<std::string>& chosen, std::vector<LocalRow>& rows);
    bool identity(TableIndex table, const std::string& key, db::FleetIdentity& out);
    bool contentHash(const LocalRow& sweep, const LocalRow& transformer, db::FleetIdentity& identity,
                     db::SweepRecord* loaded);

    // Push.
    bool pushTransformer(const LocalRow& transformer);
    bool pushBatch(const LocalRow& transformer, const std::vector<LocalRow>& sweeps, Batch& batch);
    bool syncRecord(const Kind& kind, const std::string& key, const Values& fields, Batch& batch,
                    std::string& globalId, const std::function<bool(const Version&, bool&)>& insert = {});
    bool pushSweep(const LocalRow& sweep, const LocalRow& transformer, const std::string& transformerId, Batch& batch);
    bool applyLocally(Batch& batch);

    // Pull.
    bool pullTransformer(const Version& unit, const std::string& identifier);
    bool pullBatch(const std::string& localUnit, const std::vector<std::string>& sweepIds);
    bool pullRecord(const Kind& kind, const std::string& key, const Version& there, bool& stored);
    std::string localRecordFor(const Kind& kind, const Version& there);

    Server& server_;
    db::Connection local_;
    SyncProgress progress_;
    SyncReport report_;
    std::string laptop_, role_;
    int done_ = 0, total_ = 0;
};

bool Run::prepare() {
    if (!db::connectionHandle(local_)) return fail("No database is open");
    const int version = serverSchemaVersion(server_);
    if (version < 0) return serverFailed();
    if (version == 0) return fail("The fleet server holds no fleet database yet: run \"corvane fleet init\" first");
    if (version != kServerSchemaVersion)
        return fail("The fleet server's schema is version " + std::to_string(version) + "; this program works with " +
                    std::to_string(kServerSchemaVersion));
    role_ = server_.role();
    laptop_ = db::fleetLaptopId(local_);
    if (laptop_.empty() || db::assignMissingFleetIdentities(local_) < 0)
        return fail("The database file could not be given its fleet identities");
    return true;
}

bool Run::identity(TableIndex table, const std::string& key, db::FleetIdentity& out) {
    return db::fleetIdentityOf(table, key, out, local_) || fail("A record of the file has no fleet identity: " + key);
}

bool Run::localTransformers(const std::vector<std::string>& chosen, std::vector<LocalRow>& rows) {
    const TableIndex t = TableIndex::Transformer;
    if (chosen.empty()) return localRows(local_, t, "ORDER BY Transformer_Identifier", rows) || fail("The file cannot be read");
    for (const std::string& identifier : chosen) {
        LocalRow row;
        if (!localRow(local_, t, identifier, row)) return fail("The file holds no transformer " + identifier);
        rows.push_back(std::move(row));
    }
    return true;
}

// What a sweep's content hash covers: the unit it was measured on (by its natural key), its kind,
// when it was taken, and every value of every point as stored.
bool Run::contentHash(const LocalRow& sweep, const LocalRow& transformer, db::FleetIdentity& identity,
                      db::SweepRecord* loaded) {
    db::SweepRecord s;
    if (!db::load_sweep(std::atoll(sweep[0].c_str()), s, local_)) return fail("Sweep " + sweep[4] + " cannot be read");
    if (identity.contentHash.empty()) {
        std::string bytes = naturalTransformerKey(transformer[0], transformer[1], transformer[2]) + "\n" + sweep[11] +
                            "\n" + sweep[7] + "\n" + sweep[8] + "\n";
        for (const auto& p : s.basicPoints)
            for (double v : {p.frequency, p.amplitude, p.phase}) appendBytes(bytes, v);
        for (const auto& p : s.fraPoints)
            for (double v : {p.frequency, p.magnitude1, p.magnitude2, p.amplitude, p.phase, p.delay})
                appendBytes(bytes, v);
        for (const auto& p : s.lcrPoints)
            for (double v : {p.frequency, p.admittance, p.admittancePhase, p.impedance, p.impedancePhase,
                             p.inductance, p.capacitance, p.resistance})
                appendBytes(bytes, v);
        identity.contentHash = common::sha256Hex(bytes);
    }
    if (loaded) *loaded = std::move(s);
    return true;
}

// The later change wins. Found on the server (by id or natural key), a record's two versions are
// compared with the version both sides last held: only one side changed, it is taken; both changed,
// the later wins, the other goes into the server's history, and the user hears of it.
bool Run::syncRecord(const Kind& kind, const std::string& key, const Values& fields, Batch& batch,
                     std::string& globalId, const std::function<bool(const Version&, bool&)>& insert) {
    db::FleetIdentity id;
    if (!identity(kind.table, key, id)) return false;
    const Version here{id.globalId, fields, id.changedAt, laptop_};
    bool failed = false;
    std::optional<Version> there;
    if (kind.table == TableIndex::Sweep) {
        there = serverVersion(server_, kind, "WHERE global_id = $1::uuid OR content_hash = decode($2, 'hex')",
                              {id.globalId, id.contentHash}, failed);
    } else {
        Values values = {id.globalId};
        for (const Value& v : naturalValues(kind, key, fields)) values.push_back(v);
        there = serverVersion(server_, kind,
                              "WHERE global_id = $1::uuid OR " + naturalCondition(kind) +
                                  " ORDER BY global_id = $1::uuid DESC LIMIT 1",
                              values, failed);
    }
    if (failed) return serverFailed();

    if (!there) {
        bool inserted = false;
        if (insert) {
            if (!insert(here, inserted)) return false;
        } else {
            std::string columns = "global_id", params = "$1::uuid";
            Values values = {here.globalId};
            if (kind.table == TableIndex::Transformer) {
                columns += ", identifier";
                values.push_back(key);
                params += ", $2";
            }
            for (std::size_t i = 0; i < kind.fields.size(); ++i) {
                columns += std::string(", ") + kind.fields[i].column;
                values.push_back(fields[i]);
                params += common::stringPrintf(", $%zu", values.size());
            }
            values.push_back(here.changedAt);
            values.push_back(laptop_);
            columns += ", changed_at, changed_by";
            params += common::stringPrintf(", $%zu::timestamptz, $%zu", values.size() - 1, values.size());
            std::vector<Row> rows;
            if (!server_.exec(std::string("INSERT INTO ") + kind.server + " (" + columns + ") VALUES (" + params +
                                  ") ON CONFLICT DO NOTHING RETURNING global_id",
                              values, &rows))
                return serverFailed();
            inserted = !rows.empty();
        }
        if (!inserted) {
            // Another program stored it at the same moment; the batch is tried again and finds it.
            return fail("retry");
        }
        id.syncedAt = id.changedAt;
        batch.marks.push_back({kind.table, key, id});
        globalId = id.globalId;
        switch (kind.table) {
        case TableIndex::Transformer: ++batch.counts.transformers; break;
        case TableIndex::Measurement: ++batch.counts.setups; break;
        case TableIndex::Equipment: ++batch.counts.equipment; break;
        default: ++batch.counts.sweeps; break;
        }
        return true;
    }

    if (kind.table == TableIndex::Sweep) ++batch.counts.sweepsPresent;
    globalId = there->globalId;
    id.globalId = there->globalId;  // a record made apart takes the server's identity
    const bool changedHere = id.syncedAt.empty() || id.changedAt != id.syncedAt;
    const bool changedThere = id.syncedAt.empty() || there->changedAt != id.syncedAt;
    if (here.fields == there->fields || !changedHere) {
        // Equal, or changed on the server alone (which a pull brings): the file now knows the id.
        if (here.fields == there->fields) id.changedAt = id.syncedAt = there->changedAt;
        batch.marks.push_back({kind.table, key, id});
        return true;
    }
    const std::string label = labelOf(kind, key, here.fields);
    const bool hereWins = !changedThere || here.changedAt > there->changedAt ||
                          (here.changedAt == there->changedAt && laptop_ > there->changedBy);
    Version winner = hereWins ? here : *there;
    winner.globalId = there->globalId;
    if (hereWins) {
        if (!keepInHistory(server_, kind, there->globalId, role_) || !updateServer(server_, kind, winner))
            return serverFailed();
        ++batch.counts.changes;
        id.changedAt = id.syncedAt = here.changedAt;
    } else {
        Version lost = here;
        lost.globalId = there->globalId;
        if (!keepLocalInHistory(server_, kind, lost, role_)) return serverFailed();
        batch.updates.push_back({&kind, key, there->fields});
        id.changedAt = id.syncedAt = there->changedAt;
    }
    if (changedThere)
        batch.conflicts.push_back(label + ": changed here at " + here.changedAt + " and on the server at " +
                                  there->changedAt + " (" + differences(kind, here.fields, there->fields) +
                                  "); the later, " + (hereWins ? "this file's" : "the server's") +
                                  ", was kept and the other is in the server's history");
    batch.marks.push_back({kind.table, key, id});
    return true;
}

bool Run::pushSweep(const LocalRow& sweep, const LocalRow& transformer, const std::string& transformerId,
                    Batch& batch) {
    const std::string& key = sweep[0];
    db::FleetIdentity id;
    if (!identity(TableIndex::Sweep, key, id)) return false;
    std::optional<db::SweepRecord> points;
    if (id.contentHash.empty()) {
        points.emplace();
        if (!contentHash(sweep, transformer, id, &*points) || db::setFleetIdentity(TableIndex::Sweep, key, id, local_) != 0)
            return fail("The file cannot keep its sweep's content hash");
    }
    std::string setupId, equipmentId, ignored;
    for (auto [kind, column, cache, out] :
         {std::tuple{&kSetup, 1, &batch.setups, &setupId}, std::tuple{&kEquipment, 2, &batch.equipment, &equipmentId}}) {
        const std::string& local = sweep[static_cast<std::size_t>(column)];
        auto cached = cache->find(local);
        if (cached != cache->end()) {
            *out = cached->second;
            continue;
        }
        LocalRow row;
        if (!localRow(local_, kind->table, local, row))
            return fail(labelOf(kSweep, key, {sweep[4]}) + " names a " + kind->label + " the file does not hold");
        if (!syncRecord(*kind, local, localFields(local_, *kind, row), batch, *out)) return false;
        (*cache)[local] = *out;
    }
    auto insert = [&](const Version& here, bool& inserted) {
        std::vector<Row> rows;
        if (!server_.exec("INSERT INTO fleet_sweep (global_id, content_hash, transformer, setup, equipment, name,"
                          " temperature, peak_voltage, date, time, phase_convention, comments, data_type, changed_at,"
                          " changed_by) VALUES ($1::uuid, decode($2, 'hex'), $3::uuid, $4::uuid, $5::uuid, $6, $7, $8,"
                          " $9, $10, $11, $12, $13, $14::timestamptz, $15) ON CONFLICT DO NOTHING RETURNING global_id",
                          {here.globalId, id.contentHash, transformerId, setupId, equipmentId, here.fields[0],
                           here.fields[1], here.fields[2], sweep[7], sweep[8], std::to_string(std::atoi(sweep[9].c_str())),
                           here.fields[3], std::to_string(std::atoi(sweep[11].c_str())), here.changedAt, laptop_},
                          &rows))
            return serverFailed();
        inserted = !rows.empty();
        if (!inserted) return true;
        if (!points) {
            points.emplace();
            db::FleetIdentity known = id;
            if (!contentHash(sweep, transformer, known, &*points)) return false;
        }
        std::string data, table;
        const std::string prefix = here.globalId + "\t";
        int n = 0;
        for (const auto& p : points->basicPoints)
            data += prefix + std::to_string(n++) + "\t" + copyNumber(p.frequency) + "\t" + copyNumber(p.amplitude) +
                    "\t" + copyNumber(p.phase) + "\n";
        for (const auto& p : points->fraPoints)
            data += prefix + std::to_string(n++) + "\t" + copyNumber(p.frequency) + "\t" + copyNumber(p.magnitude1) +
                    "\t" + copyNumber(p.magnitude2) + "\t" + copyNumber(p.amplitude) + "\t" + copyNumber(p.phase) +
                    "\t" + copyNumber(p.delay) + "\n";
        for (const auto& p : points->lcrPoints)
            data += prefix + std::to_string(n++) + "\t" + copyNumber(p.frequency) + "\t" + copyNumber(p.admittance) +
                    "\t" + copyNumber(p.admittancePhase) + "\t" + copyNumber(p.impedance) + "\t" +
                    copyNumber(p.impedancePhase) + "\t" + copyNumber(p.inductance) + "\t" +
                    copyNumber(p.capacitance) + "\t" + copyNumber(p.resistance) + "\n";
        switch (points->dataType) {
        case db::kDataBasicFra: table = "fleet_point_basic (sweep, n, frequency, amplitude, phase)"; break;
        case db::kDataFra: table = "fleet_point_fra (sweep, n, frequency, mag1, mag2, gain, phase, delay)"; break;
        default:
            table = "fleet_point_lcr (sweep, n, frequency, impedance, theta, resistance, reactance, inductance,"
                    " capacitance, quality)";
            break;
        }
        return n == 0 || server_.copyIn("COPY " + table + " FROM STDIN", data) || serverFailed();
    };
    std::string globalId;
    if (!syncRecord(kSweep, key, localFields(local_, kSweep, sweep), batch, globalId, insert)) return false;
    return true;
}

bool Run::applyLocally(Batch& batch) {
    db::beginTransaction(local_);
    bool ok = true;
    for (const LocalUpdate& u : batch.updates) ok = ok && storeLocally(local_, *u.kind, u.key, u.fields) == db::kStored;
    for (const Mark& m : batch.marks) ok = ok && db::setFleetIdentity(m.table, m.key, m.identity, local_) == 0;
    if (ok && db::commitTransaction(local_) == 0) return true;
    db::rollbackTransaction(local_);
    return fail("The server holds the batch, but the file could not record it; a push again finds what is there");
}

bool Run::pushBatch(const LocalRow& transformer, const std::vector<LocalRow>& sweeps, Batch& batch) {
    if (!server_.begin()) return serverFailed();
    // Every natural key the batch may store, locked in one order: two laptops pushing the same unit,
    // setup or instrument at once take turns instead of making two of it.
    std::set<std::string> locks = {lockKey(kTransformer, transformer[0], localFields(local_, kTransformer, transformer))};
    for (const LocalRow& s : sweeps) {
        LocalRow row;
        if (localRow(local_, TableIndex::Measurement, s[1], row)) locks.insert(lockKey(kSetup, s[1], localFields(local_, kSetup, row)));
        if (localRow(local_, TableIndex::Equipment, s[2], row))
            locks.insert(lockKey(kEquipment, s[2], localFields(local_, kEquipment, row)));
    }
    for (const std::string& key : locks)
        if (!server_.exec("SELECT pg_advisory_xact_lock(hashtextextended($1, 0))", {key})) return serverFailed();

    // The unit with its fingerprint as the file names it; the fingerprint's sweep follows in the
    // same batch (it goes first), and should it turn out to be one the server holds under another id,
    // the unit is pointed at that one below.
    std::string unitId;
    if (!syncRecord(kTransformer, transformer[0], localFields(local_, kTransformer, transformer), batch, unitId)) return false;
    const std::string fingerprintBefore = globalIdOf(local_, TableIndex::Sweep, transformer[3]);
    for (const LocalRow& s : sweeps) {
        if (!pushSweep(s, transformer, unitId, batch)) return false;
        ++done_;
    }
    for (const Mark& m : batch.marks) {
        if (m.table == TableIndex::Sweep && m.key == transformer[3] && m.identity.globalId != fingerprintBefore &&
            !server_.exec("UPDATE fleet_transformer SET fingerprint_sweep = $2::uuid WHERE global_id = $1::uuid AND"
                          " fingerprint_sweep = $3::uuid",
                          {unitId, m.identity.globalId, fingerprintBefore}))
            return serverFailed();
    }
    if (!server_.commit()) return serverFailed();
    return applyLocally(batch);
}

bool Run::pushTransformer(const LocalRow& transformer) {
    std::vector<LocalRow> sweeps;
    if (!localRows(local_, TableIndex::Sweep, db::whereColumnIs(TableIndex::Sweep, 3, transformer[0]) + " ORDER BY SweepId",
                   sweeps))
        return fail("The file cannot be read");
    // The fingerprint first: a pull elsewhere that stops early has the one sweep that matters most.
    std::stable_partition(sweeps.begin(), sweeps.end(), [&](const LocalRow& s) { return s[0] == transformer[3]; });
    for (std::size_t from = 0; from == 0 || from < sweeps.size(); from += kBatchSweeps) {
        const std::vector<LocalRow> part(sweeps.begin() + static_cast<long>(from),
                                         sweeps.begin() + static_cast<long>(std::min(sweeps.size(), from + kBatchSweeps)));
        const int doneBefore = done_;
        for (int attempt = 1;; ++attempt) {
            Batch batch;
            if (pushBatch(transformer, part, batch)) {
                report_.transformers += batch.counts.transformers;
                report_.setups += batch.counts.setups;
                report_.equipment += batch.counts.equipment;
                report_.sweeps += batch.counts.sweeps;
                report_.sweepsPresent += batch.counts.sweepsPresent;
                report_.changes += batch.counts.changes;
                report_.conflicts.insert(report_.conflicts.end(), batch.conflicts.begin(), batch.conflicts.end());
                break;
            }
            server_.rollback();
            done_ = doneBefore;
            const std::string state = server_.state();
            const bool collided = report_.message == "retry" || state == "40P01" || state == "40001" || state == "23505";
            if (!collided || attempt == kAttempts) {
                if (report_.message == "retry") report_.message = "Another program kept storing the same records";
                return false;
            }
            report_.message.clear();
        }
        if (!tell("Transformer " + transformer[0])) return false;
        if (sweeps.empty()) break;
    }
    return true;
}

void Run::push(const std::vector<std::string>& chosen) {
    std::vector<LocalRow> units;
    if (!prepare() || !localTransformers(chosen, units)) return;
    for (const LocalRow& u : units) {
        const std::int64_t count = [&] {
            std::vector<LocalRow> rows;
            db::selectColumns(rows, TableIndex::Sweep, {0}, db::whereColumnIs(TableIndex::Sweep, 3, u[0]), false, local_);
            return static_cast<std::int64_t>(rows.size());
        }();
        total_ += static_cast<int>(count);
    }
    for (const LocalRow& u : units)
        if (!pushTransformer(u)) return;
}

// ---------------------------------------------------------------------------------------------------
// Pull.

// The file's version of a record it holds; the server's is taken when only the server changed it,
// or when both did and the server's change is the later. stored says whether the file changed.
bool Run::pullRecord(const Kind& kind, const std::string& key, const Version& there, bool& stored) {
    stored = false;
    db::FleetIdentity id;
    LocalRow row;
    if (!identity(kind.table, key, id) || !localRow(local_, kind.table, key, row)) return false;
    const Values here = localFields(local_, kind, row);
    const bool changedHere = id.syncedAt.empty() || id.changedAt != id.syncedAt;
    const bool changedThere = id.syncedAt.empty() || there.changedAt != id.syncedAt;
    id.globalId = there.globalId;
    if (here == there.fields) {
        id.changedAt = id.syncedAt = there.changedAt;
        return db::setFleetIdentity(kind.table, key, id, local_) == 0 || fail("The file cannot be written");
    }
    if (!changedThere) return db::setFleetIdentity(kind.table, key, id, local_) == 0 || fail("The file cannot be written");
    const bool thereWins = !changedHere || there.changedAt > id.changedAt;
    if (changedHere)
        report_.conflicts.push_back(labelOf(kind, key, here) + ": changed here at " + id.changedAt +
                                    " and on the server at " + there.changedAt + " (" +
                                    differences(kind, here, there.fields) + "); " +
                                    (thereWins ? "the server's, the later, replaced this file's"
                                               : "this file's, the later, was kept: a push sends it"));
    if (!thereWins) return db::setFleetIdentity(kind.table, key, id, local_) == 0 || fail("The file cannot be written");
    if (storeLocally(local_, kind, key, there.fields) != db::kStored) return fail(labelOf(kind, key, here) + " cannot be stored");
    id.changedAt = id.syncedAt = there.changedAt;
    stored = true;
    ++report_.changes;
    return db::setFleetIdentity(kind.table, key, id, local_) == 0 || fail("The file cannot be written");
}

// The local key of the setup or equipment the server row stands for: the one mapped to its id, one
// with the same natural key, or a new one stored now. "" on failure.
std::string Run::localRecordFor(const Kind& kind, const Version& there) {
    std::string key = db::fleetLocalKey(kind.table, there.globalId, local_);
    if (!key.empty()) {
        bool stored = false;
        return pullRecord(kind, key, there, stored) ? key : std::string();
    }
    std::vector<LocalRow> rows;
    if (!localRows(local_, kind.table, "", rows)) {
        fail("The file cannot be read");
        return {};
    }
    for (const LocalRow& row : rows) {
        const Values here = localFields(local_, kind, row);
        db::FleetIdentity id;
        const bool mappedElsewhere = db::fleetIdentityOf(kind.table, row[0], id, local_) && !id.syncedAt.empty();
        if (!mappedElsewhere && naturalValues(kind, row[0], here) == naturalValues(kind, row[0], there.fields)) {
            bool stored = false;
            return pullRecord(kind, row[0], there, stored) ? row[0] : std::string();
        }
    }
    const Values& f = there.fields;
    int rc;
    key = std::to_string(db::next_row_id(kind.table, local_));
    if (kind.table == TableIndex::Measurement) {
        db::SetupRecord r;
        setSetupFields(r, f);
        rc = db::store_setup(r, db::kAddUnchecked, local_);
        ++report_.setups;
    } else {
        db::EquipmentRecord r;
        setEquipmentFields(r, f);
        rc = db::store_equipment(r, db::kAddUnchecked, local_);
        ++report_.equipment;
    }
    if (rc != db::kStored || db::setFleetIdentity(kind.table, key, {there.globalId, there.changedAt, there.changedAt, {}}, local_) != 0) {
        fail(std::string("A ") + kind.label + " from the server cannot be stored");
        return {};
    }
    return key;
}

std::string arrayOf(const std::vector<std::string>& ids) {
    std::string a = "{";
    for (std::size_t i = 0; i < ids.size(); ++i) a += (i ? "," : "") + ids[i];
    return a + "}";
}

bool Run::pullBatch(const std::string& localUnit, const std::vector<std::string>& sweepIds) {
    // One snapshot of the server for the whole batch.
    if (!server_.exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")) return serverFailed();
    const std::string ids = arrayOf(sweepIds);
    std::vector<Row> sweeps, points[3];
    bool ok = server_.exec(selectVersion(kSweep) + "WHERE global_id = ANY($1::uuid[])", {ids}, &sweeps);
    std::vector<Row> details;
    ok = ok && server_.exec("SELECT global_id, setup, equipment, date, time, phase_convention, data_type,"
                            " encode(content_hash, 'hex') FROM fleet_sweep WHERE global_id = ANY($1::uuid[])",
                            {ids}, &details);
    std::vector<Row> setups, equipment;
    ok = ok && server_.exec(selectVersion(kSetup) +
                                "WHERE global_id IN (SELECT setup FROM fleet_sweep WHERE global_id = ANY($1::uuid[]))",
                            {ids}, &setups);
    ok = ok && server_.exec(selectVersion(kEquipment) +
                                "WHERE global_id IN (SELECT equipment FROM fleet_sweep WHERE global_id = ANY($1::uuid[]))",
                            {ids}, &equipment);
    ok = ok && server_.exec("SELECT sweep, frequency, amplitude, phase FROM fleet_point_basic WHERE sweep = "
                            "ANY($1::uuid[]) ORDER BY sweep, n",
                            {ids}, &points[0]);
    ok = ok && server_.exec("SELECT sweep, frequency, mag1, mag2, gain, phase, delay FROM fleet_point_fra WHERE sweep = "
                            "ANY($1::uuid[]) ORDER BY sweep, n",
                            {ids}, &points[1]);
    ok = ok && server_.exec("SELECT sweep, frequency, impedance, theta, resistance, reactance, inductance, capacitance,"
                            " quality FROM fleet_point_lcr WHERE sweep = ANY($1::uuid[]) ORDER BY sweep, n",
                            {ids}, &points[2]);
    if (!ok) {
        const std::string why = server_.error();
        server_.rollback();
        return fail(why);
    }
    server_.commit();

    std::map<std::string, Version> sweepVersions, setupVersions, equipmentVersions;
    for (const Row& r : sweeps) sweepVersions[text(r[0])] = versionFromRow(kSweep, r);
    for (const Row& r : setups) setupVersions[text(r[0])] = versionFromRow(kSetup, r);
    for (const Row& r : equipment) equipmentVersions[text(r[0])] = versionFromRow(kEquipment, r);
    std::map<std::string, db::SweepRecord> bySweep;
    for (int t = 0; t < 3; ++t) {
        for (const Row& r : points[t]) {
            db::SweepRecord& s = bySweep[text(r[0])];
            auto v = [&](int i) { return number(r[static_cast<std::size_t>(i)]); };
            if (t == 0) s.basicPoints.push_back({v(1), v(2), v(3)});
            else if (t == 1) s.fraPoints.push_back({v(1), v(2), v(3), v(4), v(5), v(6)});
            else s.lcrPoints.push_back({v(1), v(2), v(3), v(4), v(5), v(6), v(7), v(8)});
        }
    }

    db::beginTransaction(local_);
    ok = true;
    std::map<std::string, std::string> localSetups, localEquipment;
    for (const Row& d : details) {
        if (!ok) break;
        const std::string gid = text(d[0]);
        const Version& v = sweepVersions[gid];
        std::string* keys[2] = {&localSetups[text(d[1])], &localEquipment[text(d[2])]};
        const Kind* kinds[2] = {&kSetup, &kEquipment};
        std::map<std::string, Version>* versions[2] = {&setupVersions, &equipmentVersions};
        for (int k = 0; ok && k < 2; ++k) {
            if (!keys[k]->empty()) continue;
            auto found = versions[k]->find(text(d[static_cast<std::size_t>(k + 1)]));
            ok = found != versions[k]->end() && !(*keys[k] = localRecordFor(*kinds[k], found->second)).empty();
        }
        if (!ok) break;
        db::SweepRecord s = std::move(bySweep[gid]);
        s.transformerIdentifier = localUnit;
        s.setupId = std::atoll(keys[0]->c_str());
        s.equipmentId = std::atoll(keys[1]->c_str());
        s.temperature = number(v.fields[1]);
        s.peakVoltage = number(v.fields[2]);
        s.comments = text(v.fields[3]);
        s.date = text(d[3]);
        s.time = text(d[4]);
        s.phaseConvention = std::atoi(text(d[5]).c_str());
        s.dataType = std::atoi(text(d[6]).c_str());
        const std::string name = text(v.fields[0]);
        s.name = name;
        for (int n = 1; db::sweepNameExists(s.name.str(), local_) && n <= 1000; ++n)
            s.name = common::FixedText<145>(name).str() + common::stringPrintf("(%d)", n);
        // The file's name stays the file's: it is not a change to send back.
        if (s.name.str() != name) report_.notes.push_back("Sweep \"" + name + "\" is named \"" + s.name.str() +
                                                           "\" here: the file has a sweep of that name");
        ok = db::store_new_sweep(s, db::kAddUnchecked, nullptr, local_) == db::kStored &&
             db::setFleetIdentity(TableIndex::Sweep, std::to_string(s.id),
                                  {gid, v.changedAt, v.changedAt, text(d[7])}, local_) == 0;
        if (ok) ++report_.sweeps, ++done_;
    }
    if (ok && db::commitTransaction(local_) == 0) return true;
    db::rollbackTransaction(local_);
    return fail("The sweeps from the server could not be stored in the file; nothing of this batch was kept");
}

bool Run::pullTransformer(const Version& unit, const std::string& identifier) {
    const TableIndex t = TableIndex::Transformer;
    std::string key = db::fleetLocalKey(t, unit.globalId, local_);
    bool fresh = false;  // made by this pull: the server's fields are its own, no change to weigh
    if (key.empty()) {
        std::vector<LocalRow> rows;
        if (!localRows(local_, t, "", rows)) return fail("The file cannot be read");
        const std::string natural = naturalTransformerKey(identifier, text(unit.fields[0]), text(unit.fields[1]));
        for (const LocalRow& r : rows)
            if (naturalTransformerKey(r[0], r[1], r[2]) == natural) key = r[0];
    }
    if (key.empty()) {
        db::TransformerRecord r;
        r.identifier = identifier;
        LocalRow taken;
        if (localRow(local_, t, identifier, taken)) {
            r.identifier = identifier + " (" + text(unit.fields[1]) + ")";
            report_.notes.push_back("Transformer " + identifier + " of the server is " + r.identifier.str() +
                                    " here: the file has another unit of that identifier");
        }
        r.manufacturer = text(unit.fields[0]);
        r.serialNumber = text(unit.fields[1]);
        if (db::store_transformer(r, db::kAddUnchecked, local_) != db::kStored) return fail("Transformer " + identifier + " cannot be stored");
        key = r.identifier.str();
        if (db::setFleetIdentity(t, key, {unit.globalId, unit.changedAt, {}, {}}, local_) != 0)
            return fail("The file cannot be written");
        fresh = true;
        ++report_.transformers;
    }

    // The setups and instruments of the unit's sweeps that the file holds already: their changes.
    for (const Kind* kind : {&kSetup, &kEquipment}) {
        std::vector<Row> records;
        if (!server_.exec(selectVersion(*kind) + "WHERE global_id IN (SELECT " +
                              (kind == &kSetup ? "setup" : "equipment") +
                              " FROM fleet_sweep WHERE transformer = $1::uuid)",
                          {unit.globalId}, &records))
            return serverFailed();
        for (const Row& r : records) {
            const Version there = versionFromRow(*kind, r);
            const std::string local = db::fleetLocalKey(kind->table, there.globalId, local_);
            bool stored = false;
            if (!local.empty() && !pullRecord(*kind, local, there, stored)) return false;
        }
    }

    // The server's sweeps of the unit, the fingerprint first; those the file holds (by id, or by
    // content) only have their descriptive fields brought.
    std::vector<Row> rows;
    if (!server_.exec("SELECT global_id, name, temperature, peak_voltage, comments, " + std::string(kChangedAt) +
                          ", changed_by, encode(content_hash, 'hex') FROM fleet_sweep s WHERE transformer = $1::uuid"
                          " ORDER BY global_id = (SELECT fingerprint_sweep FROM fleet_transformer WHERE global_id ="
                          " $1::uuid) IS TRUE DESC, date, time, global_id",
                      {unit.globalId}, &rows))
        return serverFailed();
    std::map<std::string, std::string> byHash;  // the file's sweeps of the unit by content
    {
        LocalRow unitRow;
        std::vector<LocalRow> local;
        if (!localRow(local_, t, key, unitRow) || !localRows(local_, TableIndex::Sweep, db::whereColumnIs(TableIndex::Sweep, 3, key), local))
            return fail("The file cannot be read");
        db::beginTransaction(local_);
        for (const LocalRow& s : local) {
            db::FleetIdentity id;
            if (!identity(TableIndex::Sweep, s[0], id)) break;
            if (id.contentHash.empty() && (!contentHash(s, unitRow, id, nullptr) ||
                                           db::setFleetIdentity(TableIndex::Sweep, s[0], id, local_) != 0))
                break;
            byHash[id.contentHash] = s[0];
        }
        if (!report_.message.empty() || db::commitTransaction(local_) != 0) {
            db::rollbackTransaction(local_);
            return fail(report_.message.empty() ? "The file cannot be written" : report_.message);
        }
    }
    std::vector<std::string> missing;
    for (const Row& r : rows) {
        Version v;
        v.globalId = text(r[0]);
        v.fields = normalisedAll(kSweep, {r[1], r[2], r[3], r[4]});
        v.changedAt = text(r[5]);
        v.changedBy = text(r[6]);
        std::string local = db::fleetLocalKey(TableIndex::Sweep, v.globalId, local_);
        if (local.empty()) {
            auto found = byHash.find(text(r[7]));
            if (found != byHash.end()) local = found->second;
        }
        if (local.empty()) {
            missing.push_back(v.globalId);
            continue;
        }
        bool stored = false;
        ++report_.sweepsPresent;
        if (!pullRecord(kSweep, local, v, stored)) return false;
    }
    total_ += static_cast<int>(missing.size());
    for (std::size_t from = 0; from < missing.size(); from += kBatchSweeps) {
        const std::vector<std::string> part(missing.begin() + static_cast<long>(from),
                                            missing.begin() + static_cast<long>(std::min(missing.size(), from + kBatchSweeps)));
        if (!pullBatch(key, part) || !tell("Transformer " + key)) return false;
    }
    // The unit's own fields last, when its fingerprint's sweep is here to be pointed at.
    if (fresh) {
        if (storeLocally(local_, kTransformer, key, unit.fields) != db::kStored ||
            db::setFleetIdentity(t, key, {unit.globalId, unit.changedAt, unit.changedAt, {}}, local_) != 0)
            return fail("Transformer " + key + " cannot be stored");
        return true;
    }
    bool stored = false;
    return pullRecord(kTransformer, key, unit, stored);
}

void Run::pull(const std::vector<std::string>& chosen) {
    if (!prepare()) return;
    std::vector<Row> units;
    const std::string select = "SELECT global_id, manufacturer, serial_number, fingerprint_sweep, " +
                               std::string(kChangedAt) + ", changed_by, identifier FROM fleet_transformer ";
    if (chosen.empty()) {
        if (!server_.exec(select + "ORDER BY identifier", {}, &units)) {
            serverFailed();
            return;
        }
    }
    for (const std::string& identifier : chosen) {
        std::vector<Row> found;
        if (!server_.exec(select + "WHERE identifier = $1 ORDER BY changed_at", {identifier}, &found)) {
            serverFailed();
            return;
        }
        if (found.empty()) {
            fail("The fleet server holds no transformer " + identifier);
            return;
        }
        units.insert(units.end(), found.begin(), found.end());
    }
    for (const Row& u : units) {
        const Version unit = versionFromRow(kTransformer, u);
        if (!pullTransformer(unit, text(u[6]))) return;
    }
}

// ---------------------------------------------------------------------------------------------------
// Status.

void Run::status(const std::vector<std::string>& chosen) {
    std::vector<LocalRow> units;
    if (!prepare() || !localTransformers(chosen, units)) return;
    std::set<std::string> setups, equipment;
    std::vector<std::pair<const Kind*, std::string>> records;
    std::vector<std::string> unitIds;
    for (const LocalRow& u : units) {
        records.emplace_back(&kTransformer, u[0]);
        std::vector<LocalRow> sweeps;
        if (!localRows(local_, TableIndex::Sweep, db::whereColumnIs(TableIndex::Sweep, 3, u[0]), sweeps)) {
            fail("The file cannot be read");
            return;
        }
        for (const LocalRow& s : sweeps) {
            records.emplace_back(&kSweep, s[0]);
            if (setups.insert(s[1]).second) records.emplace_back(&kSetup, s[1]);
            if (equipment.insert(s[2]).second) records.emplace_back(&kEquipment, s[2]);
        }
    }
    std::set<std::string> localSweeps;
    for (const auto& [kind, key] : records) {
        db::FleetIdentity id;
        if (!db::fleetIdentityOf(kind->table, key, id, local_)) continue;
        if (kind->table == TableIndex::Sweep) localSweeps.insert(id.globalId);
        if (kind->table == TableIndex::Transformer) unitIds.push_back(id.globalId);
        if (id.syncedAt.empty()) {
            ++report_.unsent;
            continue;
        }
        std::vector<Row> rows;
        if (!server_.exec(std::string("SELECT ") + kChangedAt + " FROM " + kind->server + " WHERE global_id = $1::uuid",
                          {id.globalId}, &rows)) {
            serverFailed();
            return;
        }
        const bool here = id.changedAt != id.syncedAt;
        const bool there = !rows.empty() && text(rows[0][0]) != id.syncedAt;
        if (here) ++report_.changedHere;
        if (there) ++report_.changedThere;
        if (here && there) report_.conflicts.push_back(std::string(kind->label) + " " + key + " changed on both sides");
        if (rows.empty()) ++report_.unsent;
    }
    std::vector<Row> rows;
    if (!server_.exec("SELECT global_id FROM fleet_sweep WHERE transformer = ANY($1::uuid[])", {arrayOf(unitIds)}, &rows)) {
        serverFailed();
        return;
    }
    for (const Row& r : rows)
        if (!localSweeps.count(text(r[0]))) ++report_.sweepsToPull;
}

}  // namespace

SyncReport push(Server& server, db::Connection local, const std::vector<std::string>& transformers,
                const SyncProgress& progress) {
    Run run(server, local, SyncKind::Push, progress);
    run.push(transformers);
    return run.finish();
}

SyncReport pull(Server& server, db::Connection local, const std::vector<std::string>& transformers,
                const SyncProgress& progress) {
    Run run(server, local, SyncKind::Pull, progress);
    run.pull(transformers);
    return run.finish();
}

SyncReport status(Server& server, db::Connection local, const std::vector<std::string>& transformers) {
    Run run(server, local, SyncKind::Status, {});
    run.status(transformers);
    return run.finish();
}

namespace {

std::string counted(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string reportText(const SyncReport& r) {
    std::string out;
    if (r.kind == SyncKind::Status) {
        out = "To push: " + counted(r.unsent, "record the server lacks", "records the server lacks") + ", " +
              counted(r.changedHere, "record changed here", "records changed here") + "\nTo pull: " +
              counted(r.sweepsToPull, "sweep", "sweeps") + ", " +
              counted(r.changedThere, "record changed on the server", "records changed on the server") + "\n";
    } else {
        const bool push = r.kind == SyncKind::Push;
        out = std::string(push ? "Push " : "Pull ") + (r.ok ? (r.stopped ? "stopped" : "complete") : "failed") + ": " +
              counted(r.sweeps, "sweep", "sweeps") + ", " + counted(r.transformers, "transformer", "transformers") +
              ", " + counted(r.setups, "setup", "setups") + " and " + counted(r.equipment, "instrument", "instruments") +
              (push ? " sent, " : " brought, ") + counted(r.changes, "change", "changes") + "; " +
              counted(r.sweepsPresent, "sweep", "sweeps") + (push ? " already on the server\n" : " already in the file\n");
        if (r.stopped) out += "Every batch before the stop is kept; the next run does the rest.\n";
    }
    if (!r.message.empty()) out += r.message + "\n";
    if (!r.conflicts.empty())
        out += counted(static_cast<int>(r.conflicts.size()), "conflict", "conflicts") + ":\n";
    for (const std::string& c : r.conflicts) out += "  " + c + "\n";
    for (const std::string& n : r.notes) out += n + "\n";
    return out;
}

}  // namespace fleet
