// The database file: its eight tables and their column numbering, the database handles and the two
// the program holds, opening, creating and upgrading a file to schema version 2.0, and the next
// AUTOINCREMENT id of a table. User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct sqlite3;

namespace db {

// The fixed numbering of the tables, by which the record store addresses them.
enum class TableIndex : int {
    Transformer = 0,
    Measurement = 1,
    Equipment = 2,
    Sweep = 3,
    Data = 4,
    DataFra = 5,
    DataLcr = 6,
    Version = 7,
};
constexpr int kTableCount = 8;

// "Transformer", "Measurement", ... ("" for an index outside the table).
const char* tableName(TableIndex table);

// The table's number of columns, and a column's name by its column number ("" when out of range).
// Column numbers equal positions everywhere except in Sweep, where Temperature is 5 and Peak_Voltage
// 6 although they are created in the other order.
int columnCount(TableIndex table);
const char* columnName(TableIndex table, int column);

// Whether the column is the table's INTEGER PRIMARY KEY, which SQLite keeps as the rowid: the id
// columns of every table but Transformer (keyed by its identifier, a text) and Version.
bool isRowidColumn(TableIndex table, int column);

// The column of Sweep that names a record of the table: Transformer_Identifier, Measurement_Id or
// Equipment_Id; SweepId for Sweep itself and any other table.
int sweepColumnFor(TableIndex table);

// The table a name stands for (exact spelling); false when there is none.
bool tableFromName(const std::string& name, TableIndex& table);

// One database file on a SQLite connection of its own, and what the record store keeps with it: how
// many of its transactions are open, the filters last remembered for its tables, and a generation
// that moves on whenever it is opened or closed. The program holds two (Connection::Main and
// Connection::Backup); code that needs another file beside them holds a Database of its own and opens
// it with open_database(path, mode, created, Connection(database)). Closed when destroyed. Its
// members are the record store's to change.
struct Database {
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3* handle = nullptr;
    std::uint64_t generation = 0;
    int transactionDepth = 0;
    std::string rememberedFilters[kTableCount];
};

// The database an operation of the record store works on: the program's open file (Main), the copy a
// backup or a restore works on (Backup), or a Database of the caller's.
class Connection {
public:
    static const Connection Main;
    static const Connection Backup;
    explicit Connection(Database& database) : database_(&database) {}
    Database& database() const { return *database_; }
    friend bool operator==(const Connection& a, const Connection& b) { return a.database_ == b.database_; }

private:
    Database* database_;
};

// The connection's SQLite handle, or nullptr while it is closed.
sqlite3* connectionHandle(Connection c);

// Changes whenever the connection is opened or closed: rows read while it stood at one value belong
// to a database that is no longer open once it has moved on.
std::uint64_t connectionGeneration(Connection c);

// How long every connection the program opens waits for another process's lock on its file (a second
// window of the program, the sqlite3 shell, a backup tool or a virus scanner reading it) before a read
// or a write fails with the database error.
constexpr int kLockWaitMs = 5000;

// What open_database does with its file (the numbers are those the program has always used).
enum class OpenMode : int {
    CreateIfMissing = 1,  // open, creating the file when it does not exist; *created (if given) says
                          // whether it did not exist before
    Close = 2,            // close the connection (returns false)
    Open = 3,             // open, creating a new database only when *created is given and true
};

// Opens, creates or closes a database file on a connection. Without a created flag a missing file is
// not created. A new file gets all eight tables and
// version 2.0; an existing version-0 file is upgraded in place, all its rows kept. Failures are shown
// through the Prompter ("Database Error"). Returns true when the database is open at version 2.0.
bool open_database(const std::string& path, OpenMode mode, bool* created, Connection c);

// Opening a file on the main connection also gives it indexes on the keys that tie its tables
// together (a sweep's points; a transformer's, setup's and equipment's sweeps), made once, changing
// no table and no row. In a large file that takes a while: the work is then handed to the runner set
// here, which must run it (on any thread: it uses a connection of its own) and return when it is
// done, showing the user meanwhile that something is under way. Without a runner it runs at once.
using KeyIndexRunner = std::function<void(const std::function<void()>& work)>;
void setKeyIndexRunner(KeyIndexRunner runner);

// The version of the SQLite library the program carries ("3.40.1"), for the About box and --version.
const char* sqliteVersion();

// The stored schema version as SQLite gives it back ("2.0"); "" when it cannot be read.
std::string storedVersionText(Connection c);

// The id the next AUTOINCREMENT row of the table will get (stored sequence + 1, or 1 for a table
// never written to). -1 for Transformer, which has no AUTOINCREMENT key; 0 when the query fails; 1,
// after a "Database Connection Error" box, when the connection is closed.
std::int64_t next_row_id(TableIndex table, Connection c = Connection::Main);

}  // namespace db
