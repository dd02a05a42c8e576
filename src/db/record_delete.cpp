// Deleting records with everything that depends on them: a transformer, setup or equipment takes its
// sweeps with it, a sweep its points. One transaction; any failure leaves the database as it was.
#include <sqlite3.h>

#include <algorithm>

#include "db/fleet_identity.h"
#include "db/record_store.h"
#include "db/sql_exec.h"
#include "db/sql_text.h"
#include "platform/prompter.h"

namespace db {
namespace {

const char* confirmationText(TableIndex table) {
    switch (table) {
    case TableIndex::Transformer:
        return "Deleting a transformer will also delete all associated sweeps and their respective data\n\nThis action "
               "is permanent, and cannot be reverted\n\nContinue?";
    case TableIndex::Measurement:
        return "Deleting this setup will also delete all associated sweeps and their respective data\n\nThis action is "
               "permanent, and cannot be reverted\n\nContinue?";
    case TableIndex::Equipment:
        return "Deleting this equipment will also delete all associated sweeps and their respective data\n\nThis "
               "action is permanent, and cannot be reverted\n\nContinue?";
    case TableIndex::Sweep:
        return "Deleting a sweep will also delete all associated data\n\nThis action is permanent, and cannot be "
               "reverted\n\nContinue?";
    default: return "This action is permanent, and cannot be reverted\n\nContinue?";
    }
}

// "WHERE column='key' OR column='key' ...", keys quoted, in batches of kValuesPerClause.
std::vector<std::string> keyClauses(const char* column, const std::vector<std::string>& keys) {
    std::vector<std::string> clauses;
    const std::span<const std::string> all(keys);
    for (std::size_t i = 0; i < keys.size(); i += kValuesPerClause)
        clauses.push_back(whereAnyOf(column, all.subspan(i, std::min(kValuesPerClause, keys.size() - i))));
    return clauses;
}

// Column 0 of every row of table matching each of the clauses.
bool collectKeys(TableIndex table, int column, const std::vector<std::string>& clauses, std::vector<std::string>& keys) {
    for (const std::string& where : clauses) {
        std::vector<std::vector<std::string>> rows;
        if (!selectColumns(rows, table, {column}, where, false)) return false;
        for (auto& row : rows) keys.push_back(std::move(row[0]));
    }
    return true;
}

bool deleteWhere(TableIndex table, const std::vector<std::string>& clauses) {
    for (const std::string& where : clauses) {
        if (execSql(Connection::Main, common::stringPrintf("DELETE FROM %s %s", tableName(table), where.c_str())) !=
            SQLITE_OK)
            return false;
    }
    return true;
}

bool deleteCascade(TableIndex own, const RecordSelection& selection) {
    std::vector<std::string> keys;
    if (!collectKeys(own, 0, {selection.where}, keys) || keys.empty()) return false;

    const TableIndex sw = TableIndex::Sweep;
    const char* sweepColumn = columnName(sw, sweepColumnFor(own));
    std::vector<std::string> recordClauses = keyClauses(sweepColumn, keys);
    std::vector<std::string> sweeps;
    if (own == sw) sweeps = keys;
    else if (!collectKeys(sw, 0, recordClauses, sweeps)) return false;

    if (!sweeps.empty()) {
        std::vector<std::string> pointClauses = keyClauses(columnName(TableIndex::Data, 1), sweeps);
        for (TableIndex points : {TableIndex::Data, TableIndex::DataFra, TableIndex::DataLcr})
            if (!deleteWhere(points, pointClauses)) return false;
        if (!deleteWhere(sw, recordClauses)) return false;
        if (forgetFleetIdentities(sw, sweeps) != SQLITE_OK) return false;
    }
    if (own != sw && !deleteWhere(own, keyClauses(columnName(own, 0), keys))) return false;
    return own == sw || forgetFleetIdentities(own, keys) == SQLITE_OK;
}

}  // namespace

bool delete_records(DeleteKind kind, const RecordSelection& selection, bool confirm) {
    const TableIndex own = kind == DeleteKind::SelectionTable ? selection.table : static_cast<TableIndex>(kind);
    if (confirm && platform::showMessage(confirmationText(own), "Alert!", platform::Icon::Warning,
                                         platform::Buttons::YesNo) != platform::Answer::Yes)
        return false;
    // Only transformers, setups, equipment and sweeps have keys to delete by.
    if (static_cast<int>(own) < 0 || static_cast<int>(own) > static_cast<int>(TableIndex::Sweep)) return false;

    beginTransaction(Connection::Main);
    if (!deleteCascade(own, selection)) {
        rollbackTransaction(Connection::Main);
        return false;
    }
    if (commitTransaction(Connection::Main) != SQLITE_OK) {
        rollbackTransaction(Connection::Main);
        return false;
    }
    return true;
}

}  // namespace db
