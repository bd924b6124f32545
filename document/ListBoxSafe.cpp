// The text resource file format: writer and reader.
//
// A file is read whole into memory and cut into lines in place, so that a large document costs
// one read and no allocation per line. A file is written through one large buffer into a
// temporary file beside its target, which replaces the target only when everything was written.
#include "document/ListBoxSafe.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "core/RowStore.h"
#include "document/SystemCalls.h"

namespace {

constexpr std::string_view kEol = "\r\n";
constexpr std::string_view kMarker = "#";
// Table memory from this size on is made present by a second thread while it is filled.
constexpr size_t kPrefaultFrom = size_t{8} << 20;
const char* const kColumnNames[] = {"Global ID", "Group Name", "Group ID", "Text"};

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string Reason(int err) {
    return std::strerror(err);
}

// The folder a path names a file in ("." for a bare name is spelled out as the working folder).
std::string Folder(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == 0) return "/";
    if (slash != std::string::npos) return path.substr(0, slash);
    char cwd[PATH_MAX];
    return ::getcwd(cwd, sizeof cwd) ? std::string(cwd) : std::string(".");
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view TrimTrailing(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && IsSpace(s[n - 1])) --n;
    return s.substr(0, n);
}

// The decimal value of a line as the C library's atoi reads it: leading white space, an optional
// sign, digits up to the first other character; 0 without digits. Out-of-range values stop at
// the nearest end of the 32-bit range instead of being undefined.
int32_t ParseLeadingInt(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsSpace(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int64_t value = 0;
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = value * 10 + (s[i] - '0');
        if (value >= limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

// ---------------------------------------------------------------------------------------------
// Reading

// A buffer for a whole file. Large ones are mapped directly and asked for huge pages: filling
// a big buffer page by page costs more in page faults than the reading itself.
class FileBytes {
public:
    FileBytes() = default;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes() { Release(); }

    char* data() const { return m_data; }
    size_t size() const { return m_size; }
    size_t capacity() const { return m_capacity; }
    void set_size(size_t size) { m_size = size; }

    // A buffer of at least `capacity` bytes that keeps the first size() bytes; false when out of memory.
    bool Grow(size_t capacity) {
        char* p = nullptr;
        bool mapped = false;
        if (capacity >= kMapThreshold) {
            capacity = (capacity + kHugePage - 1) / kHugePage * kHugePage;
            void* m = ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (m == MAP_FAILED) return false;
            ::madvise(m, capacity, MADV_HUGEPAGE);
            p = static_cast<char*>(m);
            mapped = true;
        } else {
            p = static_cast<char*>(std::malloc(capacity ? capacity : 1));
            if (!p) return false;
        }
        if (m_size) std::memcpy(p, m_data, m_size);
        const size_t size = m_size;
        Release();
        m_data = p;
        m_size = size;
        m_capacity = capacity;
        m_mapped = mapped;
        return true;
    }

private:
    static constexpr size_t kHugePage = size_t{2} << 20;
    static constexpr size_t kMapThreshold = size_t{4} << 20;

    void Release() {
        if (m_mapped)
            ::munmap(m_data, m_capacity);
        else
            std::free(m_data);
        m_data = nullptr;
        m_size = m_capacity = 0;
        m_mapped = false;
    }

    char* m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
    bool m_mapped = false;
};

enum class LoadResult { Ok, Missing, Failed };

bool SameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Reads a whole regular file (or one a link names). `error` receives the message of anything
// else: Missing is a file that does not exist, Failed one that exists but cannot be read.
LoadResult LoadFile(const std::string& path, FileBytes& out, std::string& error) {
    SystemCalls& sys = SystemCalls::Current();
    // Not blocking: opening a FIFO waits for a writer, which may never come.
    const int fd = sys.Open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0) {
        const int err = errno;
        error = "Cannot open " + Quoted(path) + ": " + Reason(err) + ".";
        return err == ENOENT || err == ENOTDIR ? LoadResult::Missing : LoadResult::Failed;
    }
    auto fail = [&sys, fd, &error, &path](const char* verb, const std::string& reason) {
        error = std::string(verb) + Quoted(path) + ": " + reason + ".";
        sys.Close(fd);
        return LoadResult::Failed;
    };
    struct stat before {};
    if (sys.Fstat(fd, &before) != 0) return fail("Cannot read ", Reason(errno));
    if (S_ISDIR(before.st_mode)) return fail("Cannot open ", Reason(EISDIR));
    if (!S_ISREG(before.st_mode)) return fail("Cannot open ", "not a regular file");
    const size_t expected = static_cast<size_t>(before.st_size);
    if (!out.Grow(expected + 1)) return fail("Cannot read ", "not enough memory");
    for (;;) {
        if (out.size() == out.capacity() && !out.Grow(out.capacity() * 2))
            return fail("Cannot read ", "not enough memory");
        const ssize_t got = sys.Read(fd, out.data() + out.size(), out.capacity() - out.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            return fail("Cannot read ", Reason(errno));
        }
        if (got == 0) break;
        out.set_size(out.size() + static_cast<size_t>(got));
    }
    // Another program writing the file meanwhile would leave a torn table.
    struct stat after {};
    if (sys.Fstat(fd, &after) != 0) return fail("Cannot read ", Reason(errno));
    if (after.st_size != before.st_size || !SameTime(after.st_mtim, before.st_mtim) || out.size() != expected)
        return fail("Cannot read ", "it changed while it was being read; try again");
    sys.Close(fd);
    return LoadResult::Ok;
}

// The LF bytes in [p, end). Counted in blocks into a byte-sized counter, a loop the compiler
// turns into vector compares: this runs over every byte of a file before it is cut into lines.
size_t CountLineFeeds(const char* p, const char* end) {
    constexpr size_t kBlock = 128;  // at most 128 per block: the byte counter cannot overflow
    size_t total = 0;
    for (; static_cast<size_t>(end - p) >= kBlock; p += kBlock) {
        uint8_t n = 0;
        for (size_t i = 0; i < kBlock; ++i) n = static_cast<uint8_t>(n + (p[i] == '\n'));
        total += n;
    }
    for (; p != end; ++p) total += *p == '\n';
    return total;
}

// Lines of a file held in memory: LF ends a line, a CR just before the LF is dropped with it,
// and the last line needs no line end. Past the end every line is empty.
class LineReader {
public:
    LineReader() = default;
    LineReader(const char* data, size_t size) : m_p(data), m_end(data + size) {}

    bool AtEnd() const { return m_p == m_end; }

    std::string_view Next() {
        if (m_p == m_end) return {};
        ++m_line;
        const char* start = m_p;
        const char* lf =
            static_cast<const char*>(std::memchr(start, '\n', static_cast<size_t>(m_end - start)));
        const char* stop = lf ? lf : m_end;
        m_p = lf ? lf + 1 : m_end;
        if (lf && stop > start && stop[-1] == '\r') --stop;
        return {start, static_cast<size_t>(stop - start)};
    }

    // Skips lines up to and including the marker line; false when the file has none.
    bool SkipPastMarker() {
        while (!AtEnd())
            if (Next() == kMarker) return true;
        return false;
    }

    size_t RemainingBytes() const { return static_cast<size_t>(m_end - m_p); }
    // The 1-based number of the line Next returned last.
    uint32_t LineNumber() const { return m_line; }
    size_t RemainingLines() const {
        if (AtEnd()) return 0;
        const size_t lfs = CountLineFeeds(m_p, m_end);
        return lfs + (m_end[-1] == '\n' ? 0 : 1);
    }

private:
    const char* m_p = nullptr;
    const char* m_end = nullptr;
    uint32_t m_line = 0;
};

// The localized companion of a file: loaded, cut past its group table and its entry lines
// counted, all on its own so that this can run beside the reading of the main file.
struct CompanionFile {
    FileBytes bytes;
    LoadResult result = LoadResult::Missing;
    std::string error;
    LineReader lines;
    bool marker = false;
    size_t lineCount = 0;  // entry lines after the marker

    void Load(const std::string& path) noexcept {
        try {
            result = LoadFile(path, bytes, error);
            if (result != LoadResult::Ok) return;
            lines = LineReader(bytes.data(), bytes.size());
            marker = lines.SkipPastMarker();
            lineCount = lines.RemainingLines();
        } catch (const std::exception&) {
            result = LoadResult::Failed;
            error.clear();  // no memory for a message: the caller makes one
        }
    }
};

// Makes the pages of fresh memory present, front to back, so that the rows then written into it
// meet no page faults; meant to run beside the writer, which it soon outpaces. Pages written
// already are left as they are.
void Prefault(std::stop_token stop, std::span<char> memory) {
    const uintptr_t page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t end = (reinterpret_cast<uintptr_t>(memory.data()) + memory.size()) & ~(page - 1);
    uintptr_t p = (reinterpret_cast<uintptr_t>(memory.data()) + page - 1) & ~(page - 1);
    constexpr uintptr_t kStep = uintptr_t{4} << 20;
    for (; p < end && !stop.stop_requested(); p += kStep) {
        if (::madvise(reinterpret_cast<void*>(p), std::min(kStep, end - p), MADV_POPULATE_WRITE) != 0)
            return;  // not offered by this system: the writer takes the faults itself
    }
}

// One entry line cut into its fields. The Group ID field is not used: entries are numbered
// again within their groups.
struct EntryFields {
    std::string_view globalId;   // trimmed
    std::string_view groupName;  // trimmed, for the cell
    std::string_view groupKey;   // as cut, for the group lookup
    std::string_view text;       // byte for byte
};

EntryFields SplitEntry(std::string_view line) {
    // The first three fields are short: a plain loop beats a library search here.
    const char* p = line.data();
    const char* const end = p + line.size();
    auto cut = [&p, end]() {
        const char* start = p;
        while (p != end && *p != '|') ++p;
        std::string_view field(start, static_cast<size_t>(p - start));
        if (p != end) ++p;
        return field;
    };
    EntryFields f;
    f.globalId = TrimTrailing(cut());
    f.groupKey = cut();
    f.groupName = TrimTrailing(f.groupKey);
    cut();
    f.text = std::string_view(p, static_cast<size_t>(end - p));
    return f;
}

// The counters of the groups named in the file's group table while the entries are counted.
// Only the first group of each name is ever reached, as in GroupList; the counts go into the
// table's GroupList once at the end.
class GroupCounter {
public:
    void AddGroup(std::string_view name) {
        const uint32_t index = static_cast<uint32_t>(m_names.size());
        m_names.push_back(name);
        m_counts.push_back(0);
        if (2 * m_names.size() > m_slots.size()) Rehash(m_slots.empty() ? 64 : 2 * m_slots.size());
        m_first.push_back(Insert(name, index));
    }
    // Counts one more entry of the group and returns its count; 0 for a group not in the table.
    int32_t Increment(std::string_view name) {
        int32_t* c = Find(name);
        if (!c) return 0;
        if (*c < INT32_MAX) ++*c;
        return *c;
    }
    int32_t Get(std::string_view name) {
        const int32_t* c = Find(name);
        return c ? *c : 0;
    }
    void Store(GroupList& groups) const {
        for (size_t i = 0; i < m_names.size(); ++i)
            if (m_first[i]) groups.SetCounter(m_names[i], m_counts[i]);
    }
    size_t size() const { return m_names.size(); }
    std::string_view name(size_t i) const { return m_names[i]; }

private:
    static constexpr uint32_t kEmpty = UINT32_MAX;

    static uint64_t Hash(std::string_view s) {
        const char* p = s.data();
        size_t n = s.size();
        uint64_t h = 0x9E3779B97F4A7C15u ^ n;
        for (; n >= 8; p += 8, n -= 8) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            h = (h ^ w) * 0xBF58476D1CE4E5B9u;
            h ^= h >> 31;
        }
        uint64_t tail = 0;
        for (size_t i = 0; i < n; ++i) tail |= uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
        h = (h ^ tail) * 0x94D049BB133111EBu;
        return h ^ (h >> 29);
    }

    // Open addressing with linear probing; a slot holds an index into m_names. Only the first
    // group of each name is entered: false when the name is there already.
    bool Insert(std::string_view name, uint32_t index) {
        const size_t mask = m_slots.size() - 1;
        for (size_t i = Hash(name) & mask;; i = (i + 1) & mask) {
            if (m_slots[i] == kEmpty) {
                m_slots[i] = index;
                return true;
            }
            if (m_names[m_slots[i]] == name) return false;
        }
    }
    void Rehash(size_t slots) {
        m_slots.assign(slots, kEmpty);
        for (uint32_t i = 0; i < m_first.size(); ++i)
            if (m_first[i]) Insert(m_names[i], i);
    }

    int32_t* Find(std::string_view name) {
        // Neighbouring entries often share their group: try the last one first.
        if (m_last && name == m_lastName) return m_last;
        if (m_slots.empty()) return nullptr;
        const size_t mask = m_slots.size() - 1;
        for (size_t i = Hash(name) & mask; m_slots[i] != kEmpty; i = (i + 1) & mask) {
            if (m_names[m_slots[i]] == name) {
                m_lastName = name;
                m_last = &m_counts[m_slots[i]];
                return m_last;
            }
        }
        return nullptr;
    }

    std::vector<std::string_view> m_names;
    std::vector<bool> m_first;  // the first group of its name
    std::vector<int32_t> m_counts;
    std::vector<uint32_t> m_slots;
    std::string_view m_lastName;
    int32_t* m_last = nullptr;
};

// Fills a fresh table from the entry lines; the files' headers have been read already.
class EntryLoader {
public:
    EntryLoader(RowStore& store, GroupCounter& groups) : m_store(store), m_groups(groups) {}

    // One entry line that counts for its group; returns false for an empty line.
    bool Take(std::string_view line, bool count, bool twice) {
        if (line.empty()) return false;
        const EntryFields f = SplitEntry(line);
        m_cells[0] = f.globalId;
        m_cells[1] = f.groupName;
        m_cells[2] = GroupIdText(count ? m_groups.Increment(f.groupKey) : m_groups.Get(f.groupKey));
        m_cells[3] = f.text;
        m_store.AppendRow(m_cells);
        if (twice) m_store.AppendRow(m_cells);
        return true;
    }
    // The row just taken, once more (standing in for a missing translation).
    void Repeat() { m_store.AppendRow(m_cells); }

private:
    std::string_view GroupIdText(int32_t value) {
        const auto r = std::to_chars(m_id.data(), m_id.data() + m_id.size(), value);
        return {m_id.data(), static_cast<size_t>(r.ptr - m_id.data())};
    }

    RowStore& m_store;
    GroupCounter& m_groups;
    std::array<std::string_view, 4> m_cells{};
    std::array<char, 16> m_id{};
};

}  // namespace

namespace {

// The next line that holds an entry: blank lines (nothing before their line end) hold none.
std::string_view NextEntryLine(LineReader& lines) {
    while (!lines.AtEnd())
        if (const std::string_view line = lines.Next(); !line.empty()) return line;
    return {};
}

// The reading itself; `current` names the file being worked on, for the message of an exception.
Status Read(RowStore& list, const std::string& txrPath, const std::string& txlPath, ReadMode mode,
            ReadInfo* info, const std::string*& current) {
    // The companion is loaded and cut past its group table on a second thread while the main
    // file is read: the two buffers have nothing in common.
    CompanionFile companion;
    const bool wantTxl = mode == ModeShowLocalized || mode == ModeShowBoth || mode == ModeOpenPaired;
    std::jthread companionLoader;
    if (wantTxl) {
        try {
            companionLoader = std::jthread([&companion, &txlPath] { companion.Load(txlPath); });
        } catch (const std::system_error&) {
            companion.Load(txlPath);  // no thread to be had: one after the other
        }
    }

    FileBytes txrBytes;
    std::string error;
    if (LoadFile(txrPath, txrBytes, error) != LoadResult::Ok) return Status::Error(error);
    LineReader txr(txrBytes.data(), txrBytes.size());
    const int32_t lastGlobalId = ParseLeadingInt(txr.Next());
    txr.Next();  // the row count: not used
    GroupCounter groups;
    bool marker = false;
    while (!txr.AtEnd()) {
        const std::string_view line = txr.Next();
        if (line == kMarker) {
            marker = true;
            break;
        }
        groups.AddGroup(line.substr(0, line.find('|')));
    }
    const size_t txrLines = txr.RemainingLines();

    // Only a companion that does not exist is not there yet; any other must be sound.
    if (companionLoader.joinable()) companionLoader.join();
    if (companion.result == LoadResult::Failed) {
        current = &txlPath;
        if (companion.error.empty()) throw std::bad_alloc();
        return Status::Error(companion.error);
    }
    const bool txlOpen = wantTxl && companion.result == LoadResult::Ok;
    if (!marker)
        return Status::Error(Quoted(txrPath) +
                             " is not a text resource file: no \"#\" line ends its group table.");
    if (txlOpen && !companion.marker)
        return Status::Error(Quoted(txlPath) +
                             " is not a text resource file: no \"#\" line ends its group table.");
    LineReader& txl = companion.lines;
    const size_t txlLines = companion.lineCount;
    const bool pairs = mode == ModeShowBoth || mode == ModeOpenPaired;
    const bool paired = pairs && txlOpen;
    const bool twin = pairs && !txlOpen;
    const bool fromTxl = mode == ModeShowLocalized && txlOpen;

    RowStore fresh;
    fresh.DefineColumns(kEntryColumnSpec);
    fresh.ResetGroupList();
    fresh.SetLastGlobalId(lastGlobalId);
    for (size_t i = 0; i < groups.size(); ++i) {
        fresh.Groups().Append(std::string(groups.name(i)));
        fresh.Groups().SetCounter(groups.name(i), 0);
    }

    // The table's memory for a large document is made present on a second thread while the rows
    // are written into it.
    std::jthread prefaulter;
    auto reserve = [&fresh, &prefaulter](size_t rows, size_t bytes) {
        const std::span<char> memory = fresh.Reserve(rows, bytes);
        // The three '|' and the line end of an entry line are not kept: pages past what the rows
        // will fill are left alone, so that they never take up memory.
        const size_t fill = memory.size() - std::min(memory.size(), 5 * rows);
        if (fill < kPrefaultFrom) return;
        try {
            prefaulter = std::jthread(Prefault, memory.first(fill));
        } catch (const std::system_error&) {
        }
    };

    EntryLoader loader(fresh, groups);
    std::vector<uint8_t> standIn;
    const bool wantLines = info && info->wantLines;
    std::vector<uint32_t> lines;
    auto markStandIn = [&](size_t fromEnd) {
        if (!info) return;
        standIn.resize(static_cast<size_t>(fresh.GetRowCount()), 0);
        standIn[standIn.size() - fromEnd] = 1;
    };
    if (paired) {
        reserve(txrLines + txlLines, txr.RemainingBytes() + txl.RemainingBytes());
        // Each file gives its next entry, blank lines skipped, so that every pair is whole: the
        // original at an even index, its translation after it. A side that has run out is stood
        // in for by a copy of the other side's entry.
        for (;;) {
            current = &txrPath;
            const std::string_view original = NextEntryLine(txr);
            const uint32_t originalLine = txr.LineNumber();
            current = &txlPath;
            const std::string_view translation = NextEntryLine(txl);
            const uint32_t translationLine = txl.LineNumber();
            if (!original.empty()) {
                current = &txrPath;
                loader.Take(original, true, false);
                if (wantLines) lines.push_back(originalLine);
                current = &txlPath;
                if (!translation.empty()) {
                    loader.Take(translation, false, false);
                    if (wantLines) lines.push_back(translationLine);
                } else {
                    loader.Repeat();
                    markStandIn(1);
                    if (wantLines) lines.push_back(0);
                }
            } else if (!translation.empty()) {
                loader.Take(translation, true, true);
                markStandIn(2);
                if (wantLines) lines.insert(lines.end(), {0, translationLine});
            } else {
                break;
            }
        }
    } else {
        LineReader& source = fromTxl ? txl : txr;
        current = fromTxl ? &txlPath : &txrPath;
        const size_t copies = twin ? 2 : 1;
        reserve((fromTxl ? txlLines : txrLines) * copies, source.RemainingBytes() * copies);
        if (wantLines) {
            while (!source.AtEnd()) {
                if (!loader.Take(source.Next(), true, twin)) continue;
                lines.push_back(source.LineNumber());
                if (twin) lines.push_back(0);
            }
        } else {
            while (!source.AtEnd()) loader.Take(source.Next(), true, twin);
        }
        // Without a .txl every second row of the pairs stands in for its translation.
        if (twin && info) {
            standIn.assign(static_cast<size_t>(fresh.GetRowCount()), 0);
            for (size_t i = 1; i < standIn.size(); i += 2) standIn[i] = 1;
        }
    }
    groups.Store(fresh.Groups());
    if (prefaulter.joinable()) {
        prefaulter.request_stop();
        prefaulter.join();
    }

    if (info) standIn.resize(static_cast<size_t>(fresh.GetRowCount()), 0);
    list.TakeContents(fresh);
    if (info) {
        info->standIn = std::move(standIn);
        info->txlPresent = txlOpen;
        info->lines = std::move(lines);
    }
    return Status::Ok();
}

}  // namespace

Status ReadTextResource(RowStore& list, const std::string& txrPath, const std::string& txlPath, ReadMode mode,
                        ReadInfo* info) {
    if (mode < ModeShowOriginal || mode > ModeOpenPaired) return Status::Error("Unknown read mode.");
    if (list.ColumnCount() != 4) return Status::Error("The table does not have the four entry columns.");
    const std::string* current = &txrPath;
    // A document larger than the memory to be had, or a row larger than a row can be, is a file
    // that cannot be read like any other; the table is not touched before the read is complete.
    try {
        return Read(list, txrPath, txlPath, mode, info, current);
    } catch (const std::bad_alloc&) {
        return Status::Error("Cannot read " + Quoted(*current) + ": not enough memory.");
    } catch (const std::length_error& e) {
        return Status::Error("Cannot read " + Quoted(*current) + ": it holds more than a table can (" +
                             e.what() + ").");
    } catch (const std::exception& e) {
        return Status::Error("Cannot read " + Quoted(*current) + ": " + e.what() + ".");
    }
}

// ---------------------------------------------------------------------------------------------
// Writing

namespace {

// Where a save to a path lands: the path itself, or the file its chain of symbolic links names,
// so that a link stays a link (a dangling one is written through to the file it names).
struct Target {
    std::string final;
    bool exists = false;
    struct stat st {};
};

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// 0 or the errno of the failure (ELOOP for a chain of links that does not end).
int ResolveTarget(const std::string& path, Target& t) {
    constexpr int kMaxLinks = 40;
    std::string p = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0) {
            if (errno != ENOENT) return errno;
            t.final = p;
            t.exists = false;
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            t.final = p;
            t.exists = true;
            t.st = st;
            return 0;
        }
        if (hops == kMaxLinks) return ELOOP;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(p.c_str(), link.data(), link.size());
        if (n < 0) return errno;
        link.resize(static_cast<size_t>(n));
        p = link.starts_with('/') ? link : DirectoryOf(p) + "/" + link;
    }
}

// The absolute name of a file that may not exist yet, through its folder's real path.
std::string Canonical(const std::string& path) {
    char resolved[PATH_MAX];
    if (!::realpath(DirectoryOf(path).c_str(), resolved)) return path;
    const size_t slash = path.rfind('/');
    return std::string(resolved) + "/" + (slash == std::string::npos ? path : path.substr(slash + 1));
}

// Copies the bytes of `from` into `to`, opened with `flags` (O_CREAT | O_EXCL for a new file,
// O_TRUNC to write over one), through fsync. 0 or the errno of the failure; a file it created
// is removed again on failure.
int CopyFile(const std::string& from, const std::string& to, int flags, mode_t mode) {
    SystemCalls& sys = SystemCalls::Current();
    const int in = sys.Open(from.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (in < 0) return errno;
    const int out = sys.Open(to.c_str(), O_WRONLY | O_CLOEXEC | flags, mode);
    if (out < 0) {
        const int err = errno;
        sys.Close(in);
        return err;
    }
    int err = 0;
    std::vector<char> buffer(size_t{1} << 20);
    while (err == 0) {
        const ssize_t got = sys.Read(in, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno != EINTR) err = errno;
            continue;
        }
        if (got == 0) break;
        for (ssize_t done = 0; done < got && err == 0;) {
            const ssize_t n = sys.Write(out, buffer.data() + done, static_cast<size_t>(got - done));
            if (n < 0 && errno != EINTR) err = errno;
            if (n > 0) done += n;
        }
    }
    if (err == 0 && sys.Fsync(out) != 0) err = errno;
    if (sys.Close(out) != 0 && err == 0) err = errno;
    sys.Close(in);
    if (err != 0 && (flags & O_EXCL)) sys.Unlink(to.c_str());
    return err;
}

// A name beside `base` that nothing has yet, with the suffix, made by `create` (which returns 0,
// EEXIST to try another name, or another errno to give up).
template <class Create>
int CreateBeside(const std::string& base, const char* suffix, std::string& name, Create create) {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char tail[32];
        std::snprintf(tail, sizeof tail, ".%08x%s", static_cast<unsigned>(rd()), suffix);
        name = base + tail;
        const int err = create(name);
        if (err != EEXIST) return err;
    }
    return EEXIST;
}

// One output file: a temporary file beside the target, filled through a large buffer, fsynced
// and renamed over the target only by Replace. Errors are remembered, not thrown: the first one
// stops all further writing and is reported by Finish.
class OutFile {
public:
    explicit OutFile(std::string target) : m_target(std::move(target)) {}
    OutFile(const OutFile&) = delete;
    OutFile& operator=(const OutFile&) = delete;
    ~OutFile() { Discard(); }

    const std::string& target() const { return m_target; }

    // Finds the file to replace and refuses what a rename would quietly replace or cannot
    // replace: a folder, a device, a FIFO, a socket, a file not writable. Creates nothing.
    Status Prepare() {
        if (const int err = ResolveTarget(m_target, m_to); err != 0) return Error(err);
        if (!m_to.exists) return Status::Ok();
        if (S_ISDIR(m_to.st.st_mode)) return Error(EISDIR);
        if (!S_ISREG(m_to.st.st_mode)) return Error("not a regular file");
        if (::access(m_to.final.c_str(), W_OK) != 0) return Error(errno);
        return Status::Ok();
    }

    // Whether two prepared targets are one file, whatever names lead to it.
    bool SameFileAs(const OutFile& other) const {
        if (m_to.exists != other.m_to.exists) return false;
        if (m_to.exists)
            return m_to.st.st_dev == other.m_to.st.st_dev && m_to.st.st_ino == other.m_to.st.st_ino;
        return Canonical(m_to.final) == Canonical(other.m_to.final);
    }

    Status Open() {
        SystemCalls& sys = SystemCalls::Current();
        int fd = -1;
        const int err = CreateBeside(m_to.final, ".tmp", m_temp, [&](const std::string& name) {
            fd = sys.Open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            return fd < 0 ? errno : 0;
        });
        if (err != 0) {
            m_temp.clear();
            // The folder refuses new files (the target itself may well be writable): name the
            // folder as the cause, not the file.
            if (err == EACCES)
                return Status::Error("Cannot create a file in " + Quoted(Folder(m_to.final)) + ": " +
                                     Reason(EACCES) + ".");
            return Error(err);
        }
        m_fd = fd;
        // A replaced file keeps its owner and group where this process may give them, and its
        // permissions (set after the owner: a change of owner may clear set-ID bits); a new one
        // gets the usual ones (umask).
        if (m_to.exists) {
            if (m_to.st.st_uid != ::geteuid() || m_to.st.st_gid != ::getegid()) {
                if (sys.Fchown(m_fd, m_to.st.st_uid, m_to.st.st_gid) != 0)
                    sys.Fchown(m_fd, static_cast<uid_t>(-1), m_to.st.st_gid);
            }
            if (sys.Fchmod(m_fd, m_to.st.st_mode & 07777) != 0) return Error(errno);
        }
        m_capacity = kFirstBuffer;
        m_buffer = std::make_unique_for_overwrite<char[]>(m_capacity);
        return Status::Ok();
    }

    // Room for `bytes` more bytes in the buffer (or a failed flush); then Put may be called.
    char* Reserve(size_t bytes) {
        if (m_used + bytes > m_capacity) {
            Flush();
            // Small files stay small; large ones get a large buffer and few write calls.
            if (m_capacity < kBufferSize) {
                m_capacity = std::min(kBufferSize, m_capacity * 4);
                m_buffer = std::make_unique_for_overwrite<char[]>(m_capacity);
            }
        }
        return bytes <= m_capacity ? m_buffer.get() + m_used : nullptr;
    }
    // The buffer now ends at `end`, after a line end.
    void CommitLine(char* end) {
        m_used = static_cast<size_t>(end - m_buffer.get());
        ++m_lineEnds;
    }

    void Put(std::string_view s) {
        char* p = Reserve(s.size());
        if (!p) {  // larger than the buffer: straight through
            WriteAll(s.data(), s.size());
            return;
        }
        if (!s.empty()) std::memcpy(p, s.data(), s.size());
        m_used += s.size();
    }
    void PutLine(std::string_view s) {
        Put(s);
        Put(kEol);
        ++m_lineEnds;
    }
    void PutNumberLine(int64_t value) {
        char digits[24];
        const auto r = std::to_chars(digits, digits + sizeof digits, value);
        PutLine({digits, static_cast<size_t>(r.ptr - digits)});
    }

    // Writes out the buffer; false when the file holds a CR or LF that is not part of a line end.
    bool FlushAndCheckLineEnds() {
        Flush();
        return m_breaks == 2 * m_lineEnds;
    }

    // Everything written and safe on disk; the temporary file is closed but still in place.
    Status Finish() {
        SystemCalls& sys = SystemCalls::Current();
        Flush();
        if (m_err == 0 && sys.Fsync(m_fd) != 0) m_err = errno;
        if (m_fd >= 0 && sys.Close(m_fd) != 0 && m_err == 0) m_err = errno;
        m_fd = -1;
        return m_err ? Error(m_err) : Status::Ok();
    }

    // The temporary file takes the target's place.
    Status Replace() {
        if (SystemCalls::Current().Rename(m_temp.c_str(), m_to.final.c_str()) != 0) return Error(errno);
        m_temp.clear();
        m_replaced = true;
        return Status::Ok();
    }

    // The old target, kept under a second name until every file of the save is in place: a
    // hard link where the file system has them, a copy where it has not.
    Status KeepOld() {
        if (!m_to.exists) return Status::Ok();  // nothing to keep
        SystemCalls& sys = SystemCalls::Current();
        const int err = CreateBeside(m_to.final, ".old", m_old, [&](const std::string& name) {
            if (sys.Link(m_to.final.c_str(), name.c_str()) == 0) return 0;
            if (errno == EEXIST) return EEXIST;
            return CopyFile(m_to.final, name, O_CREAT | O_EXCL, m_to.st.st_mode & 07777);
        });
        if (err != 0) {
            m_old.clear();
            return Error(std::string("cannot keep the old file while the new one is put in place: ") +
                         Reason(err));
        }
        return Status::Ok();
    }
    // Puts the old target back in place of the new one (or removes the new one where there was
    // none). Empty when done; otherwise a sentence saying where the old content is.
    std::string RestoreOld() {
        if (!m_replaced) return {};
        SystemCalls& sys = SystemCalls::Current();
        if (!m_to.exists) {
            sys.Unlink(m_to.final.c_str());
            return {};
        }
        if (m_old.empty()) return {};
        if (sys.Rename(m_old.c_str(), m_to.final.c_str()) == 0 ||
            (CopyFile(m_old, m_to.final, O_TRUNC, 0) == 0 && sys.Unlink(m_old.c_str()) == 0)) {
            m_old.clear();
            return {};
        }
        // Kept rather than lost.
        m_keepOld = true;
        return " The old content of " + Quoted(m_target) + " is kept as " + Quoted(m_old) + ".";
    }
    void DropOld() {
        if (!m_old.empty() && !m_keepOld) SystemCalls::Current().Unlink(m_old.c_str());
        m_old.clear();
    }

    void SyncDirectory() {
        const int fd = ::open(DirectoryOf(m_to.final).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }

    void Discard() {
        SystemCalls& sys = SystemCalls::Current();
        if (m_fd >= 0) sys.Close(m_fd);
        m_fd = -1;
        if (!m_temp.empty()) sys.Unlink(m_temp.c_str());
        m_temp.clear();
        DropOld();
    }

private:
    static constexpr size_t kFirstBuffer = size_t{16} << 10;
    static constexpr size_t kBufferSize = size_t{1} << 20;

    Status Error(int err) const { return Error(Reason(err)); }
    Status Error(const std::string& reason) const {
        return Status::Error("Cannot write " + Quoted(m_target) + ": " + reason + ".");
    }

    void Flush() {
        WriteAll(m_buffer.get(), m_used);
        m_used = 0;
        // Let the disk start on what is written while the rest is prepared, so that the closing
        // fsync has little left to wait for.
        if (m_err == 0 && m_written - m_synced >= kBufferSize * 4) {
            ::sync_file_range(m_fd, static_cast<off_t>(m_synced), static_cast<off_t>(m_written - m_synced),
                              SYNC_FILE_RANGE_WRITE);
            m_synced = m_written;
        }
    }
    void WriteAll(const char* p, size_t n) {
        size_t breaks = 0;
        for (size_t i = 0; i < n; ++i) breaks += (p[i] == '\r') | (p[i] == '\n');
        m_breaks += breaks;
        SystemCalls& sys = SystemCalls::Current();
        while (n > 0 && m_err == 0) {
            const ssize_t done = sys.Write(m_fd, p, n);
            if (done < 0) {
                if (errno != EINTR) m_err = errno;
                continue;
            }
            p += done;
            n -= static_cast<size_t>(done);
            m_written += static_cast<size_t>(done);
        }
    }

    std::string m_target;
    Target m_to;
    std::string m_temp;
    std::string m_old;
    bool m_replaced = false;
    bool m_keepOld = false;
    int m_fd = -1;
    int m_err = 0;
    std::unique_ptr<char[]> m_buffer;
    size_t m_capacity = 0;
    size_t m_used = 0;
    size_t m_lineEnds = 0;  // line ends put
    size_t m_breaks = 0;    // CR and LF bytes written
    size_t m_written = 0;   // bytes in the file
    size_t m_synced = 0;    // bytes whose write-back has been started
};

// Whether any byte of s is one of the (up to three) given bytes; a word at a time, since every
// cell of a large table passes through here before a save.
template <char... kBytes>
bool Contains(std::string_view s) {
    constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
    auto hasZeroByte = [](uint64_t v) { return (v - kOnes) & ~v & kHighs; };
    const char* p = s.data();
    size_t n = s.size();
    for (; n >= 8; p += 8, n -= 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        if ((hasZeroByte(word ^ (kOnes * static_cast<unsigned char>(kBytes))) | ...)) return true;
    }
    for (; n > 0; ++p, --n)
        if (((*p == kBytes) || ...)) return true;
    return false;
}

bool HasLineBreak(std::string_view s) {
    return Contains<'\r', '\n'>(s);
}

// The first cell the format cannot carry, as a message; empty when the table can be written.
std::string FindUnwritable(const RowStore& list) {
    const int rows = list.GetRowCount();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 4; ++c) {
            const std::string_view cell = list.Cell(r, c);
            if (c == ColText ? HasLineBreak(cell) : Contains<'\r', '\n', '|'>(cell))
                return "Row " + std::to_string(r + 1) + ", column " + kColumnNames[c] + ", holds " +
                       (HasLineBreak(cell) ? "a line break" : "a \"|\"") +
                       ", which a text resource file cannot hold.";
        }
    }
    int position = 1;
    for (const GroupNode* g = list.Groups().head(); g; g = g->next, ++position) {
        if (Contains<'\r', '\n', '|'>(g->name))
            return "Group " + std::to_string(position) +
                   " of the group list has a name with a line break or a \"|\", which a text resource file "
                   "cannot hold.";
    }
    return {};
}

void WriteHeader(OutFile& out, const RowStore& list, int64_t rowCount) {
    out.PutNumberLine(list.GetLastGlobalId());
    out.PutNumberLine(rowCount);
    for (const GroupNode* g = list.Groups().head(); g; g = g->next) {
        char digits[16];
        const auto r = std::to_chars(digits, digits + sizeof digits, g->counter);
        out.Put(g->name);
        out.Put("|");
        out.PutLine({digits, static_cast<size_t>(r.ptr - digits)});
    }
    out.PutLine(kMarker);
}

// Whether a cell of the first three columns holds a byte they cannot carry.
bool HasFieldBreaker(std::string_view s) {
    bool found = false;
    for (const char c : s) found |= (c == '|') | (c == '\r') | (c == '\n');
    return found;
}

// Writes one entry line; false (and nothing written) when a cell of the first three columns
// cannot be carried. Line breaks in the Text are caught by OutFile's count of line-end bytes.
bool WriteEntry(OutFile& out, const RowStore& list, int row) {
    const std::string_view a = list.Cell(row, 0), b = list.Cell(row, 1), c = list.Cell(row, 2),
                           d = list.Cell(row, 3);
    if (HasFieldBreaker(a) || HasFieldBreaker(b) || HasFieldBreaker(c)) return false;
    const size_t length = a.size() + b.size() + c.size() + d.size() + 5;
    char* p = out.Reserve(length);
    if (!p) {  // longer than the buffer
        for (const std::string_view field :
             {a, std::string_view("|"), b, std::string_view("|"), c, std::string_view("|"), d})
            out.Put(field);
        out.PutLine({});
        return true;
    }
    auto put = [&p](std::string_view s) {
        if (!s.empty()) std::memcpy(p, s.data(), s.size());
        p += s.size();
    };
    put(a);
    *p++ = '|';
    put(b);
    *p++ = '|';
    put(c);
    *p++ = '|';
    put(d);
    *p++ = '\r';
    *p++ = '\n';
    out.CommitLine(p);
    return true;
}

// Writes the rows into one file, or (with a second target) alternately into two; every header
// gives `rowCount` as the row count. Both files or neither.
Status WriteFiles(const RowStore& list, const std::vector<std::string>& targets, int64_t rowCount) {
    if (list.ColumnCount() != 4) return Status::Error("The table does not have the four entry columns.");
    // Cells are checked while they are written, so that a large table is read only once; a
    // table found unwritable is then searched again for the message.
    for (const GroupNode* g = list.Groups().head(); g; g = g->next)
        if (Contains<'\r', '\n', '|'>(g->name)) return Status::Error(FindUnwritable(list));

    std::vector<std::unique_ptr<OutFile>> files;
    for (const std::string& target : targets) files.push_back(std::make_unique<OutFile>(target));
    for (auto& f : files)
        if (Status s = f->Prepare(); !s) return s;
    if (files.size() > 1 && files[0]->SameFileAs(*files[1]))
        return Status::Error("The text resource file and its localized version cannot be the same file: " +
                             Quoted(targets[0]) + " and " + Quoted(targets[1]) + ".");
    for (auto& f : files)
        if (Status s = f->Open(); !s) return s;  // the destructors remove the temporary files

    for (auto& f : files) WriteHeader(*f, list, rowCount);
    const int rows = list.GetRowCount();
    const size_t parity = files.size() > 1 ? 1 : 0;
    bool writable = true;
    for (int r = 0; r < rows && writable; ++r)
        writable = WriteEntry(*files[static_cast<size_t>(r) & parity], list, r);
    for (auto& f : files) writable = writable && f->FlushAndCheckLineEnds();
    if (!writable) return Status::Error(FindUnwritable(list));
    for (auto& f : files)
        if (Status s = f->Finish(); !s) return s;

    // Both files of a localized save, or neither: the old files are kept under second names
    // until both new ones are in place, and put back if the second cannot be.
    if (files.size() > 1)
        for (auto& f : files)
            if (Status s = f->KeepOld(); !s) return s;
    for (size_t replaced = 0; replaced < files.size(); ++replaced) {
        if (Status s = files[replaced]->Replace(); !s) {
            std::string message = s.message();
            for (size_t i = 0; i < replaced; ++i) message += files[i]->RestoreOld();
            return Status::Error(message);
        }
    }
    for (auto& f : files) {
        f->DropOld();
        f->SyncDirectory();
    }
    return Status::Ok();
}

// A save that runs out of memory is a failed save like any other; the temporary files go with
// their OutFiles.
template <class Save>
Status Guarded(const std::string& target, Save save) {
    try {
        return save();
    } catch (const std::bad_alloc&) {
        return Status::Error("Cannot write " + Quoted(target) + ": not enough memory.");
    } catch (const std::exception& e) {
        return Status::Error("Cannot write " + Quoted(target) + ": " + e.what() + ".");
    }
}

}  // namespace

Status WriteTextResource(const RowStore& list, const std::string& txrPath, const std::string& txlPath,
                         bool localized) {
    return Guarded(txrPath, [&] {
        std::vector<std::string> targets{txrPath};
        if (localized) targets.push_back(txlPath);
        return WriteFiles(list, targets, list.GetRowCount());
    });
}

Status WriteTextResourceFile(const RowStore& list, const std::string& path) {
    return Guarded(path, [&] { return WriteFiles(list, {path}, int64_t{2} * list.GetRowCount()); });
}
