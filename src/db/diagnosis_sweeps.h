// The sweeps a winding diagnosis may compare, as the sweep selection of the graph window's diagnosis
// mode offers and shows them: FRA sweeps only, of one transformer or among a graph's own sweeps.
// Works on the main connection; user-interface thread only. A failed query has shown its message
// (see record_store.h) and reads as "nothing found".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace db {

// A sweep as the selection shows it: its id as text, "name\tdate time" and its transformer.
struct DiagnosisSweep {
    std::string id;
    std::string text;
    std::string transformer;
};

// The sweep with this id (as text); false, with out emptied, when there is none.
bool findDiagnosisSweep(const std::string& id, DiagnosisSweep& out);

// The transformer a key of the data browser's list names: the transformer of that identifier, else
// the transformer of the sweep with that id (the key of a sweep row); "" when neither exists.
std::string transformerOfKey(const std::string& key);

// The proposal for a transformer: its fingerprint sweep, and its latest other FRA sweep (by date,
// then time, then id). Either is left empty when there is none.
void proposeDiagnosisPair(const std::string& transformer, DiagnosisSweep& fingerprint, DiagnosisSweep& diagnosed);

// Whether two terminal texts are the same but for their phase numbers (H1 and H2, X1-X2 and X2-X3).
bool sameButPhaseNumbers(const std::string& a, const std::string& b);

// The phases a construction-based comparison proposes for a sweep: the FRA sweeps of its transformer
// on its test date whose setups differ from its own only by the terminals' phase numbers (the same
// OLTC position, lead length and fluid), one for each setup, in the order of the setups' terminals;
// the sweep itself among them. Fewer than three when that test has fewer.
std::vector<std::int64_t> proposePhaseSweeps(std::int64_t sweepId);

// The sweep a type-based comparison proposes on a sister unit: the latest FRA sweep of that
// transformer with the same setup as the sweep (by date, then time, then id); 0 when there is none.
std::int64_t sisterUnitSweep(std::int64_t sweepId, const std::string& sisterTransformer);

// The WHERE clause of the transformer picker of a type-based comparison: every transformer but this one.
std::string sisterUnitPickerClause(const std::string& transformer);

// The WHERE clause of the sweep picker: FRA sweeps among the given ones (all when none are given),
// and of the transformer when one is given.
std::string diagnosisPickerClause(const std::vector<std::int64_t>& among, const std::string& transformer);

}  // namespace db
