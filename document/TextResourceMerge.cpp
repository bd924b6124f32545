#include "document/TextResourceMerge.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "core/RowStore.h"
#include "document/DocumentEncoding.h"
#include "document/ListBoxSafe.h"

namespace {

struct Entry {
    std::string id;
    std::string group;
    std::string text;

    bool operator==(const Entry&) const = default;
};

// One side of the merge, in a form that matches its entries by key: the Global ID, with the
// occurrence number appended for a repeated ID (a line break cannot be part of an ID).
struct Side {
    int32_t lastId = 0;
    std::vector<std::string> groups;
    std::vector<Entry> entries;
    std::vector<std::string> keys;
    std::unordered_map<std::string, size_t> index;

    const Entry* Find(const std::string& key) const {
        const auto it = index.find(key);
        return it == index.end() ? nullptr : &entries[it->second];
    }
    std::optional<size_t> Position(const std::string& key) const {
        const auto it = index.find(key);
        return it == index.end() ? std::nullopt : std::optional<size_t>(it->second);
    }
};

Side Load(const RowStore& store, bool toUtf8) {
    auto text = [toUtf8](std::string_view bytes) {
        return toUtf8 ? Latin1ToUtf8(bytes) : std::string(bytes);
    };
    Side side;
    side.lastId = store.GetLastGlobalId();
    for (const GroupNode* g = store.Groups().head(); g; g = g->next) side.groups.push_back(text(g->name));
    const int rows = store.GetRowCount();
    side.entries.reserve(static_cast<size_t>(rows));
    side.keys.reserve(static_cast<size_t>(rows));
    side.index.reserve(static_cast<size_t>(rows));
    std::unordered_map<std::string, int> repeats;
    for (int r = 0; r < rows; ++r) {
        Entry e{text(store.Cell(r, ColGlobalId)), text(store.Cell(r, ColGroupName)),
                text(store.Cell(r, ColText))};
        std::string key = e.id;
        if (auto [it, fresh] = side.index.try_emplace(key, side.entries.size()); !fresh) {
            const int n = ++repeats[e.id];
            key += '\n' + std::to_string(n);
            side.index.emplace(key, side.entries.size());
        }
        side.keys.push_back(std::move(key));
        side.entries.push_back(std::move(e));
    }
    return side;
}

std::string Quote(std::string_view s) {
    std::string quoted;
    quoted.reserve(s.size() + 2);
    quoted += '"';
    quoted += s;
    quoted += '"';
    return quoted;
}

// The value of a field changed on no side, one side or both; nullopt when the two sides
// changed it differently.
std::optional<std::string> MergeField(const std::string& base, const std::string& ours,
                                      const std::string& theirs) {
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

// The entries placed before, between and after ours' entries: slot 0 before the first, slot
// i + 1 after ours' entry i. A flag marks a theirs-side entry that needs a new Global ID.
struct Inserted {
    Entry entry;
    bool renumber = false;
};

}  // namespace

Status TextResourceMerge::Merge(const RowStore& baseStore, const RowStore& oursStore,
                                const RowStore& theirsStore, RowStore& result, Outcome& outcome) {
    if (result.ColumnCount() != 0 && result.ColumnCount() != 4)
        return Status::Error("The table does not have the four entry columns.");
    const Encoding encodings[] = {DocumentEncoding(baseStore), DocumentEncoding(oursStore),
                                  DocumentEncoding(theirsStore)};
    const bool mixed = !std::all_of(std::begin(encodings), std::end(encodings),
                                    [&encodings](Encoding e) { return e == encodings[0]; });
    auto load = [mixed](const RowStore& store) {
        return Load(store, mixed && DocumentEncoding(store) == Encoding::Latin1);
    };
    const Side base = load(baseStore), ours = load(oursStore), theirs = load(theirsStore);
    // Messages show texts as UTF-8 whatever the files hold.
    const Encoding shown = mixed ? Encoding::Utf8 : encodings[0];
    auto show = [shown](const std::string& s) { return Quote(ToUtf8(s, shown)); };
    auto describe = [&show](const Entry& e) {
        return "Group Name " + show(e.group) + ", Text " + show(e.text);
    };

    std::vector<std::string> conflicts;
    std::vector<std::optional<Entry>> oursResult(ours.entries.size());
    for (size_t i = 0; i < ours.entries.size(); ++i) {
        const std::string& key = ours.keys[i];
        const Entry& o = ours.entries[i];
        const Entry* b = base.Find(key);
        const Entry* t = theirs.Find(key);
        const std::string where = "Global ID " + ToUtf8(o.id, shown) + ": ";
        if (b && t) {
            Entry merged = o;
            const auto group = MergeField(b->group, o.group, t->group);
            const auto text = MergeField(b->text, o.text, t->text);
            if (group) merged.group = *group;
            if (text) merged.text = *text;
            if (!group)
                conflicts.push_back(where + "both sides changed the Group Name; kept ours " + show(o.group) +
                                    ", theirs is " + show(t->group));
            if (!text)
                conflicts.push_back(where + "both sides changed the Text; kept ours " + show(o.text) +
                                    ", theirs is " + show(t->text));
            oursResult[i] = std::move(merged);
        } else if (b) {
            if (o == *b) continue;  // deleted on their side only
            conflicts.push_back(where + "changed on our side, deleted on theirs; kept ours (" + describe(o) +
                                ")");
            oursResult[i] = o;
        } else {
            oursResult[i] = o;  // added on our side, or on both (a clash is settled below)
        }
    }

    // Entries only theirs holds follow the entry they follow in theirs, after any entries only
    // ours holds there (so that additions at one place come ours first, then theirs).
    std::vector<uint8_t> shared(ours.entries.size(), 0);  // ours' entry is one of theirs too
    for (size_t i = 0; i < ours.entries.size(); ++i)
        if (const Entry* t = theirs.Find(ours.keys[i]))
            shared[i] = base.Find(ours.keys[i]) || *t == ours.entries[i];
    auto after = [&shared](size_t slot) {
        while (slot < shared.size() && !shared[slot]) ++slot;
        return slot;
    };
    std::vector<std::vector<Inserted>> slots(ours.entries.size() + 1);
    size_t anchor = after(0);
    size_t clashes = 0;
    for (size_t j = 0; j < theirs.entries.size(); ++j) {
        const std::string& key = theirs.keys[j];
        const Entry& t = theirs.entries[j];
        const Entry* b = base.Find(key);
        if (const auto o = ours.Position(key)) {
            if (shared[*o]) {
                anchor = after(*o + 1);
                continue;
            }
            slots[anchor].push_back({t, true});  // added on both sides as different entries
            ++clashes;
        } else if (b) {
            if (t == *b) continue;  // deleted on our side only
            conflicts.push_back("Global ID " + ToUtf8(t.id, shown) +
                                ": deleted on our side, changed on theirs; kept theirs (" + describe(t) +
                                ")");
            slots[anchor].push_back({t, false});
        } else {
            slots[anchor].push_back({t, false});
        }
    }

    // New Global IDs go above every ID in use and above the last Global ID of every side.
    int64_t lastId = std::max({base.lastId, ours.lastId, theirs.lastId});
    if (clashes) {
        int64_t highest = lastId;
        auto consider = [&highest](const std::string& id) {
            if (const auto v = IdValue(id)) highest = std::max(highest, *v);
        };
        for (const auto& e : oursResult)
            if (e) consider(e->id);
        for (const auto& slot : slots)
            for (const Inserted& x : slot) consider(x.entry.id);
        if (highest > INT32_MAX - static_cast<int64_t>(clashes))
            return Status::Error("No Global ID is left above " + std::to_string(highest) + " for the " +
                                 std::to_string(clashes) + " entries added on both sides.");
        lastId = highest;
    }

    RowStore merged;
    merged.DefineColumns(kEntryColumnSpec);
    merged.ResetGroupList();
    GroupList& groups = merged.Groups();
    // The reader's own steps: a group is appended and its counter set to 0; entries are counted
    // in file order within the first group of their name.
    std::unordered_set<std::string> named(ours.groups.begin(), ours.groups.end());
    auto addGroup = [&groups](const std::string& name) {
        groups.Append(name);
        groups.SetCounter(name, 0);
    };
    for (const std::string& name : ours.groups) addGroup(name);
    for (const std::string& name : theirs.groups)
        if (named.insert(name).second) addGroup(name);

    std::vector<std::string> renumbered;
    auto append = [&merged, &groups](const Entry& e) {
        int32_t groupId = 0;
        if (groups.Find(e.group) != 0) {
            groups.Increment(e.group);
            groupId = groups.GetCounter(e.group);
        }
        const std::string groupIdText = std::to_string(groupId);
        merged.AppendRow({e.id, e.group, groupIdText, e.text});
    };
    auto appendSlot = [&](std::vector<Inserted>& slot) {
        for (Inserted& x : slot) {
            if (x.renumber) {
                const std::string id = std::to_string(++lastId);
                renumbered.push_back("Global ID " + ToUtf8(x.entry.id, shown) +
                                     ": added on both sides; theirs (" + describe(x.entry) +
                                     ") is now Global ID " + id);
                x.entry.id = id;
            }
            append(x.entry);
        }
    };
    appendSlot(slots[0]);
    for (size_t i = 0; i < oursResult.size(); ++i) {
        if (oursResult[i]) append(*oursResult[i]);
        appendSlot(slots[i + 1]);
    }
    merged.SetLastGlobalId(static_cast<int32_t>(lastId));

    if (result.ColumnCount() == 0) result.DefineColumns(kEntryColumnSpec);
    result.TakeContents(merged);
    outcome.conflicts = std::move(conflicts);
    outcome.renumbered = std::move(renumbered);
    return Status::Ok();
}

Status TextResourceMerge::MergeFiles(const std::string& basePath, const std::string& oursPath,
                                     const std::string& theirsPath, const std::string& outPath,
                                     Outcome& outcome) {
    RowStore stores[3];
    const std::string* paths[] = {&basePath, &oursPath, &theirsPath};
    for (int i = 0; i < 3; ++i) {
        stores[i].DefineColumns(kEntryColumnSpec);
        // Version control hands an empty ancestor to a file added on both sides.
        struct stat st {};
        if (i == 0 && ::stat(paths[i]->c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0) continue;
        if (Status s = ReadTextResource(stores[i], *paths[i], std::string(), ModeOpen); !s) return s;
    }
    RowStore result;
    Outcome merged;
    if (Status s = Merge(stores[0], stores[1], stores[2], result, merged); !s) return s;
    if (Status s = WriteTextResource(result, outPath, std::string(), false); !s) return s;
    outcome = std::move(merged);
    return Status::Ok();
}
