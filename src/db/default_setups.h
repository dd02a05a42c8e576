// The transformer types offered for a new database and the measurement setups (test connections)
// each type starts with.
#pragma once

#include <vector>

namespace db {

constexpr int kTransformerTypeCount = 11;
constexpr int kUserDefinedType = 10;  // no transformer, no setups

struct DefaultSetup {
    const char* name;
    const char* referenceTerminal;
    const char* responseTerminal;
    const char* connectedTerminals;
};

// "Three Phase Star-Delta (2 Windings)" ... "None (User Defined)"; "" outside 0-10.
const char* transformerTypeName(int type);

// The type's setups in the order they are stored (empty for type 10 and unknown types). Every one
// has OLTC 3, an unshielded length of 30 mm, no fluid and no comments.
std::vector<DefaultSetup> defaultSetups(int type);

}  // namespace db
