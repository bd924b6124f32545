// Fuzzes the PO reader (gettext's libgettextpo underneath, which reads from a file: the input is
// handed over as an in-memory file) and the import of what it accepts.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "document/exchange/PoExchange.h"
#include "tests/fuzz/ImportFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int fd = ::memfd_create("po-fuzz", 0);
    if (fd < 0) std::abort();
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    std::vector<IncomingUnit> units;
    if (ReadPo("/proc/self/fd/" + std::to_string(fd), units).ok()) fuzz::CheckImport(units);
    return 0;
}
