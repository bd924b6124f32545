// Fuzzes the text resource reader, and the writer on whatever the reader accepts.
//
// The input is a .txr, optionally followed by the separator and a .txl. Both are read in every
// mode. A failed read must leave the table exactly as it was. A successful read that the writer
// accepts is written and read back: the rows, groups and last Global ID must survive (Group IDs
// and counters are numbered again by the reader, so they are compared after a second round).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "document/ListBoxSafe.h"
#include "document/format/ResourceTable.h"

namespace {

constexpr std::string_view kSeparator = "\n==txl==\n";

struct Snapshot {
    std::vector<std::array<std::string, 4>> rows;
    std::vector<std::pair<std::string, int32_t>> groups;
    int32_t lastId = 0;

    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const ResourceTable& store) {
    Snapshot s;
    for (int r = 0; r < store.GetRowCount(); ++r)
        s.rows.push_back({store.GetCellText(r, 0), store.GetCellText(r, 1), store.GetCellText(r, 2),
                          store.GetCellText(r, 3)});
    for (const GroupNode* g = store.Groups().head(); g; g = g->next)
        s.groups.emplace_back(g->name, g->counter);
    s.lastId = store.GetLastGlobalId();
    return s;
}

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "read_fuzz: %s %s\n", what, detail.c_str());
    std::abort();
}

// A private directory for the files of each run, removed at exit. Never destroyed itself, so
// that the exit handler can still use it.
const std::string& Dir() {
    static const std::string* const dir = [] {
        const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        auto* path = new std::string(std::string(base) + "/qm-fuzz-XXXXXX");
        if (!::mkdtemp(path->data())) Fail("mkdtemp failed");
        std::atexit([] { std::filesystem::remove_all(Dir()); });
        return path;
    }();
    return *dir;
}

void PutFile(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) Fail("cannot create", path);
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        Fail("cannot write", path);
    ::close(fd);
}

// Writes the table and reads it back in the arrangement it was written in.
bool RoundTrip(const ResourceTable& from, ResourceTable& to, bool localized) {
    const std::string txr = Dir() + "/rt.txr", txl = Dir() + "/rt.txl";
    ::unlink(txl.c_str());
    const Status w = WriteTextResource(from, txr, txl, localized);
    if (!w) return false;
    const Status r = ReadTextResource(to, txr, txl, localized ? ModeOpenPaired : ModeOpen);
    if (!r) Fail("a written file does not read back:", r.message());
    return true;
}

void CheckRoundTrip(const ResourceTable& read, ReadMode mode) {
    const bool localized = mode == ModeShowBoth || mode == ModeOpenPaired;
    ResourceTable once, twice;
    once.DefineColumns(kEntryColumnSpec);
    twice.DefineColumns(kEntryColumnSpec);
    if (!RoundTrip(read, once, localized)) return;  // the table holds what the format cannot carry

    Snapshot before = Take(read), after = Take(once);
    // A pair table with an odd row count gets the missing translation as a copy.
    if (localized && before.rows.size() % 2 == 1) before.rows.push_back(before.rows.back());
    if (before.rows.size() != after.rows.size()) Fail("round trip changed the row count");
    for (size_t i = 0; i < before.rows.size(); ++i) {
        const auto &b = before.rows[i], &a = after.rows[i];
        if (b[0] != a[0] || b[1] != a[1] || b[3] != a[3]) Fail("round trip changed row", std::to_string(i));
    }
    if (before.groups.size() != after.groups.size()) Fail("round trip changed the groups");
    for (size_t i = 0; i < before.groups.size(); ++i)
        if (before.groups[i].first != after.groups[i].first) Fail("round trip changed a group name");
    if (before.lastId != after.lastId) Fail("round trip changed the last Global ID");

    // Once numbered by the reader, a table comes back exactly.
    if (!RoundTrip(once, twice, localized)) Fail("a table read from a written file cannot be written");
    if (!(Take(once) == Take(twice))) Fail("second round trip changed the table");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t cut = input.find(kSeparator);
    const std::string txr = Dir() + "/in.txr", txl = Dir() + "/in.txl";
    PutFile(txr, input.substr(0, cut));
    if (cut == std::string_view::npos)
        ::unlink(txl.c_str());
    else
        PutFile(txl, input.substr(cut + kSeparator.size()));

    for (int m = ModeShowOriginal; m <= ModeOpenPaired; ++m) {
        const ReadMode mode = static_cast<ReadMode>(m);
        ResourceTable store;
        store.DefineColumns(kEntryColumnSpec);
        store.AppendRow({"sentinel", "row", "0", "must survive a failed read"});
        store.Groups().Append("sentinel");
        store.SetLastGlobalId(-42);
        const Snapshot before = Take(store);
        const Status s = ReadTextResource(store, txr, txl, mode);
        if (!s) {
            if (!(Take(store) == before)) Fail("a failed read changed the table");
            if (s.message().empty()) Fail("an error without a message");
            continue;
        }
        CheckRoundTrip(store, mode);
    }
    return 0;
}
