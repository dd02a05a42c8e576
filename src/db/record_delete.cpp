// Deleting records with everything that depends on them: a transformer, setup or equipment takes its
// sweeps with it, a sweep its points. One transaction; any failure leaves the database as it was.
#include <sqlite3.h>

#include "db/record_store.h"
#include "db/sql_exec.h"
#include "db/sql_text.h"
#include "platform/prompter.h"

namespace db {
namespace {

const char* confirmationText(int kind) {
    switch (kind) {
    case 0:
        return "Deleting a transformer will also delete all associated sweeps and their respective data\n\nThis action "
               "is permanent, and cannot be reverted\n\nContinue?";
    case 1:
        return "Deleting this setup will also delete all associated sweeps and their respective data\n\nThis action is "
               "permanent, and cannot be reverted\n\nContinue?";
    case 2:
        return "Deleting this equipment will also delete all associated sweeps and their respective data\n\nThis "
               "action is permanent, and cannot be reverted\n\nContinue?";
    case 3:
        return "Deleting a sweep will also delete all associated data\n\nThis action is permanent, and cannot be "
               "reverted\n\nContinue?";
    default: return "This action is permanent, and cannot be reverted\n\nContinue?";
    }
}

// SQLite refuses expressions nested more than 1000 deep, and every OR nests one level, so long key
// lists are matched in several statements of at most this many keys.
constexpr std::size_t kKeysPerClause = 500;

// "WHERE column='key' OR column='key' ...", keys quoted, in batches of kKeysPerClause.
std::vector<std::string> keyClauses(const char* column, const std::vector<std::string>& keys) {
    std::vector<std::string> clauses;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i % kKeysPerClause == 0) clauses.emplace_back("WHERE ");
        else clauses.back() += " OR ";
        clauses.back() += sqlFormat("%s='%s'", column, doubleQuotes(keys[i]).c_str());
    }
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
        if (execSql(Connection::Main, sqlFormat("DELETE FROM %s %s", tableName(table), where.c_str())) != SQLITE_OK)
            return false;
    }
    return true;
}

// The column of Sweep that names a record of kind 0-2, or the sweep's own key for kind 3.
int sweepColumnFor(int kind) {
    switch (kind) {
    case 0: return 3;  // Transformer_Identifier
    case 1: return 1;  // Measurement_Id
    case 2: return 2;  // Equipment_Id
    default: return 0; // SweepId
    }
}

bool deleteCascade(int kind, const RecordSelection& selection) {
    const TableIndex own = static_cast<TableIndex>(kind);
    std::vector<std::string> keys;
    if (!collectKeys(own, 0, {selection.where}, keys) || keys.empty()) return false;

    const TableIndex sw = TableIndex::Sweep;
    const char* sweepColumn = columnName(sw, sweepColumnFor(kind));
    std::vector<std::string> recordClauses = keyClauses(sweepColumn, keys);
    std::vector<std::string> sweeps;
    if (kind == 3) sweeps = keys;
    else if (!collectKeys(sw, 0, recordClauses, sweeps)) return false;

    if (!sweeps.empty()) {
        std::vector<std::string> pointClauses = keyClauses(columnName(TableIndex::Data, 1), sweeps);
        for (TableIndex points : {TableIndex::Data, TableIndex::DataFra, TableIndex::DataLcr})
            if (!deleteWhere(points, pointClauses)) return false;
        if (!deleteWhere(sw, recordClauses)) return false;
    }
    if (kind != 3 && !deleteWhere(own, keyClauses(columnName(own, 0), keys))) return false;
    return true;
}

}  // namespace

bool delete_records(int kind, const RecordSelection& selection, bool confirm) {
    if (kind == 4) kind = static_cast<int>(selection.table);
    if (confirm && platform::showMessage(confirmationText(kind), "Alert!", platform::Icon::Warning,
                                         platform::Buttons::YesNo) != platform::Answer::Yes)
        return false;
    if (kind < 0 || kind > 3) return false;  // only transformers, setups, equipment and sweeps have keys to delete by

    beginTransaction(Connection::Main);
    if (!deleteCascade(kind, selection)) {
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
