#include "document/merge/TextResourceMerge.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "document/ListBoxSafe.h"
#include "document/format/ResourceTable.h"
#include "document/model/Document.h"

namespace {

constexpr uint32_t kNone = UINT32_MAX;

// Views of the cells of one entry; they point into the side's table or its converted copies.
struct Entry {
    std::string_view id;
    std::string_view group;
    std::string_view text;

    bool operator==(const Entry&) const = default;
};

// One side of the merge, its entries found by key: the Global ID, with the occurrence number
// appended for a repeated ID (a line break cannot be part of an ID). Large documents go
// through here three times, so cells are viewed in place rather than copied, and the index is
// a flat open-addressing table.
class Side {
public:
    Side(const ResourceTable& store, bool toUtf8) : m_toUtf8(toUtf8) {
        lastId = store.GetLastGlobalId();
        for (const GroupNode* g = store.Groups().head(); g; g = g->next) groups.push_back(Text(g->name));
        const size_t rows = static_cast<size_t>(store.GetRowCount());
        entries.reserve(rows);
        keys.reserve(rows);
        size_t slots = 16;
        while (slots < 2 * rows) slots *= 2;
        m_slots.assign(slots, kNone);
        std::unordered_map<std::string_view, int> repeats;
        for (size_t r = 0; r < rows; ++r) {
            const int row = static_cast<int>(r);
            const Entry e{Text(store.Cell(row, ColGlobalId)), Text(store.Cell(row, ColGroupName)),
                          Text(store.Cell(row, ColText))};
            std::string_view key = e.id;
            if (!Insert(key, static_cast<uint32_t>(r))) {
                std::string repeated(e.id);
                repeated += '\n';
                repeated += std::to_string(++repeats[e.id]);
                key = Keep(std::move(repeated));
                Insert(key, static_cast<uint32_t>(r));
            }
            keys.push_back(key);
            entries.push_back(e);
        }
    }
    Side(const Side&) = delete;
    Side& operator=(const Side&) = delete;

    // The index of the entry of that key; kNone when there is none.
    uint32_t Find(std::string_view key) const {
        for (size_t i = Hash(key) & (m_slots.size() - 1);; i = (i + 1) & (m_slots.size() - 1)) {
            if (m_slots[i] == kNone || keys[m_slots[i]] == key) return m_slots[i];
        }
    }

    int32_t lastId = 0;
    std::vector<std::string_view> groups;
    std::vector<Entry> entries;
    std::vector<std::string_view> keys;

private:
    static size_t Hash(std::string_view s) { return std::hash<std::string_view>{}(s); }

    // False when the key is there already.
    bool Insert(std::string_view key, uint32_t index) {
        for (size_t i = Hash(key) & (m_slots.size() - 1);; i = (i + 1) & (m_slots.size() - 1)) {
            if (m_slots[i] == kNone) {
                m_slots[i] = index;
                return true;
            }
            if (keys[m_slots[i]] == key) return false;
        }
    }

    std::string_view Text(std::string_view bytes) {
        if (!m_toUtf8 || std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0; })) return bytes;
        return Keep(Latin1ToUtf8(bytes));
    }
    std::string_view Keep(std::string s) {
        m_owned.push_back(std::move(s));
        return m_owned.back();
    }

    bool m_toUtf8;
    std::deque<std::string> m_owned;  // converted cells and repeated keys; a deque keeps them in place
    std::vector<uint32_t> m_slots;
};

// The value of a field changed on no side, one side or both; nullopt when the two sides
// changed it differently.
std::optional<std::string_view> MergeField(std::string_view base, std::string_view ours,
                                           std::string_view theirs) {
    if (ours == theirs || theirs == base) return ours;
    if (ours == base) return theirs;
    return std::nullopt;
}

// The value of a Global ID as the reader's number parsing sees it; nullopt when it has no digits.
std::optional<int64_t> IdValue(std::string_view id) {
    while (!id.empty() && (id.front() == ' ' || id.front() == '\t')) id.remove_prefix(1);
    if (!id.empty() && id.front() == '+') id.remove_prefix(1);
    int64_t value = 0;
    const auto r = std::from_chars(id.data(), id.data() + id.size(), value);
    if (r.ec == std::errc::result_out_of_range) return id.front() == '-' ? INT64_MIN : INT64_MAX;
    if (r.ec != std::errc()) return std::nullopt;
    return value;
}

// A theirs-side entry placed among ours' entries; `renumber` marks one that needs a new
// Global ID.
struct Inserted {
    Entry entry;
    bool renumber = false;
};

}  // namespace

Status TextResourceMerge::Merge(const Document& baseDoc, const Document& oursDoc, const Document& theirsDoc,
                                ResourceTable& result, Outcome& outcome) {
    if (result.ColumnCount() != 0 && result.ColumnCount() != 4)
        return Status::Error("The table does not have the four entry columns.");
    const ResourceTable& baseStore = baseDoc.Rows();
    const ResourceTable& oursStore = oursDoc.Rows();
    const ResourceTable& theirsStore = theirsDoc.Rows();
    const Encoding encodings[] = {baseDoc.FileEncoding(DocFile::Txr), oursDoc.FileEncoding(DocFile::Txr),
                                  theirsDoc.FileEncoding(DocFile::Txr)};
    const bool mixed = encodings[0] != encodings[1] || encodings[0] != encodings[2];
    const Side base(baseStore, mixed && encodings[0] == Encoding::Latin1);
    const Side ours(oursStore, mixed && encodings[1] == Encoding::Latin1);
    const Side theirs(theirsStore, mixed && encodings[2] == Encoding::Latin1);
    // Messages show texts as UTF-8 whatever the files hold.
    const Encoding shown = mixed ? Encoding::Utf8 : encodings[0];
    auto show = [shown](std::string_view s) { return Quoted(ToUtf8(s, shown)); };
    auto describe = [&show](const Entry& e) {
        return "Group Name " + show(e.group) + ", Text " + show(e.text);
    };
    auto name = [shown](const Entry& e) { return "Global ID " + ToUtf8(e.id, shown) + ": "; };

    // Ours' entries, merged with their counterparts; `kept` is false for one theirs deleted.
    const size_t nOurs = ours.entries.size(), nTheirs = theirs.entries.size();
    std::vector<Entry> merged = ours.entries;
    std::vector<uint8_t> kept(nOurs, 1);
    std::vector<uint8_t> shared(nOurs, 0);         // also one of theirs' entries
    std::vector<uint32_t> oursOf(nTheirs, kNone);  // theirs' entry -> ours' entry of its key
    std::vector<std::string> conflicts;
    for (size_t i = 0; i < nOurs; ++i) {
        const Entry& o = ours.entries[i];
        const uint32_t b = base.Find(ours.keys[i]);
        const uint32_t t = theirs.Find(ours.keys[i]);
        if (t != kNone) oursOf[t] = static_cast<uint32_t>(i);
        if (b != kNone && t != kNone) {
            shared[i] = 1;
            const Entry& be = base.entries[b];
            const Entry& te = theirs.entries[t];
            const auto group = MergeField(be.group, o.group, te.group);
            const auto text = MergeField(be.text, o.text, te.text);
            if (group) merged[i].group = *group;
            if (text) merged[i].text = *text;
            if (!group)
                conflicts.push_back(name(o) + "both sides changed the Group Name; kept ours " +
                                    show(o.group) + ", theirs is " + show(te.group));
            if (!text)
                conflicts.push_back(name(o) + "both sides changed the Text; kept ours " + show(o.text) +
                                    ", theirs is " + show(te.text));
        } else if (b != kNone) {
            if (o == base.entries[b]) {
                kept[i] = 0;  // deleted on their side only
                continue;
            }
            conflicts.push_back(name(o) + "changed on our side, deleted on theirs; kept ours (" +
                                describe(o) + ")");
        } else if (t != kNone) {
            shared[i] = o == theirs.entries[t];  // added on both sides: once when equal, else a clash
        }
    }

    // Entries only theirs holds follow the entry they follow in theirs, after any entries only
    // ours holds there (so that additions at one place come ours first, then theirs). Slot 0
    // is before ours' first entry, slot i + 1 after ours' entry i.
    auto after = [&shared](size_t slot) {
        while (slot < shared.size() && !shared[slot]) ++slot;
        return slot;
    };
    std::vector<std::vector<Inserted>> slots(nOurs + 1);
    size_t anchor = after(0);
    size_t clashes = 0;
    for (size_t j = 0; j < nTheirs; ++j) {
        const Entry& t = theirs.entries[j];
        if (const uint32_t o = oursOf[j]; o != kNone) {
            if (shared[o]) {
                anchor = after(o + 1);
            } else {
                slots[anchor].push_back({t, true});  // added on both sides as different entries
                ++clashes;
            }
            continue;
        }
        if (const uint32_t b = base.Find(theirs.keys[j]); b != kNone) {
            if (t == base.entries[b]) continue;  // deleted on our side only
            conflicts.push_back(name(t) + "deleted on our side, changed on theirs; kept theirs (" +
                                describe(t) + ")");
        }
        slots[anchor].push_back({t, false});
    }

    // New Global IDs go above every ID in use and above the last Global ID of every side.
    int64_t lastId = std::max({base.lastId, ours.lastId, theirs.lastId});
    if (clashes) {
        int64_t highest = lastId;
        auto consider = [&highest](std::string_view id) {
            if (const auto v = IdValue(id)) highest = std::max(highest, *v);
        };
        for (size_t i = 0; i < nOurs; ++i)
            if (kept[i]) consider(merged[i].id);
        for (const auto& slot : slots)
            for (const Inserted& x : slot) consider(x.entry.id);
        if (highest > INT32_MAX - static_cast<int64_t>(clashes))
            return Status::Error("No Global ID is left above " + std::to_string(highest) + " for the " +
                                 std::to_string(clashes) + " entries added on both sides.");
        lastId = highest;
    }

    ResourceTable table;
    table.DefineColumns(kEntryColumnSpec);
    table.ResetGroupList();
    GroupList& groups = table.Groups();
    // The reader's own steps: a group is appended and its counter set to 0; entries are counted
    // in file order within the first group of their name.
    auto addGroup = [&groups](std::string_view group) {
        const std::string owned(group);
        groups.Append(owned);
        groups.SetCounter(owned, 0);
    };
    std::unordered_set<std::string_view> named(ours.groups.begin(), ours.groups.end());
    for (const std::string_view group : ours.groups) addGroup(group);
    for (const std::string_view group : theirs.groups)
        if (named.insert(group).second) addGroup(group);

    std::vector<std::string> renumbered;
    char digits[16];
    auto append = [&table, &groups, &digits](const Entry& e) {
        int32_t groupId = 0;
        if (groups.Find(e.group) != 0) {
            groups.Increment(e.group);
            groupId = groups.GetCounter(e.group);
        }
        const auto r = std::to_chars(digits, digits + sizeof digits, groupId);
        table.AppendRow(
            {e.id, e.group, std::string_view(digits, static_cast<size_t>(r.ptr - digits)), e.text});
    };
    std::string newId;
    auto appendSlot = [&](const std::vector<Inserted>& slot) {
        for (const Inserted& x : slot) {
            if (!x.renumber) {
                append(x.entry);
                continue;
            }
            newId = std::to_string(++lastId);
            renumbered.push_back(name(x.entry) + "added on both sides; theirs (" + describe(x.entry) +
                                 ") is now Global ID " + newId);
            append({newId, x.entry.group, x.entry.text});
        }
    };
    appendSlot(slots[0]);
    for (size_t i = 0; i < nOurs; ++i) {
        if (kept[i]) append(merged[i]);
        appendSlot(slots[i + 1]);
    }
    table.SetLastGlobalId(static_cast<int32_t>(lastId));

    if (result.ColumnCount() == 0) result.DefineColumns(kEntryColumnSpec);
    result.TakeContents(table);
    outcome.conflicts = std::move(conflicts);
    outcome.renumbered = std::move(renumbered);
    return Status::Ok();
}

Status TextResourceMerge::MergeFiles(const std::string& basePath, const std::string& oursPath,
                                     const std::string& theirsPath, const std::string& outPath,
                                     Outcome& outcome) {
    Document docs[3];
    const std::string* paths[] = {&basePath, &oursPath, &theirsPath};
    for (int i = 0; i < 3; ++i) {
        // Version control hands an empty ancestor to a file added on both sides.
        struct stat st {};
        if (i == 0 && ::stat(paths[i]->c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0) continue;
        if (Status s = docs[i].Read(*paths[i], std::string(), ModeOpen); !s) return s;
    }
    ResourceTable result;
    Outcome merged;
    if (Status s = Merge(docs[0], docs[1], docs[2], result, merged); !s) return s;
    if (Status s = WriteTextResource(result, outPath, std::string(), false); !s) return s;
    outcome = std::move(merged);
    return Status::Ok();
}
