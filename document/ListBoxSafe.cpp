// The text resource file format: the group table and the entry lines, read and written. The
// files themselves are read by LoadedFile and cut into lines by LineReader (one read and no
// allocation per line for a large document), and written by ReplacementFile.
#include "document/ListBoxSafe.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "document/format/LineReader.h"
#include "document/format/LoadedFile.h"
#include "document/format/ReplacementFile.h"
#include "document/format/ResourceTable.h"
#include "document/format/TextEncoding.h"
#include "document/format/TextRules.h"

namespace {

constexpr std::string_view kMarker = "#";
// Table memory from this size on is made present by a second thread while it is filled.
constexpr size_t kPrefaultFrom = size_t{8} << 20;
const char* const kColumnNames[] = {"Global ID", "Group Name", "Group ID", "Text"};

// ---------------------------------------------------------------------------------------------
// Reading

// The localized companion of a file: loaded, cut past its group table and its entry lines
// counted, all on its own so that this can run beside the reading of the main file.
struct CompanionFile {
    LoadedFile file;
    LoadedFile::Result result = LoadedFile::Result::Missing;
    bool outOfMemory = false;
    LineReader lines;
    bool marker = false;
    size_t lineCount = 0;  // entry lines after the marker

    void Load(const std::string& path) noexcept {
        try {
            result = file.Load(path);
            if (result != LoadedFile::Result::Ok) return;
            lines = LineReader(file.data(), file.size());
            marker = lines.SkipPast(kMarker);
            lineCount = lines.RemainingLines();
        } catch (const std::exception&) {
            result = LoadedFile::Result::Failed;
            outOfMemory = true;  // the caller makes the message
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
    f.globalId = TextRules::TrimTrailingSpace(cut());
    f.groupKey = cut();
    f.groupName = TextRules::TrimTrailingSpace(f.groupKey);
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
        int32_t* c = FindAsText(name);
        if (!c) return 0;
        if (*c < INT32_MAX) ++*c;
        return *c;
    }
    int32_t Get(std::string_view name) {
        const int32_t* c = FindAsText(name);
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

    // The group table is the .txr's, in its encoding; a .txl in the other encoding (one an
    // import turned UTF-8) names the same groups in its own: a name not found as it is written is
    // looked for as the same text in the other encoding.
    int32_t* FindAsText(std::string_view name) {
        if (int32_t* c = Find(name)) return c;
        if (std::all_of(name.begin(), name.end(),
                        [](char ch) { return static_cast<unsigned char>(ch) < 0x80; }))
            return nullptr;
        std::string other;
        if (IsValidUtf8(name) && Utf8ToLatin1(name, other))
            if (int32_t* c = Find(other)) return c;
        return Find(Latin1ToUtf8(name));
    }

    int32_t* Find(std::string_view name) {
        // Neighbouring entries often share their group: try the last one first.
        if (m_last && name == m_lastName) return m_last;
        if (m_slots.empty()) return nullptr;
        const size_t mask = m_slots.size() - 1;
        for (size_t i = Hash(name) & mask; m_slots[i] != kEmpty; i = (i + 1) & mask) {
            if (m_names[m_slots[i]] == name) {
                m_lastName = m_names[m_slots[i]];  // the file's bytes: `name` may not outlive the call
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
    EntryLoader(ResourceTable& store, GroupCounter& groups) : m_store(store), m_groups(groups) {}

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

    ResourceTable& m_store;
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
Status Read(ResourceTable& list, const std::string& txrPath, const std::string& txlPath, ReadMode mode,
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

    LoadedFile txrFile;
    if (txrFile.Load(txrPath) != LoadedFile::Result::Ok) return Status::Error(txrFile.error());
    LineReader txr(txrFile.data(), txrFile.size());
    const int32_t lastGlobalId = TextRules::LeadingInt(txr.Next());
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
    if (companion.result == LoadedFile::Result::Failed) {
        current = &txlPath;
        if (companion.outOfMemory) throw std::bad_alloc();
        return Status::Error(companion.file.error());
    }
    const bool txlOpen = wantTxl && companion.result == LoadedFile::Result::Ok;
    if (!marker)
        return Status::Error(QuotedPath(txrPath) +
                             " is not a text resource file: no \"#\" line ends its group table.");
    if (txlOpen && !companion.marker)
        return Status::Error(QuotedPath(txlPath) +
                             " is not a text resource file: no \"#\" line ends its group table.");
    LineReader& txl = companion.lines;
    const size_t txlLines = companion.lineCount;
    const bool pairs = mode == ModeShowBoth || mode == ModeOpenPaired;
    const bool paired = pairs && txlOpen;
    const bool twin = pairs && !txlOpen;
    const bool fromTxl = mode == ModeShowLocalized && txlOpen;

    ResourceTable fresh;
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

Status ReadTextResource(ResourceTable& list, const std::string& txrPath, const std::string& txlPath,
                        ReadMode mode, ReadInfo* info) {
    if (mode < ModeShowOriginal || mode > ModeOpenPaired) return Status::Error("Unknown read mode.");
    if (list.ColumnCount() != 4) return Status::Error("The table does not have the four entry columns.");
    const std::string* current = &txrPath;
    // A document larger than the memory to be had, or a row larger than a row can be, is a file
    // that cannot be read like any other; the table is not touched before the read is complete.
    try {
        return Read(list, txrPath, txlPath, mode, info, current);
    } catch (const std::bad_alloc&) {
        return Status::Error("Cannot read " + QuotedPath(*current) + ": not enough memory.");
    } catch (const std::length_error& e) {
        return Status::Error("Cannot read " + QuotedPath(*current) + ": it holds more than a table can (" +
                             e.what() + ").");
    } catch (const std::exception& e) {
        return Status::Error("Cannot read " + QuotedPath(*current) + ": " + e.what() + ".");
    }
}

// ---------------------------------------------------------------------------------------------
// Writing

namespace {

// The first cell the format cannot carry, as a message; empty when the table can be written.
std::string FindUnwritable(const ResourceTable& list) {
    const int rows = list.GetRowCount();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 4; ++c) {
            const std::string_view cell = list.Cell(r, c);
            if (c == ColText ? TextRules::HasLineBreak(cell) : TextRules::HasFieldBreaker(cell))
                return "Row " + std::to_string(r + 1) + ", column " + kColumnNames[c] + ", holds " +
                       (TextRules::HasLineBreak(cell) ? "a line break" : "a \"|\"") +
                       ", which a text resource file cannot hold.";
        }
    }
    int position = 1;
    for (const GroupNode* g = list.Groups().head(); g; g = g->next, ++position) {
        if (TextRules::HasFieldBreaker(g->name))
            return "Group " + std::to_string(position) +
                   " of the group list has a name with a line break or a \"|\", which a text resource file "
                   "cannot hold.";
    }
    return {};
}

void WriteHeader(ReplacementFile& out, const ResourceTable& list, int64_t rowCount) {
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

// Writes one entry line; false (and nothing written) when a cell of the first three columns
// cannot be carried. Line breaks in the Text are caught by ReplacementFile's count of line-end bytes.
bool WriteEntry(ReplacementFile& out, const ResourceTable& list, int row) {
    const std::string_view a = list.Cell(row, 0), b = list.Cell(row, 1), c = list.Cell(row, 2),
                           d = list.Cell(row, 3);
    if (TextRules::HasFieldBreaker(a) || TextRules::HasFieldBreaker(b) || TextRules::HasFieldBreaker(c))
        return false;
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
Status WriteFiles(const ResourceTable& list, const std::vector<std::string>& targets, int64_t rowCount) {
    if (list.ColumnCount() != 4) return Status::Error("The table does not have the four entry columns.");
    // Cells are checked while they are written, so that a large table is read only once; a
    // table found unwritable is then searched again for the message.
    for (const GroupNode* g = list.Groups().head(); g; g = g->next)
        if (TextRules::HasFieldBreaker(g->name)) return Status::Error(FindUnwritable(list));

    std::vector<std::unique_ptr<ReplacementFile>> files;
    for (const std::string& target : targets) files.push_back(std::make_unique<ReplacementFile>(target));
    for (auto& f : files)
        if (Status s = f->Prepare(); !s) return s;
    if (files.size() > 1 && files[0]->SameFileAs(*files[1]))
        return Status::Error("The text resource file and its localized version cannot be the same file: " +
                             QuotedPath(targets[0]) + " and " + QuotedPath(targets[1]) + ".");
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

    return ReplacementFile::ReplaceTogether(files);
}

// A save that runs out of memory is a failed save like any other; the temporary files go with
// their ReplacementFiles.
template <class Save>
Status Guarded(const std::string& target, Save save) {
    try {
        return save();
    } catch (const std::bad_alloc&) {
        return Status::WriteError(target, "not enough memory");
    } catch (const std::exception& e) {
        return Status::WriteError(target, e.what());
    }
}

}  // namespace

Status WriteTextResource(const ResourceTable& list, const std::string& txrPath, const std::string& txlPath,
                         bool localized) {
    return Guarded(txrPath, [&] {
        std::vector<std::string> targets{txrPath};
        if (localized) targets.push_back(txlPath);
        return WriteFiles(list, targets, list.GetRowCount());
    });
}

Status WriteTextResourceFile(const ResourceTable& list, const std::string& path) {
    return Guarded(path, [&] { return WriteFiles(list, {path}, int64_t{2} * list.GetRowCount()); });
}
