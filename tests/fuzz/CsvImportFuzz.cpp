// Fuzzes the CSV reader and the import of what it accepts.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "document/exchange/CsvExchange.h"
#include "tests/fuzz/ImportFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<IncomingUnit> units;
    if (ReadCsv(std::string_view(reinterpret_cast<const char*>(data), size), units).ok())
        fuzz::CheckImport(units);
    return 0;
}
