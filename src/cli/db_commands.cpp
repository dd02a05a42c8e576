// The database commands: inspecting a file, reading rows, storing and deleting records, searching.
#include "cli/db_commands.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

#include "cli/arguments.h"
#include "cli/database_session.h"
#include "db/browser_views.h"
#include "db/database_files.h"
#include "db/default_setups.h"
#include "db/record_store.h"
#include "db/schema.h"
#include "measure/record_fields.h"
#include "platform/prompter.h"

namespace cli {

const char* const kDbUsage =
    "  corvane db info PATH\n"
    "  corvane db rows PATH TABLE [--columns N,N,...] [--where \"WHERE ...\"]\n"
    "  corvane db next-id PATH TABLE\n"
    "  corvane db add-transformer PATH --mode N --identifier ID --manufacturer M --serial S [--fingerprint ID]\n"
    "  corvane db add-setup PATH --mode N [--id ID] --name N --reference T --response T --connected T --oltc N\n"
    "                       --length MM --fluid yes|no [--comments TEXT]\n"
    "  corvane db add-equipment PATH --mode N [--id ID] --manufacturer M --instrument I --serial S [--due YYYY-MM-DD]\n"
    "  corvane db add-sweep PATH --mode N [--id ID] --name N --transformer ID --setup ID --equipment ID\n"
    "                       --date YYYY-MM-DD --time HH:MM [--peak V] [--temp T] [--phase-convention N]\n"
    "                       [--comments TEXT] --type 0|1|2 [--points FILE]\n"
    "  corvane db delete PATH KIND --where \"WHERE ...\" [--yes]   (KIND: transformer|setup|equipment|sweep or 0-3)\n"
    "  corvane db search PATH VIEW TEXT   (VIEW 0-3)\n"
    "  corvane db new PATH --type N [--transformer ID --manufacturer M --serial S] [--yes]   (N: 0-10)\n";

namespace {

Arguments parse(const std::vector<std::string>& args, const std::set<std::string>& values,
                const std::set<std::string>& flags = {}) {
    return parseOrThrow(args, values, flags);
}

db::TableIndex tableArgument(const std::string& name) {
    db::TableIndex t;
    if (!db::tableFromName(name, t)) throw UsageError{"unknown table " + name};
    return t;
}

int info(const std::vector<std::string>& args) {
    Arguments a = parse(args, {});
    const std::string& path = positional(a, 0, "PATH");
    expectPositionals(a, 1);
    bool created = false;
    DatabaseSession session(path, db::OpenMode::CreateIfMissing, &created);
    if (!session.isOpen()) return 1;
    std::printf("version: %s\n", db::storedVersionText(db::Connection::Main).c_str());
    std::printf("created: %s\n", created ? "yes" : "no");
    for (int t = 0; t < static_cast<int>(db::TableIndex::Version); ++t) {
        auto table = static_cast<db::TableIndex>(t);
        std::printf("%s: %lld\n", db::tableName(table), static_cast<long long>(db::count_rows(table)));
    }
    return 0;
}

std::vector<int> columnList(const std::string& text, db::TableIndex table) {
    std::vector<int> columns;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');) {
        long long c = 0;
        if (!parseInteger(item, c) || c < 0 || c >= db::columnCount(table))
            throw UsageError{"no column " + item + " in " + db::tableName(table)};
        columns.push_back(static_cast<int>(c));
    }
    if (columns.empty()) throw UsageError{"--columns needs column numbers"};
    return columns;
}

int rows(const std::vector<std::string>& args) {
    Arguments a = parse(args, {"--columns", "--where"});
    const std::string& path = positional(a, 0, "PATH");
    db::TableIndex table = tableArgument(positional(a, 1, "TABLE"));
    expectPositionals(a, 2);
    std::vector<int> columns = a.has("--columns") ? columnList(a.get("--columns"), table) : db::allColumns(table);
    DatabaseSession session(path);
    if (!session.isOpen()) return 1;
    std::vector<std::string> out;
    bool ok = db::select_rows(out, table, columns, a.get("--where"), false);
    for (const auto& row : out) std::printf("%s\n", row.c_str());
    return ok ? 0 : 1;
}

int nextId(const std::vector<std::string>& args) {
    Arguments a = parse(args, {});
    const std::string& path = positional(a, 0, "PATH");
    db::TableIndex table = tableArgument(positional(a, 1, "TABLE"));
    expectPositionals(a, 2);
    DatabaseSession session(path);
    if (!session.isOpen()) return 1;
    std::printf("%lld\n", static_cast<long long>(db::next_row_id(table)));
    return 0;
}

// A refusal of a record dialog, shown as the dialog shows it (an "Invalid" box). True when there was one.
template <class Field>
bool refused(const std::optional<measure::Refusal<Field>>& refusal) {
    if (!refusal) return false;
    platform::showMessage(refusal->message, "Invalid", platform::Icon::Information);
    return true;
}

// Opens PATH, runs store (which returns the store's result code), prints "result: N". The store refuses
// a record it finds invalid without a word (the dialogs check first); explain then says why, as the
// record's dialog would.
int storeCommand(const Arguments& a, const std::function<int()>& store, const std::function<void()>& explain) {
    const std::string& path = positional(a, 0, "PATH");
    expectPositionals(a, 1);
    DatabaseSession session(path);
    if (!session.isOpen()) return 1;
    const int result = store();
    if (result == db::kInvalid) explain();
    std::printf("result: %d\n", result);
    return result == 0 ? 0 : 1;
}

db::StoreMode storeMode(const Arguments& a) {
    switch (integerOption(a, "--mode", 0)) {
    case 0: return db::kAddChecked;
    case 1: return db::kUpdate;
    case 2: return db::kAddUnchecked;
    default: throw UsageError{"--mode takes 0, 1 or 2"};
    }
}

int addTransformer(const std::vector<std::string>& args) {
    Arguments a = parse(args, {"--mode", "--identifier", "--manufacturer", "--serial", "--fingerprint"});
    requiredOption(a, "--mode");
    db::TransformerRecord r;
    r.identifier = requiredOption(a, "--identifier");
    r.manufacturer = requiredOption(a, "--manufacturer");
    r.serialNumber = requiredOption(a, "--serial");
    r.fingerprintSweepId = integerOption(a, "--fingerprint", 0);
    const db::StoreMode mode = storeMode(a);
    return storeCommand(a, [&] { return db::store_transformer(r, mode); }, [&] {
        refused(measure::refuseTransformer({r.identifier, r.manufacturer, r.serialNumber}, mode == db::kAddChecked, {}));
    });
}

bool yesNo(const std::string& text) {
    if (text == "yes") return true;
    if (text == "no") return false;
    throw UsageError{"--fluid takes yes or no"};
}

int addSetup(const std::vector<std::string>& args) {
    Arguments a = parse(args, {"--mode", "--id", "--name", "--reference", "--response", "--connected", "--oltc",
                               "--length", "--fluid", "--comments"});
    requiredOption(a, "--mode");
    db::SetupRecord r;
    r.id = integerOption(a, "--id", 0);
    r.name = requiredOption(a, "--name");
    r.referenceTerminal = requiredOption(a, "--reference");
    r.responseTerminal = requiredOption(a, "--response");
    r.connectedTerminals = requiredOption(a, "--connected");
    requiredOption(a, "--oltc");
    r.oltc = static_cast<std::int32_t>(integerOption(a, "--oltc", 0));
    requiredOption(a, "--length");
    r.unshieldedLength = static_cast<float>(numberOption(a, "--length", 0));
    r.fluidFilled = yesNo(requiredOption(a, "--fluid"));
    r.comments = a.get("--comments");
    return storeCommand(a, [&] { return db::store_setup(r, storeMode(a)); }, [&] {
        refused(measure::refuseSetup({r.name, r.referenceTerminal, r.responseTerminal, r.connectedTerminals,
                                      a.get("--oltc"), a.get("--length"), r.comments, r.fluidFilled},
                                     {}, ""));
    });
}

int addEquipment(const std::vector<std::string>& args) {
    Arguments a = parse(args, {"--mode", "--id", "--manufacturer", "--instrument", "--serial", "--due"});
    requiredOption(a, "--mode");
    db::EquipmentRecord r;
    r.id = integerOption(a, "--id", 0);
    r.manufacturer = requiredOption(a, "--manufacturer");
    r.instrument = requiredOption(a, "--instrument");
    r.serialNumber = requiredOption(a, "--serial");
    r.calibrationDueDate = a.get("--due");
    return storeCommand(a, [&] { return db::store_equipment(r, storeMode(a)); },
                        [&] { refused(measure::refuseEquipment({r.instrument, r.manufacturer, r.serialNumber})); });
}

// Reads one point per line, values separated by commas in the point record's order.
void readPoints(const std::string& file, db::SweepRecord& s) {
    std::ifstream in(file);
    if (!in) throw UsageError{"cannot read " + file};
    const std::size_t wanted = s.dataType == db::kDataBasicFra ? 3 : s.dataType == db::kDataFra ? 6 : 8;
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        std::vector<double> v;
        std::stringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');) {
            std::size_t b = field.find_first_not_of(" \t"), e = field.find_last_not_of(" \t");
            double x = 0;
            if (b == std::string::npos || !parseNumber(field.substr(b, e - b + 1), x))
                throw UsageError{file + ":" + std::to_string(lineNumber) + ": not a number: " + field};
            v.push_back(x);
        }
        if (v.size() != wanted)
            throw UsageError{file + ":" + std::to_string(lineNumber) + ": expected " + std::to_string(wanted) +
                             " values, found " + std::to_string(v.size())};
        if (s.dataType == db::kDataBasicFra) s.basicPoints.push_back({v[0], v[1], v[2]});
        else if (s.dataType == db::kDataFra) s.fraPoints.push_back({v[0], v[1], v[2], v[3], v[4], v[5]});
        else s.lcrPoints.push_back({v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]});
    }
}

int addSweep(const std::vector<std::string>& args) {
    Arguments a = parse(args, {"--mode", "--id", "--name", "--transformer", "--setup", "--equipment", "--date", "--time",
                               "--peak", "--temp", "--phase-convention", "--comments", "--type", "--points"});
    requiredOption(a, "--mode");
    const db::StoreMode mode = storeMode(a);
    db::SweepRecord r;
    r.name = requiredOption(a, "--name");
    r.transformerIdentifier = requiredOption(a, "--transformer");
    requiredOption(a, "--setup");
    r.setupId = integerOption(a, "--setup", 0);
    requiredOption(a, "--equipment");
    r.equipmentId = integerOption(a, "--equipment", 0);
    r.date = requiredOption(a, "--date");
    r.time = requiredOption(a, "--time");
    r.peakVoltage = numberOption(a, "--peak", 0);
    r.temperature = numberOption(a, "--temp", 0);
    r.phaseConvention = static_cast<std::int32_t>(integerOption(a, "--phase-convention", 0));
    r.comments = a.get("--comments");
    requiredOption(a, "--type");
    r.dataType = static_cast<std::int32_t>(integerOption(a, "--type", 0));
    if (r.dataType < 0 || r.dataType > 2) throw UsageError{"--type takes 0, 1 or 2"};
    if (a.has("--points")) {
        if (mode == db::kUpdate) throw UsageError{"--points adds points to a new sweep only"};
        readPoints(a.get("--points"), r);
    }
    if (mode != db::kUpdate && a.has("--id")) throw UsageError{"--id names the sweep to update (--mode 1)"};
    return storeCommand(
        a,
        [&] {
            if (mode != db::kUpdate) return db::store_new_sweep(r, mode);
            r.id = integerOption(a, "--id", 0);
            return db::store_sweep(r, mode);
        },
        [&] {
            refused(measure::refuseSweep(
                {r.name, a.get("--peak"), a.get("--temp"), r.comments, r.transformerIdentifier, r.setupId, r.equipmentId},
                nullptr));
        });
}

db::DeleteKind kindArgument(const std::string& text) {
    static const struct {
        const char* name;
        db::DeleteKind kind;
    } kKinds[] = {{"transformer", db::DeleteKind::Transformer},
                  {"setup", db::DeleteKind::Setup},
                  {"equipment", db::DeleteKind::Equipment},
                  {"sweep", db::DeleteKind::Sweep}};
    for (const auto& k : kKinds)
        if (text == k.name || text == std::to_string(static_cast<int>(k.kind))) return k.kind;
    throw UsageError{"unknown kind " + text};
}

int deleteRecords(const std::vector<std::string>& args, TerminalPrompter& prompter) {
    Arguments a = parse(args, {"--where"}, {"--yes"});
    const std::string& path = positional(a, 0, "PATH");
    const db::DeleteKind kind = kindArgument(positional(a, 1, "KIND"));
    expectPositionals(a, 2);
    db::RecordSelection selection{static_cast<db::TableIndex>(kind), {}, requiredOption(a, "--where")};
    prompter.setAnswerYes(a.has("--yes"));
    DatabaseSession session(path);
    if (!session.isOpen()) return 1;
    bool deleted = db::delete_records(kind, selection, true);
    std::printf("deleted: %s\n", deleted ? "yes" : "no");
    return 0;
}

int search(const std::vector<std::string>& args) {
    Arguments a = parse(args, {});
    const std::string& path = positional(a, 0, "PATH");
    long long view = -1;
    db::ViewContext context;
    if (!parseInteger(positional(a, 1, "VIEW"), view) || !db::tableView(static_cast<int>(view), context))
        throw UsageError{"VIEW is 0, 1, 2 or 3"};
    const std::string text = a.positional.size() > 2 ? a.positional[2] : std::string();
    expectPositionals(a, 3);
    DatabaseSession session(path);
    if (!session.isOpen()) return 1;
    std::vector<std::string> rows;
    db::search_view(context, text, rows);
    for (const auto& row : rows) std::printf("%s\n", row.c_str());
    return 0;
}

int newDatabase(const std::vector<std::string>& args, TerminalPrompter& prompter) {
    Arguments a = parse(args, {"--type", "--transformer", "--manufacturer", "--serial"}, {"--yes"});
    const std::string& path = positional(a, 0, "PATH");
    expectPositionals(a, 1);
    const long long type = integerOption(a, "--type", -1);
    if (type < 0 || type >= db::kTransformerTypeCount) throw UsageError{"--type takes 0 to 10"};
    db::TransformerRecord transformer;
    if (type != db::kUserDefinedType) {
        transformer.identifier = requiredOption(a, "--transformer");
        transformer.manufacturer = requiredOption(a, "--manufacturer");
        transformer.serialNumber = requiredOption(a, "--serial");
        // The transformer dialog's rules as the first step of a new database has them (the identifier
        // is not compared, there being no database yet); a refusal makes no file.
        if (refused(measure::refuseTransformer(
                {transformer.identifier.str(), transformer.manufacturer.str(), transformer.serialNumber.str()}, true,
                {}))) {
            std::printf("created: no\n");
            return 1;
        }
    }
    prompter.setAnswerYes(a.has("--yes"));
    prompter.setSaveAnswer(path);
    const bool created = db::create_database(static_cast<int>(type), [&](db::TransformerRecord& t) {
        t = transformer;
        return true;
    });
    db::close_current_database();
    std::printf("created: %s\n", created ? "yes" : "no");
    return created ? 0 : 1;
}

}  // namespace

int runDbCommand(const std::vector<std::string>& args, TerminalPrompter& prompter) {
    return runCommand(kDbUsage, [&] {
        if (args.empty()) throw UsageError{"db needs a command"};
        const std::string& name = args[0];
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        if (name == "info") return info(rest);
        if (name == "rows") return rows(rest);
        if (name == "next-id") return nextId(rest);
        if (name == "add-transformer") return addTransformer(rest);
        if (name == "add-setup") return addSetup(rest);
        if (name == "add-equipment") return addEquipment(rest);
        if (name == "add-sweep") return addSweep(rest);
        if (name == "delete") return deleteRecords(rest, prompter);
        if (name == "search") return search(rest);
        if (name == "new") return newDatabase(rest, prompter);
        throw UsageError{"unknown db command " + name};
    });
}

}  // namespace cli
