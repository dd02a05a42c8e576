// Whole sweeps out of the database (with their points, and as bundles with their transformer, setup
// and equipment), equipment rows by id or by instrument, and imported sweeps into it.
#include <sqlite3.h>

#include <algorithm>
#include <map>

#include "db/record_store.h"
#include "db/row_text.h"
#include "db/sql_exec.h"
#include "db/sql_text.h"
#include "platform/prompter.h"

namespace db {
namespace {

// Reads the points of a loaded sweep, in the order they were stored. The values come straight from
// the column as doubles, so a stored sweep reads back bit for bit.
bool loadPoints(SweepRecord& s, Connection c) {
    TableIndex table;
    switch (s.dataType) {
    case kDataBasicFra: table = TableIndex::Data; break;
    case kDataFra: table = TableIndex::DataFra; break;
    case kDataLcr: table = TableIndex::DataLcr; break;
    default: return true;  // a data type without a point table has no points
    }
    std::string names;
    for (int c = 2; c < columnCount(table); ++c) names += std::string(c > 2 ? "," : "") + columnName(table, c);
    std::string sql =
        common::stringPrintf("SELECT %s FROM %s WHERE %s='%lld' ORDER BY %s", names.c_str(), tableName(table),
                             columnName(table, 1), static_cast<long long>(s.id), columnName(table, 0));
    sqlite3* handle = connectionHandle(c);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        show_database_error(c, nullptr);
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        auto v = [stmt](int i) { return sqlite3_column_double(stmt, i); };
        switch (s.dataType) {
        case kDataBasicFra: s.basicPoints.push_back({v(0), v(1), v(2)}); break;
        case kDataFra: s.fraPoints.push_back({v(0), v(1), v(2), v(3), v(4), v(5)}); break;
        default: s.lcrPoints.push_back({v(0), v(1), v(2), v(3), v(4), v(5), v(6), v(7)}); break;
        }
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        show_database_error(c, nullptr);
        return false;
    }
    return true;
}

std::string whereIs(TableIndex table, int column, const std::string& value) {
    return common::stringPrintf("WHERE %s='%s'", columnName(table, column), doubleQuotes(value).c_str());
}

// The first row matching where, all columns; false when there is none.
bool firstRow(TableIndex table, const std::string& where, std::vector<std::string>& row) {
    std::vector<std::vector<std::string>> rows;
    if (!selectColumns(rows, table, allColumns(table), where, false) || rows.empty()) return false;
    row = std::move(rows.front());
    return true;
}

}  // namespace

bool load_sweep(std::int64_t id, SweepRecord& sweep, Connection c) {
    const TableIndex t = TableIndex::Sweep;
    std::vector<std::vector<std::string>> rows;
    if (!selectColumns(rows, t, allColumns(t),
                       common::stringPrintf("WHERE %s='%lld'", columnName(t, 0), static_cast<long long>(id)), true, c) ||
        rows.empty())
        return false;
    sweep = sweepFromColumns(rows.front());
    return loadPoints(sweep, c);
}

std::vector<SweepRecord> load_sweeps(const std::vector<std::int64_t>& ids) {
    const TableIndex t = TableIndex::Sweep;
    std::vector<SweepRecord> sweeps;
    if (ids.empty()) return sweeps;
    std::string where;
    for (std::size_t i = 0; i < ids.size(); ++i)
        where += common::stringPrintf(i == 0 ? "WHERE %s='%lld'" : " OR %s='%lld'", columnName(t, 0),
                                      static_cast<long long>(ids[i]));
    std::vector<std::vector<std::string>> rows;
    if (!selectColumns(rows, t, allColumns(t), where, false)) return sweeps;

    std::map<std::int64_t, SweepRecord> byId;
    for (const auto& row : rows) {
        SweepRecord s = sweepFromColumns(row);
        if (loadPoints(s, Connection::Main)) byId.emplace(s.id, std::move(s));
    }
    // The caller's order, which is the order the user chose the sweeps in.
    for (std::int64_t id : ids) {
        auto found = byId.find(id);
        if (found != byId.end()) sweeps.push_back(found->second);
    }
    return sweeps;
}

bool load_sweep_bundle(std::int64_t id, SweepBundle& bundle) {
    bundle = SweepBundle{};
    if (!load_sweep(id, bundle.sweep)) return false;
    std::vector<std::string> row;
    if (firstRow(TableIndex::Transformer, whereIs(TableIndex::Transformer, 0, bundle.sweep.transformerIdentifier), row))
        bundle.transformer = transformerFromColumns(row);
    if (firstRow(TableIndex::Measurement, whereIs(TableIndex::Measurement, 0, std::to_string(bundle.sweep.setupId)), row))
        bundle.setup = setupFromColumns(row);
    load_equipment(bundle.sweep.equipmentId, bundle.equipment);
    bundle.marker = 1;
    return true;
}

bool load_equipment(std::int64_t id, EquipmentRecord& record) {
    std::vector<std::string> row;
    if (!firstRow(TableIndex::Equipment, whereIs(TableIndex::Equipment, 0, std::to_string(id)), row)) return false;
    record = equipmentFromColumns(row);
    return true;
}

bool find_equipment(const std::string& instrumentType, const std::string& serialNumber, EquipmentRecord& record) {
    const TableIndex eq = TableIndex::Equipment;
    std::vector<std::string> row;
    if (!firstRow(eq,
                  common::stringPrintf("WHERE %s='%s' AND %s='%s'", columnName(eq, 2),
                                       doubleQuotes(instrumentType).c_str(), columnName(eq, 3),
                                       doubleQuotes(serialNumber).c_str()),
                  row))
        return false;
    record = equipmentFromColumns(row);
    return true;
}

namespace {

bool sweepNameTaken(const std::string& name) {
    std::vector<std::string> row;
    return firstRow(TableIndex::Sweep, whereIs(TableIndex::Sweep, 4, name), row);
}

// A sweep without a name is the same sweep when its voltage, temperature, time, date and comments are.
bool unnamedSweepExists(const SweepRecord& s) {
    const TableIndex t = TableIndex::Sweep;
    std::vector<std::string> row;
    return firstRow(
        t,
        common::stringPrintf("WHERE %s='%f' AND %s='%f' AND %s='%s' AND %s='%s' AND %s='%s'", columnName(t, 6),
                             s.peakVoltage, columnName(t, 5), s.temperature, columnName(t, 8),
                             doubleQuotes(s.time).c_str(), columnName(t, 7), doubleQuotes(s.date).c_str(),
                             columnName(t, 10), doubleQuotes(s.comments).c_str()),
        row);
}

// import_sweep_bundle's work, inside its transaction: false as soon as anything is not stored.
bool storeImport(SweepBundle& b) {
    SweepRecord& sweep = b.sweep;

    std::vector<std::string> row;
    if (!firstRow(TableIndex::Transformer, whereIs(TableIndex::Transformer, 0, b.transformer.identifier), row) &&
        store_transformer(b.transformer, kAddUnchecked) != kStored)
        return false;
    sweep.transformerIdentifier = b.transformer.identifier.str();

    const TableIndex eq = TableIndex::Equipment;
    if (firstRow(eq,
                 common::stringPrintf("WHERE %s='%s' AND %s='%s' AND %s='%s'", columnName(eq, 1),
                                      doubleQuotes(b.equipment.manufacturer).c_str(), columnName(eq, 2),
                                      doubleQuotes(b.equipment.instrument).c_str(), columnName(eq, 3),
                                      doubleQuotes(b.equipment.serialNumber).c_str()),
                 row)) {
        sweep.equipmentId = std::atoll(row[0].c_str());
    } else {
        sweep.equipmentId = next_row_id(eq);
        if (store_equipment(b.equipment, kAddUnchecked) != kStored) return false;
    }

    const TableIndex ms = TableIndex::Measurement;
    std::string setupWhere =
        !b.setup.name.empty()
            ? whereIs(ms, 1, b.setup.name)
            : common::stringPrintf(
                  "WHERE %s='%s' AND %s='%s' AND %s='%s' AND %s='%d' AND %s='%0.2f' AND %s='%s' AND %s='%s'",
                  columnName(ms, 2), doubleQuotes(b.setup.referenceTerminal).c_str(), columnName(ms, 3),
                  doubleQuotes(b.setup.responseTerminal).c_str(), columnName(ms, 4),
                  doubleQuotes(b.setup.connectedTerminals).c_str(), columnName(ms, 5), b.setup.oltc, columnName(ms, 6),
                  static_cast<double>(b.setup.unshieldedLength), columnName(ms, 7),
                  b.setup.fluidFilled ? "TRUE" : "FALSE", columnName(ms, 8), doubleQuotes(b.setup.comments).c_str());
    if (firstRow(ms, setupWhere, row)) {
        sweep.setupId = std::atoll(row[0].c_str());
    } else {
        // An unnamed setup is named after the sweep it came with; a named one keeps its name, so that
        // the next sweep with the same setup finds it.
        if (b.setup.name.empty()) b.setup.name = sweep.name.str();
        sweep.setupId = next_row_id(ms);
        if (store_setup(b.setup, kAddUnchecked) != kStored) return false;
    }

    bool exists = sweep.name.empty() ? unnamedSweepExists(sweep) : sweepNameTaken(sweep.name);
    if (!exists) return store_new_sweep(sweep, kAddUnchecked) == kStored;

    std::string base = sweep.name.empty() ? std::string("import") : common::FixedText<145>(sweep.name.str()).str();
    for (int n = 1; n <= 1000; ++n) {
        std::string candidate = base + common::stringPrintf("(%d)", n);
        if (!sweepNameTaken(candidate)) {
            sweep.name = candidate;
            return store_new_sweep(sweep, kAddUnchecked) == kStored;
        }
    }
    platform::showMessage("Unable to add sweep to database, too many duplicate names detected", "Error: Duplicate Names",
                          platform::Icon::None);
    return false;
}

}  // namespace

bool import_sweep_bundle(SweepBundle& b) {
    if (b.marker <= 0) return false;
    // The transformer, equipment and setup a file brings are kept only with its sweep: a file that
    // is not stored leaves nothing behind.
    beginTransaction(Connection::Main);
    if (storeImport(b) && commitTransaction(Connection::Main) == SQLITE_OK) return true;
    rollbackTransaction(Connection::Main);
    return false;
}

}  // namespace db
