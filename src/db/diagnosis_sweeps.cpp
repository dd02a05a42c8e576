// The sweeps a diagnosis may compare.
#include "db/diagnosis_sweeps.h"

#include "db/record_lookup.h"
#include "db/record_store.h"
#include "db/row_text.h"
#include "db/schema.h"
#include "db/sql_text.h"

namespace db {
namespace {

constexpr TableIndex kSweep = TableIndex::Sweep;
enum SweepColumn : int { kSweepId = 0, kTransformer = 3, kName = 4, kDate = 7, kTime = 8, kDataType = 11 };
constexpr int kFingerprintColumn = 3;  // Transformer.Fingerprint_Sweep_Id

// An impedance sweep has no gain to compare.
std::string fraOnly() { return common::stringPrintf("%s<>'%d'", columnName(kSweep, kDataType), kDataLcr); }

std::string isValue(int column, const std::string& value) {
    return common::stringPrintf("%s='%s'", columnName(kSweep, column), doubleQuotes(value).c_str());
}

// The first row of the query as a DiagnosisSweep; false when it has none.
bool firstSweep(const std::string& where, DiagnosisSweep& out, const std::string& unlike = {}) {
    std::vector<std::string> rows;
    select_rows(rows, kSweep, {kSweepId, kName, kDate, kTime, kTransformer}, where, false);
    for (const std::string& row : rows) {
        std::vector<std::string> v = splitRow(row);
        v.resize(5);
        if (v[0] == unlike) continue;
        out = DiagnosisSweep{v[0], common::stringPrintf("%s\t%s %s", v[1].c_str(), v[2].c_str(), v[3].c_str()), v[4]};
        return true;
    }
    out = DiagnosisSweep{};
    return false;
}

}  // namespace

bool findDiagnosisSweep(const std::string& id, DiagnosisSweep& out) {
    return !id.empty() && firstSweep("WHERE " + isValue(kSweepId, id), out);
}

std::string transformerOfKey(const std::string& key) {
    std::vector<std::string> values;
    if (key.empty()) return {};
    if (loadRowByKey(TableIndex::Transformer, key, {}, values)) return key;
    DiagnosisSweep sweep;
    return findDiagnosisSweep(key, sweep) ? sweep.transformer : std::string();
}

void proposeDiagnosisPair(const std::string& transformer, DiagnosisSweep& fingerprint, DiagnosisSweep& diagnosed) {
    fingerprint = diagnosed = DiagnosisSweep{};
    std::vector<std::string> values;
    if (loadRowByKey(TableIndex::Transformer, transformer, {}, values) &&
        static_cast<int>(values.size()) > kFingerprintColumn)
        findDiagnosisSweep(values[kFingerprintColumn], fingerprint);
    // Dates are stored YYYY-MM-DD, so their text order is their order in time.
    firstSweep(common::stringPrintf("WHERE %s AND %s ORDER BY %s DESC, %s DESC, %s DESC",
                                    isValue(kTransformer, transformer).c_str(), fraOnly().c_str(),
                                    columnName(kSweep, kDate), columnName(kSweep, kTime), columnName(kSweep, kSweepId)),
               diagnosed, fingerprint.id);
}

std::string diagnosisPickerClause(const std::vector<std::int64_t>& among, const std::string& transformer) {
    std::string where = "WHERE ";
    if (!among.empty()) {
        where += "(";
        for (std::size_t i = 0; i < among.size(); ++i)
            where += common::stringPrintf("%s%s='%lld'", i ? " OR " : "", columnName(kSweep, kSweepId),
                                          static_cast<long long>(among[i]));
        where += ") AND ";
    }
    if (!transformer.empty()) where += isValue(kTransformer, transformer) + " AND ";
    return where + fraOnly();
}

}  // namespace db
