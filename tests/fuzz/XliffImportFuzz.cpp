// Fuzzes the XLIFF reader (libxml2 underneath) and the import of what it accepts.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "document/exchange/XliffExchange.h"
#include "tests/fuzz/ImportFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<IncomingUnit> units;
    if (ReadXliff(std::string_view(reinterpret_cast<const char*>(data), size), units).ok())
        fuzz::CheckImport(units);
    return 0;
}
