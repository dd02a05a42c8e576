// The finders of the data browser's rows, built from the sweeps and records the rows refer to.
#include "db/browser_finders.h"

#include <algorithm>
#include <cstdlib>

#include "db/browser_views.h"
#include "db/record_lookup.h"
#include "db/row_text.h"
#include "db/sql_text.h"

namespace db {
namespace {

const TableIndex kSweep = TableIndex::Sweep;

const char* allSweepsLabel(TableIndex table) {
    switch (table) {
    case TableIndex::Transformer: return "All Sweeps on this Transformer";
    case TableIndex::Measurement: return "All Sweeps with this Setup";
    case TableIndex::Equipment: return "All Sweeps using this Equipment";
    default: return nullptr;
    }
}

// The sweeps whose column (of Sweep) holds one of values.
ViewContext sweepsWhere(int column, const std::vector<std::string>& values) {
    return filteredView(kSweep, whereAnyOf(columnName(kSweep, column), values));
}

void addOnce(std::vector<std::string>& values, const std::string& value) {
    if (std::find(values.begin(), values.end(), value) == values.end()) values.push_back(value);
}

// Each sweep of the records alone, named by its name and date.
void addEachSweep(const Finder& all, std::vector<Finder>& out) {
    std::vector<std::vector<std::string>> rows;
    selectColumns(rows, kSweep, {0, 4, 7}, all.view.baseFilter, false);
    for (const auto& row : rows) {
        const std::string date = rowValue(columnName(kSweep, 7), row[2].c_str());
        out.push_back({common::stringPrintf("\"%s %s\" Only", row[1].c_str(), date.c_str()),
                       filteredView(kSweep, whereColumnIs(kSweep, 0, row[0]))});
    }
}

// The finders of records that sweeps refer to: the similar sweeps of each and each record alone.
// text shows the record ("" when it does not exist, which then finds nothing).
void addRecords(TableIndex table, const std::vector<std::string>& keys, std::string (*text)(const std::string&),
                const char* similarLabel, RowFinders& out, std::vector<Finder>& alone) {
    for (const std::string& key : keys) {
        const std::string shown = text(key);
        if (shown.empty()) continue;
        out.similar.push_back({common::stringPrintf(similarLabel, shown.c_str()), sweepsWhere(sweepColumnFor(table), {key})});
        alone.push_back({shown, filteredView(table, whereColumnIs(table, 0, key))});
    }
}

std::string transformerShown(const std::string& key) { return transformerText(key); }
std::string setupShown(const std::string& key) { return setupText(std::atoll(key.c_str())); }
std::string equipmentShown(const std::string& key) { return equipmentText(std::atoll(key.c_str())); }

void addSweepFinders(const std::vector<std::string>& sweepIds, RowFinders& out) {
    std::vector<std::vector<std::string>> rows;
    selectColumns(rows, kSweep, {3, 1, 2, 11}, whereAnyOf(columnName(kSweep, 0), sweepIds), false);
    std::vector<std::string> transformers, setups, equipment, types;
    for (const auto& row : rows) {
        addOnce(transformers, row[0]);
        addOnce(setups, row[1]);
        addOnce(equipment, row[2]);
        addOnce(types, row[3]);
    }
    addRecords(TableIndex::Transformer, transformers, transformerShown, "All sweeps on the same transformer (\"%s\")",
               out, out.transformers);
    addRecords(TableIndex::Measurement, setups, setupShown, "All sweeps performed with the same setup (\"%s\")", out,
               out.setups);
    addRecords(TableIndex::Equipment, equipment, equipmentShown, "All sweeps performed on the same equipment (\"%s\")",
               out, out.equipment);
    for (const std::string& stored : types) {
        const int type = std::atoi(stored.c_str());
        const char* name = dataTypeName(type);
        if (!*name) continue;
        out.anyLcr = out.anyLcr || type == kDataLcr;
        out.anyFra = out.anyFra || type != kDataLcr;
        // Basic and full FRA sweeps are the same kind of measurement: either finds both.
        const std::vector<std::string> found =
            type == kDataLcr ? std::vector<std::string>{stored} : std::vector<std::string>{"1", "0"};
        out.similar.push_back(
            {common::stringPrintf("All sweeps of the same datatype (\"%s\")", name), sweepsWhere(11, found)});
    }
}

}  // namespace

std::vector<const Finder*> RowFinders::all() const {
    std::vector<const Finder*> out;
    for (const std::vector<Finder>* group : {&sweeps, &similar, &transformers, &setups, &equipment})
        for (const Finder& f : *group) out.push_back(&f);
    return out;
}

bool allSweepsOf(TableIndex table, const std::vector<std::string>& keys, Finder& finder) {
    const char* label = allSweepsLabel(table);
    if (!label) return false;
    finder = {label, sweepsWhere(sweepColumnFor(table), keys)};
    return true;
}

RowFinders findersFor(TableIndex table, const std::vector<std::string>& keys) {
    RowFinders out;
    if (keys.empty()) return out;
    Finder all;
    if (allSweepsOf(table, keys, all)) {
        out.sweeps.push_back(all);
        addEachSweep(all, out.sweeps);
    } else if (table == kSweep) {
        addSweepFinders(keys, out);
    }
    return out;
}

}  // namespace db
