#include "db/row_text.h"

#include <cstdlib>
#include <cstring>

namespace db {
namespace {

std::string padLeft(const std::string& s, std::size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), '0') + s;
}

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

const std::string& at(const std::vector<std::string>& values, std::size_t i) {
    static const std::string empty;
    return i < values.size() ? values[i] : empty;
}

long long integerAt(const std::vector<std::string>& values, std::size_t i) { return std::atoll(at(values, i).c_str()); }
double numberAt(const std::vector<std::string>& values, std::size_t i) { return std::atof(at(values, i).c_str()); }

}  // namespace

std::string displayDate(const std::string& stored) {
    std::size_t first = stored.find('-');
    if (first == std::string::npos) return "ERR_BAD_DAY";
    std::size_t second = stored.find('-', first + 1);
    if (second == std::string::npos) return "ERR_BAD_MONTH";
    std::string year = stored.substr(0, first);
    std::string month = stored.substr(first + 1, second - first - 1);
    std::string day = stored.substr(second + 1);
    return padLeft(day, 2) + "-" + padLeft(month, 2) + "-" + padLeft(year, 4);
}

std::string shownDate(const std::string& date) {
    return date.size() == 10 && date[4] == '-' && date[7] == '-' ? displayDate(date) : date;
}

std::string rowValue(const std::string& column, const char* value) {
    if (!value || !*value) return " ";
    if (contains(column, "Date")) return std::strlen(value) < 2 ? " " : displayDate(value);
    if (contains(column, "Fluid")) return std::strcmp(value, "TRUE") == 0 ? "Yes" : "No";
    return value;
}

std::string viewValue(const std::string& column, const char* value) {
    if (contains(column, "Fluid")) {
        if (!value) return " ";
        return std::strcmp(value, "TRUE") == 0 ? "Yes" : "No";
    }
    if (column == "Data_Type" && value && *value) {
        const char* name = dataTypeName(std::atoi(value));
        if (*name) return name;
    }
    return rowValue(column, value);
}

std::string shownValueSql(const std::string& column) {
    if (contains(column, "Fluid"))
        return "CASE WHEN " + column + " IS NULL THEN NULL WHEN " + column + "='TRUE' THEN 'Yes' ELSE 'No' END";
    if (column != "Data_Type") return column;
    std::string sql = "CASE " + column;
    for (int type : {kDataBasicFra, kDataFra, kDataLcr})
        sql += " WHEN " + std::to_string(type) + " THEN '" + dataTypeName(type) + "'";
    return sql + " ELSE " + column + " END";
}

std::string columnTitle(const std::string& column) {
    std::string title = column;
    for (char& c : title)
        if (c == '_') c = ' ';
    return title;
}

std::string joinRow(const std::vector<std::string>& values) {
    std::string row;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) row += '\t';
        row += values[i];
    }
    return row;
}

std::vector<std::string> splitRow(const std::string& row) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = row.find('\t', start);
        parts.push_back(row.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return parts;
        start = tab + 1;
    }
}

TransformerRecord transformerFromColumns(const std::vector<std::string>& v) {
    TransformerRecord r;
    r.identifier = at(v, 0);
    r.manufacturer = at(v, 1);
    r.serialNumber = at(v, 2);
    r.fingerprintSweepId = integerAt(v, 3);
    return r;
}

SetupRecord setupFromColumns(const std::vector<std::string>& v) {
    SetupRecord r;
    r.id = integerAt(v, 0);
    r.name = at(v, 1);
    r.referenceTerminal = at(v, 2);
    r.responseTerminal = at(v, 3);
    r.connectedTerminals = at(v, 4);
    r.oltc = static_cast<std::int32_t>(integerAt(v, 5));
    r.unshieldedLength = static_cast<float>(numberAt(v, 6));
    r.fluidFilled = at(v, 7) == "TRUE";
    r.comments = at(v, 8);
    return r;
}

EquipmentRecord equipmentFromColumns(const std::vector<std::string>& v) {
    EquipmentRecord r;
    r.id = integerAt(v, 0);
    r.manufacturer = at(v, 1);
    r.instrument = at(v, 2);
    r.serialNumber = at(v, 3);
    r.calibrationDueDate = at(v, 4);
    return r;
}

SweepRecord sweepFromColumns(const std::vector<std::string>& v) {
    SweepRecord r;
    r.id = integerAt(v, 0);
    r.setupId = integerAt(v, 1);
    r.equipmentId = integerAt(v, 2);
    r.transformerIdentifier = at(v, 3);
    r.name = at(v, 4);
    r.temperature = numberAt(v, 5);
    r.peakVoltage = numberAt(v, 6);
    r.date = at(v, 7).empty() ? std::string() : displayDate(at(v, 7));
    r.time = at(v, 8);
    r.phaseConvention = static_cast<std::int32_t>(integerAt(v, 9));
    r.comments = at(v, 10);
    r.dataType = static_cast<std::int32_t>(integerAt(v, 11));
    return r;
}

}  // namespace db
