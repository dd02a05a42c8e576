#include "db/records.h"

namespace db {

int SweepRecord::pointCount() const {
    switch (dataType) {
    case kDataBasicFra: return static_cast<int>(basicPoints.size());
    case kDataFra: return static_cast<int>(fraPoints.size());
    case kDataLcr: return static_cast<int>(lcrPoints.size());
    default: return 0;
    }
}

const char* dataTypeName(int dataType) {
    switch (dataType) {
    case kDataBasicFra: return "FRA (Basic)";
    case kDataFra: return "FRA";
    case kDataLcr: return "LCR";
    default: return "";
    }
}

}  // namespace db
