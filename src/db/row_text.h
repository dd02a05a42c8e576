// Row texts: how stored values are shown in lists and dialogs, and how stored values become
// records. Pure functions.
#pragma once

#include <string>
#include <vector>

#include "db/records.h"

namespace db {

// A stored YYYY-MM-DD shown as DD-MM-YYYY, each part padded with zeros on the left (2020-5-3 gives
// 03-05-2020); "ERR_BAD_DAY" without a dash, "ERR_BAD_MONTH" with only one.
std::string displayDate(const std::string& stored);

// A date in either of the forms records hold it (YYYY-MM-DD as stored, DD-MM-YYYY as loaded) as the
// program shows dates, DD-MM-YYYY; any other text as it is.
std::string shownDate(const std::string& date);

// One value of a row text (value nullptr for NULL): NULL or empty as a blank; a column whose name
// contains "Date" through displayDate (a value shorter than 2 characters as a blank); one whose name
// contains "Fluid" as "Yes" for TRUE and "No" otherwise.
std::string rowValue(const std::string& column, const char* value);

// One value as the data browser's list shows it (the tab that follows it not included): as rowValue,
// except that a NULL fluid flag is a blank and an empty one "No", and a data type shows its name.
std::string viewValue(const std::string& column, const char* value);

// The SQL expression of a column's value as viewValue shows it, for a search or a sort to see what
// the list shows: a data type's name (the number for a type without one), a fluid flag's "Yes" or
// "No" (NULL for NULL); any other column as stored, its name alone.
std::string shownValueSql(const std::string& column);

// A column's name as a list's heading shows it: underscores as spaces ("Serial Number").
std::string columnTitle(const std::string& column);

// The values joined by tabs.
std::string joinRow(const std::vector<std::string>& values);

// A row text split at its tabs.
std::vector<std::string> splitRow(const std::string& row);

// Records from the stored values of all their columns in column-number order (NULL as ""). A sweep's
// date becomes DD-MM-YYYY, as the program shows and exports it; every other value keeps its stored form.
TransformerRecord transformerFromColumns(const std::vector<std::string>& values);
SetupRecord setupFromColumns(const std::vector<std::string>& values);
EquipmentRecord equipmentFromColumns(const std::vector<std::string>& values);
SweepRecord sweepFromColumns(const std::vector<std::string>& values);

}  // namespace db
