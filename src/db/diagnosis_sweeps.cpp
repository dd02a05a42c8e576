// The sweeps a diagnosis may compare.
#include "db/diagnosis_sweeps.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "db/record_lookup.h"
#include "db/record_store.h"
#include "db/row_text.h"
#include "db/schema.h"
#include "db/sql_text.h"

namespace db {
namespace {

constexpr TableIndex kSweep = TableIndex::Sweep;
enum SweepColumn : int {
    kSweepId = 0,
    kSetup = 1,
    kTransformer = 3,
    kName = 4,
    kDate = 7,
    kTime = 8,
    kDataType = 11
};
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

// The latest first: dates are stored YYYY-MM-DD, so their text order is their order in time.
std::string latestFirst() {
    return common::stringPrintf(" ORDER BY %s DESC, %s DESC, %s DESC", columnName(kSweep, kDate),
                                columnName(kSweep, kTime), columnName(kSweep, kSweepId));
}

// The sweep's setup, transformer and date as stored; false when there is no such sweep.
bool sweepKeys(std::int64_t id, std::vector<std::string>& keys) {
    std::vector<std::string> values;
    if (!loadRowByKey(kSweep, std::to_string(id), {}, values) || values.size() <= kDate) return false;
    keys = {values[kSetup], values[kTransformer], values[kDate]};
    return true;
}

bool loadSetup(const std::string& id, SetupRecord& setup) {
    std::vector<std::string> values;
    if (!loadRowByKey(TableIndex::Measurement, id, {}, values)) return false;
    setup = setupFromColumns(values);
    return true;
}

bool differOnlyByPhase(const SetupRecord& a, const SetupRecord& b) {
    return sameButPhaseNumbers(a.referenceTerminal.str(), b.referenceTerminal.str()) &&
           sameButPhaseNumbers(a.responseTerminal.str(), b.responseTerminal.str()) &&
           sameButPhaseNumbers(a.connectedTerminals.str(), b.connectedTerminals.str()) && a.oltc == b.oltc &&
           a.unshieldedLength == b.unshieldedLength && a.fluidFilled == b.fluidFilled;
}

}  // namespace

bool sameButPhaseNumbers(const std::string& a, const std::string& b) {
    auto letters = [](std::string s) {
        s.erase(std::remove_if(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; }), s.end());
        return s;
    };
    return letters(a) == letters(b);
}

std::vector<std::int64_t> proposePhaseSweeps(std::int64_t sweepId) {
    std::vector<std::string> keys;
    SetupRecord own;
    if (!sweepKeys(sweepId, keys) || !loadSetup(keys[0], own)) return {};
    std::vector<std::vector<std::string>> rows;
    selectColumns(rows, kSweep, {kSweepId, kSetup},
                  "WHERE " + isValue(kTransformer, keys[1]) + " AND " + isValue(kDate, keys[2]) + " AND " + fraOnly() +
                      latestFirst(),
                  false);
    // The sweep itself first, then the latest of each other setup of its phases.
    std::stable_partition(rows.begin(), rows.end(), [sweepId](const auto& r) { return r[0] == std::to_string(sweepId); });
    std::vector<std::pair<std::string, std::int64_t>> phases;  // the setup's terminals, the sweep
    std::vector<std::string> setupsTaken;
    for (const auto& row : rows) {
        SetupRecord setup;
        if (std::find(setupsTaken.begin(), setupsTaken.end(), row[1]) != setupsTaken.end() || !loadSetup(row[1], setup) ||
            !differOnlyByPhase(own, setup))
            continue;
        setupsTaken.push_back(row[1]);
        phases.emplace_back(setup.referenceTerminal.str() + "-" + setup.responseTerminal.str() + " " +
                                setup.connectedTerminals.str(),
                            std::atoll(row[0].c_str()));
    }
    std::sort(phases.begin(), phases.end());
    std::vector<std::int64_t> ids;
    for (const auto& phase : phases)
        if (ids.size() < 3) ids.push_back(phase.second);
    return ids;
}

std::int64_t sisterUnitSweep(std::int64_t sweepId, const std::string& sisterTransformer) {
    std::vector<std::string> keys;
    if (!sweepKeys(sweepId, keys)) return 0;
    std::vector<std::vector<std::string>> rows;
    selectColumns(rows, kSweep, {kSweepId},
                  "WHERE " + isValue(kTransformer, sisterTransformer) + " AND " + isValue(kSetup, keys[0]) + " AND " +
                      fraOnly() + latestFirst(),
                  false);
    return rows.empty() ? 0 : std::atoll(rows.front()[0].c_str());
}

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
    firstSweep("WHERE " + isValue(kTransformer, transformer) + " AND " + fraOnly() + latestFirst(), diagnosed,
               fingerprint.id);
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

std::string sisterUnitPickerClause(const std::string& transformer) {
    return common::stringPrintf("WHERE %s<>'%s'", columnName(TableIndex::Transformer, 0),
                                doubleQuotes(transformer).c_str());
}

}  // namespace db
