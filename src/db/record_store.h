// The record store: the only code that writes SQL. Adds and updates transformers, setups, equipment
// and sweeps, stores a sweep's points in bulk, reads rows back as text, loads whole sweeps, imports a
// sweep with its transformer, setup and equipment, and deletes records with what depends on them.
// Works on the main connection unless given another (the operations the fleet's synchronisation
// uses take one); user-interface thread only. Messages go through the Prompter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/records.h"
#include "db/schema.h"
#include "platform/notification_sink.h"

namespace db {

// Modes of the add and update operations.
enum StoreMode : int { kAddChecked = 0, kUpdate = 1, kAddUnchecked = 2 };

// Results of the add and update operations; any other value is the SQLite result code of the
// statement that failed.
enum StoreResult : int { kStored = 0, kInvalid = -1, kAlreadyExists = -2, kNotFound = -3 };

// Commands sent to a progress receiver while points are stored: the percentage done, then the end.
constexpr int kStoreProgressCommand = 220;
constexpr int kStoreDoneCommand = 221;

int store_transformer(const TransformerRecord& record, StoreMode mode, Connection c = Connection::Main);
int store_setup(const SetupRecord& record, StoreMode mode, Connection c = Connection::Main);
int store_equipment(const EquipmentRecord& record, StoreMode mode, Connection c = Connection::Main);
int store_sweep(const SweepRecord& record, StoreMode mode, Connection c = Connection::Main);

// Stores all points of the array the sweep's data type selects under the sweep's id, in one
// transaction, telling progress the percentage stored and, once the points are committed, that they
// are stored. 0 on success; -1 when the sweep is not stored (or its data type is unknown); -2 when
// the statement cannot be prepared; the SQLite result code when a point cannot be written, in which
// case no point of the sweep is kept.
int store_points(const SweepRecord& sweep, platform::NotificationSink* progress = nullptr,
                 Connection c = Connection::Main);

// Stores a new sweep under the next sweep id (written into sweep.id) with its points in one
// transaction: whole or not at all. progress hears the percentages and, after the commit, that the
// sweep is stored. Returns 0, or the result of the operation that failed.
int store_new_sweep(SweepRecord& sweep, StoreMode mode, platform::NotificationSink* progress = nullptr,
                    Connection c = Connection::Main);

// Appends one row text per matching row: the values of columns (column numbers) separated by tabs,
// NULL or empty as a blank, dates shown DD-MM-YYYY, fluid flags as Yes/No. An empty where selects
// all rows. remember keeps where as the table's remembered filter. False when the query failed (the
// message has been shown) or the main connection is closed.
bool select_rows(std::vector<std::string>& out, TableIndex table, const std::vector<int>& columns,
                 const std::string& where, bool remember);

// As select_rows, with each value followed by a tab and shown as the data browser lists it: data
// types by name, a NULL fluid flag blank and an empty one "No".
bool select_rows_to_view(std::vector<std::string>& rows, TableIndex table, const std::vector<int>& columns,
                         const std::string& where, bool remember);

// The same query, each row as its separate column values after the row-text conversions.
bool selectColumns(std::vector<std::vector<std::string>>& rows, TableIndex table, const std::vector<int>& columns,
                   const std::string& where, bool remember, Connection c = Connection::Main);

// The number of rows in the table; -1 when it cannot be counted (the message has been shown).
std::int64_t count_rows(TableIndex table);

// 0, 1, ... columnCount(table) - 1.
std::vector<int> allColumns(TableIndex table);

// The WHERE clause last remembered for the table ("" when none).
const std::string& rememberedFilter(TableIndex table);

// A list of the data browser: the table it shows, its columns, and a fixed base filter. A filtered
// list searches its own columns; a table list searches every column of its table.
struct ViewContext {
    TableIndex table = TableIndex::Sweep;
    std::vector<int> columns;
    std::string baseFilter;
    bool filtered = false;
};

// The condition a search of the list for text puts on each row, without the base filter: its text
// anywhere in one of the columns searched, as the list shows the column (a data type by its name),
// a date typed DD-MM-YYYY matching the stored YYYY-MM-DD. "" when text is empty.
std::string searchCondition(const ViewContext& view, const std::string& text);

// The WHERE clause of that search within the base filter; the base filter alone when text is empty.
std::string searchClause(const ViewContext& view, const std::string& text);

// Refills rows with the list's rows that the search keeps.
void search_view(const ViewContext& view, const std::string& text, std::vector<std::string>& rows);

// Loads one sweep with its points (date as DD-MM-YYYY). False when there is no such sweep.
bool load_sweep(std::int64_t id, SweepRecord& sweep, Connection c = Connection::Main);

// Loads several sweeps with their points, in the order of ids; ids without a sweep are left out.
std::vector<SweepRecord> load_sweeps(const std::vector<std::int64_t>& ids);

// Loads the equipment row with that id, or the first one of that instrument type and serial number,
// its due date as stored (YYYY-MM-DD). False when there is none or the query failed (the message has
// been shown); record is then unchanged.
bool load_equipment(std::int64_t id, EquipmentRecord& record);
bool find_equipment(const std::string& instrumentType, const std::string& serialNumber, EquipmentRecord& record);

// Loads a sweep with its transformer, setup and equipment. False (marker -1) when the sweep is missing.
bool load_sweep_bundle(std::int64_t id, SweepBundle& bundle);

// Stores an imported sweep: its transformer, equipment and setup are looked up and added when
// missing, a sweep whose name is taken is stored as name(1), name(2), ... Returns true when the sweep
// and its points were stored; bundle.sweep then holds the id and name it got.
bool import_sweep_bundle(SweepBundle& bundle);

// What delete_records deletes: one kind of record, or those of the selection's own table.
enum class DeleteKind : int { Transformer = 0, Setup = 1, Equipment = 2, Sweep = 3, SelectionTable = 4 };

// Deletes the records of kind that the selection matches, with their sweeps and points, in one
// transaction. With confirm the user is asked first. True when something was deleted.
bool delete_records(DeleteKind kind, const RecordSelection& selection, bool confirm);

// Shows a database failure in a "Database Error" box: errorText when given (then freed with
// sqlite3_free), else the text for the connection's last result code.
void show_database_error(Connection c, char* errorText);

// The "Database Error" text for a SQLite primary result code.
std::string databaseErrorText(int code);

}  // namespace db
