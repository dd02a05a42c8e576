// The IEC XML reader, on the document's bytes as a file holds them (the reader is pure).
#include <cstring>

#include "fuzz_support.h"
#include "interchange/iec_xml_import.h"
#include "interchange/xml_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    db::SweepBundle bundle;
    const char* refusal = interchange::readIecXml({reinterpret_cast<const char*>(data), size}, bundle);
    fuzz::require(!refusal || std::strcmp(refusal, interchange::kNotValidXml) == 0 ||
                      std::strcmp(refusal, interchange::kNotCompatibleXml) == 0,
                  "a refusal is one of the reader's two messages");
    fuzz::require(bundle.sweep.basicPoints.size() <= interchange::kMaxImportedPoints,
                  "a sweep holds at most 2000 points");
    return 0;
}
