// The transformer types a new database can be made for, and the measurement setups each type
// starts with.
#include "db/default_setups.h"

namespace db {
namespace {

const DefaultSetup kType0[] = {
    {"OPEN1", "H1", "H0", "NONE"},
    {"OPEN2", "H2", "H0", "NONE"},
    {"OPEN3", "H3", "H0", "NONE"},
    {"OPEN4", "X1", "X3", "NONE"},
    {"OPEN5", "X2", "X1", "NONE"},
    {"OPEN6", "X3", "X2", "NONE"},
    {"SHORT1", "H1", "H0", "X1-X2-X3-X1"},
    {"SHORT2", "H2", "H0", "X1-X2-X3-X1"},
    {"SHORT3", "H3", "H0", "X1-X2-X3-X1"},
    {"INTERWINDING1", "H1", "X1", "NONE"},
    {"INTERWINDING2", "H2", "X2", "NONE"},
    {"INTERWINDING3", "H3", "X3", "NONE"},
};
const DefaultSetup kType1[] = {
    {"OPEN1", "H1", "H3", "NONE"},
    {"OPEN2", "H2", "H1", "NONE"},
    {"OPEN3", "H3", "H2", "NONE"},
    {"OPEN4", "X1", "X0", "NONE"},
    {"OPEN5", "X2", "X0", "NONE"},
    {"OPEN6", "X3", "X0", "NONE"},
    {"SHORT1", "H1", "H3", "X1-X2-X3-X1"},
    {"SHORT2", "H2", "H1", "X1-X2-X3-X1"},
    {"SHORT3", "H3", "H2", "X1-X2-X3-X1"},
    {"INTERWINDING1", "H1", "X1", "NONE"},
    {"INTERWINDING2", "H2", "X2", "NONE"},
    {"INTERWINDING3", "H3", "X3", "NONE"},
};
const DefaultSetup kType2[] = {
    {"OPEN1", "H1", "H3", "NONE"},
    {"OPEN2", "H2", "H1", "NONE"},
    {"OPEN3", "H3", "H2", "NONE"},
    {"OPEN4", "X1", "X3", "NONE"},
    {"OPEN5", "X2", "X1", "NONE"},
    {"OPEN6", "X3", "X2", "NONE"},
    {"SHORT1", "H1", "H3", "X1-X2-X3-X1"},
    {"SHORT2", "H2", "H1", "X1-X2-X3-X1"},
    {"SHORT3", "H3", "H2", "X1-X2-X3-X1"},
    {"INTERWINDING1", "H1", "X1", "NONE"},
    {"INTERWINDING2", "H2", "X2", "NONE"},
    {"INTERWINDING3", "H3", "X3", "NONE"},
};
const DefaultSetup kType3[] = {
    {"OPEN1", "H1", "H0", "NONE"},
    {"OPEN2", "H2", "H0", "NONE"},
    {"OPEN3", "H3", "H0", "NONE"},
    {"OPEN4", "X3", "X1", "NONE"},
    {"OPEN5", "X1", "X2", "NONE"},
    {"OPEN6", "X2", "X3", "NONE"},
    {"OPEN7", "Y1", "Y3", "NONE"},
    {"OPEN8", "Y2", "Y1", "NONE"},
    {"OPEN9", "Y3", "Y2", "NONE"},
    {"SHORT1", "H1", "H0", "X1-X2-X3-X1"},
    {"SHORT2", "H2", "H0", "X1-X2-X3-X1"},
    {"SHORT3", "H3", "H0", "X1-X2-X3-X1"},
    {"SHORT4", "H1", "H0", "Y1-Y2-Y3-Y1"},
    {"SHORT5", "H2", "H0", "Y1-Y2-Y3-Y1"},
    {"SHORT6", "H3", "H0", "Y1-Y2-Y3-Y1"},
    {"SHORT7", "X3", "X1", "Y1-Y2-Y3-Y1"},
    {"SHORT8", "X1", "X2", "Y1-Y2-Y3-Y1"},
    {"SHORT9", "X2", "X3", "Y1-Y2-Y3-Y1"},
    {"INTERWINDING1", "H1", "X1", "NONE"},
    {"INTERWINDING2", "H2", "X2", "NONE"},
    {"INTERWINDING3", "H3", "X3", "NONE"},
    {"INTERWINDING4", "H1", "Y1", "NONE"},
    {"INTERWINDING5", "H2", "Y2", "NONE"},
    {"INTERWINDING6", "H3", "Y3", "NONE"},
    {"INTERWINDING7", "X1", "Y1", "NONE"},
    {"INTERWINDING8", "X2", "Y2", "NONE"},
    {"INTERWINDING9", "X3", "Y3", "NONE"},
};
const DefaultSetup kType4[] = {
    {"OPEN1", "H1", "H3", "NONE"},
    {"OPEN2", "H2", "H1", "NONE"},
    {"OPEN3", "H3", "H2", "NONE"},
    {"OPEN4", "X1", "X0", "NONE"},
    {"OPEN5", "X2", "X0", "NONE"},
    {"OPEN6", "X3", "X0", "NONE"},
    {"OPEN7", "Y1", "Y0", "NONE"},
    {"OPEN8", "Y2", "Y0", "NONE"},
    {"OPEN9", "Y3", "Y0", "NONE"},
    {"SHORT1", "H1", "H3", "X1-X2-X3-X1"},
    {"SHORT2", "H2", "H1", "X1-X2-X3-X1"},
    {"SHORT3", "H3", "H2", "X1-X2-X3-X1"},
    {"SHORT4", "H1", "H3", "Y1-Y2-Y3-Y1"},
    {"SHORT5", "H2", "H1", "Y1-Y2-Y3-Y1"},
    {"SHORT6", "H3", "H2", "Y1-Y2-Y3-Y1"},
    {"SHORT7", "X1", "X0", "Y1-Y2-Y3-Y1"},
    {"SHORT8", "X2", "X0", "Y1-Y2-Y3-Y1"},
    {"SHORT9", "X3", "X0", "Y1-Y2-Y3-Y1"},
    {"INTERWINDING1", "H1", "X1", "NONE"},
    {"INTERWINDING2", "H2", "X2", "NONE"},
    {"INTERWINDING3", "H3", "X3", "NONE"},
    {"INTERWINDING4", "H1", "Y1", "NONE"},
    {"INTERWINDING5", "H2", "Y2", "NONE"},
    {"INTERWINDING6", "H3", "Y3", "NONE"},
    {"INTERWINDING7", "X1", "Y1", "NONE"},
    {"INTERWINDING8", "X2", "Y2", "NONE"},
    {"INTERWINDING9", "X3", "Y3", "NONE"},
};
const DefaultSetup kType6[] = {
    {"OPEN1", "H1", "X1", "NONE"},
    {"OPEN2", "H2", "X2", "NONE"},
    {"OPEN3", "H3", "X3", "NONE"},
    {"OPEN4", "X1", "H0X0", "NONE"},
    {"OPEN5", "X2", "H0X0", "NONE"},
    {"OPEN6", "X3", "H0X0", "NONE"},
    {"OPEN7", "Y1", "Y3", "NONE"},
    {"OPEN8", "Y2", "Y1", "NONE"},
    {"OPEN9", "Y3", "Y2", "NONE"},
    {"SHORT1", "H1", "H0X0", "X1-X2-X3-X1"},
    {"SHORT2", "H2", "H0X0", "X1-X2-X3-X1"},
    {"SHORT3", "H3", "H0X0", "X1-X2-X3-X1"},
    {"SHORT4", "H1", "H0X0", "Y1-Y2-Y3-Y1"},
    {"SHORT5", "H2", "H0X0", "Y1-Y2-Y3-Y1"},
    {"SHORT6", "H3", "H0X0", "Y1-Y2-Y3-Y1"},
    {"SHORT7", "X1", "H0X0", "Y1-Y2-Y3-Y1"},
    {"SHORT8", "X2", "H0X0", "Y1-Y2-Y3-Y1"},
    {"SHORT9", "X3", "H0X0", "Y1-Y2-Y3-Y1"},
    {"INTERWINDING1", "H1", "Y1", "NONE"},
    {"INTERWINDING2", "H2", "Y2", "NONE"},
    {"INTERWINDING3", "H3", "Y3", "NONE"},
    {"INTERWINDING4", "X1", "Y1", "NONE"},
    {"INTERWINDING5", "X2", "Y2", "NONE"},
    {"INTERWINDING6", "X3", "Y3", "NONE"},
};
const DefaultSetup kType7[] = {
    {"OPEN1", "H1", "H2", "NONE"},
    {"OPEN2", "X1", "X2", "NONE"},
    {"SHORT", "H1", "H2", "X1-X2"},
    {"INTERWINDING", "H1", "X1", "NONE"},
};
const DefaultSetup kType8[] = {
    {"OPEN1", "H1", "X1", "NONE"},
    {"OPEN2", "X1", "N", "NONE"},
    {"SHORT", "H1", "H0X0", "X1-H0X0"},
};
const DefaultSetup kType9[] = {
    {"OPEN1", "H1", "X1", "NONE"},
    {"OPEN2", "X1", "N", "NONE"},
    {"OPEN3", "Y1", "Y2", "NONE"},
    {"SHORT1", "H1", "H0X0", "X1-H0X0"},
    {"SHORT2", "H1", "H0X0", "Y1-Y2"},
    {"SHORT3", "H1", "H0X0", "Y1-Y2"},
    {"INTERWINDING1", "H1", "Y1", "NONE"},
    {"INTERWINDING2", "X1", "Y1", "NONE"},
};

template <std::size_t N>
std::vector<DefaultSetup> list(const DefaultSetup (&rows)[N]) {
    return {rows, rows + N};
}

}  // namespace

const char* transformerTypeName(int type) {
    static const char* const kNames[kTransformerTypeCount] = {
        "Three Phase Star-Delta (2 Windings)",
        "Three Phase Delta-Star (2 Windings)",
        "Three Phase Delta-Delta (2 Windings)",
        "Three Phase Star-Delta-Delta (3 Windings)",
        "Three Phase Delta-Star-Star (3 Windings)",
        "Three Phase Autotransformer",
        "Three Phase Autotransformer with Tertiary",
        "Single Phase (2 Windings)",
        "Single Phase Autotransformer",
        "Single Phase Autotransformer with Tertiary",
        "None (User Defined)",
    };
    return type >= 0 && type < kTransformerTypeCount ? kNames[type] : "";
}

std::vector<DefaultSetup> defaultSetups(int type) {
    switch (type) {
    case 0: return list(kType0);
    case 1:
    case 5: return list(kType1);  // the autotransformer is tested like a delta-star unit
    case 2: return list(kType2);
    case 3: return list(kType3);
    case 4: return list(kType4);
    case 6: return list(kType6);
    case 7: return list(kType7);
    case 8: return list(kType8);
    case 9: return list(kType9);
    default: return {};
    }
}

}  // namespace db
