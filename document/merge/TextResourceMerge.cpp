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

// Stands for "no translation" in the translation fields: no cell can hold a line break.
constexpr std::string_view kNoTranslation = "\n";

// Views of the cells of one entry; they point into the side's table or its converted copies.
// In a pair merge an entry also carries its translation (the .txl line in its slot), merged
// with it as one: the two files can never take different decisions about an entry.
struct Entry {
    std::string_view id;
    std::string_view group;
    std::string_view text;
    std::string_view translationGroup = kNoTranslation;
    std::string_view translation = kNoTranslation;

    // The same entry, whatever the spelling of its Global ID ("7", "07"): sides are matched by
    // the ID's key before they are compared.
    bool operator==(const Entry& other) const {
        return group == other.group && text == other.text && translationGroup == other.translationGroup &&
               translation == other.translation;
    }
};

// The key a Global ID is matched by: its number when it is written as one ("7", "07", " +7"
// are one ID, as the reader reads them), else its bytes.
std::optional<std::string> NumericKey(std::string_view id) {
    while (!id.empty() && (id.front() == ' ' || id.front() == '\t')) id.remove_prefix(1);
    if (!id.empty() && id.front() == '+') id.remove_prefix(1);
    if (id.empty() || id.size() > 18 ||
        !std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int64_t value = 0;
    std::from_chars(id.data(), id.data() + id.size(), value);
    return std::to_string(value);
}

// One side of the merge, its entries found by key: the Global ID, with the occurrence number
// appended for a repeated ID (a line break cannot be part of an ID). Large documents go
// through here three times, so cells are viewed in place rather than copied, and the index is
// a flat open-addressing table.
class Side {
public:
    // `translations` (may be null) is the side's .txl, paired with `store` slot by slot; its
    // rows beyond the last entry, and slots whose Global IDs differ, are listed in `unpaired`.
    Side(const ResourceTable& store, bool toUtf8, const ResourceTable* translations = nullptr,
         bool translationsToUtf8 = false)
        : m_toUtf8(toUtf8) {
        lastId = store.GetLastGlobalId();
        for (const GroupNode* g = store.Groups().head(); g; g = g->next) groups.push_back(Text(g->name));
        const size_t rows = static_cast<size_t>(store.GetRowCount());
        entries.reserve(rows);
        keys.reserve(rows);
        size_t slots = 16;
        while (slots < 2 * rows) slots *= 2;
        m_slots.assign(slots, kNone);
        std::unordered_map<std::string_view, int> repeats;
        const size_t translated = translations ? static_cast<size_t>(translations->GetRowCount()) : 0;
        for (size_t r = 0; r < rows; ++r) {
            const int row = static_cast<int>(r);
            Entry e{Text(store.Cell(row, ColGlobalId)), Text(store.Cell(row, ColGroupName)),
                    Text(store.Cell(row, ColText))};
            if (r < translated) {
                const std::string_view id = translations->Cell(row, ColGlobalId);
                if (KeyOf(id) != KeyOf(e.id)) unpaired.push_back(r + 1);
                e.translationGroup = Text(translations->Cell(row, ColGroupName), translationsToUtf8);
                e.translation = Text(translations->Cell(row, ColText), translationsToUtf8);
            }
            std::string_view key = KeyOf(e.id);
            if (!Insert(key, static_cast<uint32_t>(r))) {
                const std::string_view first = key;
                std::string repeated(first);
                repeated += '\n';
                repeated += std::to_string(++repeats[first]);
                key = Keep(std::move(repeated));
                Insert(key, static_cast<uint32_t>(r));
            }
            keys.push_back(key);
            entries.push_back(e);
        }
        for (size_t r = rows; r < translated; ++r) {
            unpaired.push_back(r + 1);
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

    // The group renamed into another by this side against `base`: the group tables have the same
    // length and the name at one position is new on this side and gone from it.
    std::unordered_map<std::string_view, std::string_view> RenamedGroups(const Side& base) const {
        std::unordered_map<std::string_view, std::string_view> renamed;
        if (groups.size() != base.groups.size()) return renamed;
        auto has = [](const std::vector<std::string_view>& list, std::string_view name) {
            return std::find(list.begin(), list.end(), name) != list.end();
        };
        for (size_t p = 0; p < groups.size(); ++p)
            if (groups[p] != base.groups[p] && !has(groups, base.groups[p]) && !has(base.groups, groups[p]))
                renamed.emplace(base.groups[p], groups[p]);
        return renamed;
    }
    // Gives the entries and the group table the names another side gave its renamed groups.
    void Rename(const std::unordered_map<std::string_view, std::string_view>& renamed) {
        if (renamed.empty()) return;
        auto map = [&renamed](std::string_view& name) {
            if (const auto it = renamed.find(name); it != renamed.end()) name = it->second;
        };
        for (Entry& e : entries) {
            map(e.group);
            if (e.translationGroup != kNoTranslation) map(e.translationGroup);
        }
        for (std::string_view& g : groups) map(g);
    }

    int32_t lastId = 0;
    std::vector<std::string_view> groups;
    std::vector<Entry> entries;
    std::vector<std::string_view> keys;
    std::vector<size_t> unpaired;  // slots (from 1) whose .txl line is not the entry's

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

    std::string_view Text(std::string_view bytes) { return Text(bytes, m_toUtf8); }
    std::string_view Text(std::string_view bytes, bool toUtf8) {
        if (!toUtf8 || std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0; })) return bytes;
        return Keep(Latin1ToUtf8(bytes));
    }
    std::string_view KeyOf(std::string_view id) {
        if (auto key = NumericKey(id)) return *key == id ? id : Keep(std::move(*key));
        return id;
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
    const Document* docs[] = {&baseDoc, &oursDoc, &theirsDoc};
    const Document* none[] = {nullptr, nullptr, nullptr};
    return MergeSides(docs, none, result, nullptr, outcome);
}

Status TextResourceMerge::MergePair(const Document* const originals[3], const Document* const translations[3],
                                    ResourceTable& result, ResourceTable& resultTranslations,
                                    Outcome& outcome) {
    return MergeSides(originals, translations, result, &resultTranslations, outcome);
}

Status TextResourceMerge::MergeSides(const Document* const docs[3], const Document* const translations[3],
                                     ResourceTable& result, ResourceTable* resultTranslations,
                                     Outcome& outcome) {
    if (result.ColumnCount() != 0 && result.ColumnCount() != 4)
        return Status::Error("The table does not have the four entry columns.");
    const ResourceTable* stores[3];
    const ResourceTable* translationStores[3];
    Encoding encodings[3];
    Encoding tEncodings[3];  // a missing .txl counts as UTF-8
    for (int i = 0; i < 3; ++i) {
        stores[i] = &docs[i]->Rows();
        encodings[i] = docs[i]->FileEncoding(DocFile::Txr);
        translationStores[i] = translations[i] ? &translations[i]->Rows() : nullptr;
        // A .txl read on its own is the document's only file.
        tEncodings[i] = translations[i] ? translations[i]->FileEncoding(DocFile::Txr) : Encoding::Utf8;
    }
    const bool mixed = encodings[0] != encodings[1] || encodings[0] != encodings[2];
    // The translations have encodings of their own.
    const bool tMixed = tEncodings[0] != tEncodings[1] || tEncodings[0] != tEncodings[2];
    Side base(*stores[0], mixed && encodings[0] == Encoding::Latin1, translationStores[0],
              tMixed && tEncodings[0] == Encoding::Latin1);
    Side ours(*stores[1], mixed && encodings[1] == Encoding::Latin1, translationStores[1],
              tMixed && tEncodings[1] == Encoding::Latin1);
    Side theirs(*stores[2], mixed && encodings[2] == Encoding::Latin1, translationStores[2],
                tMixed && tEncodings[2] == Encoding::Latin1);
    // A group one side renamed keeps its entries, those the other side added to it included.
    const auto oursRenamed = ours.RenamedGroups(base), theirsRenamed = theirs.RenamedGroups(base);
    base.Rename(oursRenamed);
    base.Rename(theirsRenamed);
    theirs.Rename(oursRenamed);
    ours.Rename(theirsRenamed);
    // Messages show texts as UTF-8 whatever the files hold.
    const Encoding shown = mixed ? Encoding::Utf8 : encodings[0];
    const Encoding tShown = tMixed ? Encoding::Utf8 : tEncodings[0];
    auto show = [shown](std::string_view s) { return Quoted(ToUtf8(s, shown)); };
    auto showTranslation = [tShown](std::string_view s) {
        return s == kNoTranslation ? std::string("none") : Quoted(ToUtf8(s, tShown));
    };
    const bool pair = resultTranslations != nullptr;
    auto describe = [&show, &showTranslation, pair](const Entry& e) {
        std::string d = "Group Name " + show(e.group) + ", Text " + show(e.text);
        if (pair) d += ", translation " + showTranslation(e.translation);
        return d;
    };
    auto name = [shown](const Entry& e) { return "Global ID " + ToUtf8(e.id, shown) + ": "; };

    // Ours' entries, merged with their counterparts; `kept` is false for one theirs deleted.
    const size_t nOurs = ours.entries.size(), nTheirs = theirs.entries.size();
    std::vector<Entry> merged = ours.entries;
    std::vector<uint8_t> kept(nOurs, 1);
    std::vector<uint8_t> shared(nOurs, 0);         // also one of theirs' entries
    std::vector<uint32_t> oursOf(nTheirs, kNone);  // theirs' entry -> ours' entry of its key
    std::vector<std::string> conflicts;
    for (const auto* side : {&ours, &theirs, &base}) {
        for (const size_t slot : side->unpaired)
            conflicts.push_back(std::string("line ") + std::to_string(slot) + " of the entries of " +
                                (side == &ours     ? "our"
                                 : side == &theirs ? "their"
                                                   : "the common") +
                                " translations is not the translation of the original in its place");
    }
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
            const auto tGroup = MergeField(be.translationGroup, o.translationGroup, te.translationGroup);
            const auto translation = MergeField(be.translation, o.translation, te.translation);
            if (group) merged[i].group = *group;
            if (text) merged[i].text = *text;
            if (tGroup) merged[i].translationGroup = *tGroup;
            if (translation) merged[i].translation = *translation;
            if (!tGroup)
                conflicts.push_back(name(o) +
                                    "both sides changed the Group Name of the translation; kept ours " +
                                    showTranslation(o.translationGroup) + ", theirs is " +
                                    showTranslation(te.translationGroup));
            if (!translation)
                conflicts.push_back(name(o) + "both sides changed the translation; kept ours " +
                                    showTranslation(o.translation) + ", theirs is " +
                                    showTranslation(te.translation));
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

    // The entries in their merged order, under their final Global IDs.
    std::vector<Entry> final;
    final.reserve(nOurs + nTheirs);
    std::vector<std::string> renumbered;
    std::deque<std::string> newIds;
    auto appendSlot = [&](const std::vector<Inserted>& slot) {
        for (const Inserted& x : slot) {
            if (!x.renumber) {
                final.push_back(x.entry);
                continue;
            }
            const std::string& newId = newIds.emplace_back(std::to_string(++lastId));
            renumbered.push_back(name(x.entry) + "added on both sides; theirs (" + describe(x.entry) +
                                 ") is now Global ID " + newId);
            Entry e = x.entry;
            e.id = newId;
            final.push_back(e);
        }
    };
    appendSlot(slots[0]);
    for (size_t i = 0; i < nOurs; ++i) {
        if (kept[i]) final.push_back(merged[i]);
        appendSlot(slots[i + 1]);
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

    char digits[16];
    std::vector<std::string> groupIds;  // of each entry, for its translation
    groupIds.reserve(pair ? final.size() : 0);
    for (const Entry& e : final) {
        int32_t groupId = 0;
        if (groups.Find(e.group) != 0) {
            groups.Increment(e.group);
            groupId = groups.GetCounter(e.group);
        }
        const auto r = std::to_chars(digits, digits + sizeof digits, groupId);
        const std::string_view id(digits, static_cast<size_t>(r.ptr - digits));
        table.AppendRow({e.id, e.group, id, e.text});
        if (pair) groupIds.emplace_back(id);
    }
    table.SetLastGlobalId(static_cast<int32_t>(lastId));

    if (pair) {
        // The .txl: a line for each entry up to the last one translated, in the same order and
        // under the same Global ID (one not translated yet has its original in its place, as a
        // save writes it), and the same group table, in the translations' encoding.
        ResourceTable& out = *resultTranslations;
        if (out.ColumnCount() == 0) out.DefineColumns(kEntryColumnSpec);
        out.DeleteAllRows();
        out.ResetGroupList();
        const bool convert =
            encodings[1] == Encoding::Latin1 && !mixed && (tMixed || tEncodings[1] == Encoding::Utf8);
        for (const GroupNode* g = groups.head(); g; g = g->next) {
            const std::string groupName = convert ? Latin1ToUtf8(g->name) : g->name;
            const bool first = out.Groups().Find(groupName) == 0;
            out.Groups().Append(groupName);
            if (first) out.Groups().SetCounter(groupName, g->counter);
        }
        size_t lines = final.size();
        while (lines > 0 && final[lines - 1].translation == kNoTranslation) --lines;
        std::string group, text;
        for (size_t i = 0; i < lines; ++i) {
            const Entry& e = final[i];
            if (e.translation != kNoTranslation) {
                out.AppendRow({e.id, e.translationGroup, groupIds[i], e.translation});
                continue;
            }
            group = convert ? Latin1ToUtf8(e.group) : std::string(e.group);
            text = convert ? Latin1ToUtf8(e.text) : std::string(e.text);
            out.AppendRow({e.id, group, groupIds[i], text});
        }
        out.SetLastGlobalId(static_cast<int32_t>(lastId));
    }

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
