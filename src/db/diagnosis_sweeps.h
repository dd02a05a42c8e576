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

// The WHERE clause of the sweep picker: FRA sweeps among the given ones (all when none are given),
// and of the transformer when one is given.
std::string diagnosisPickerClause(const std::vector<std::int64_t>& among, const std::string& transformer);

}  // namespace db
