// Three-way merge of text resource documents: the rules on small documents, then properties
// over random documents whose results are checked by writing them and reading them back.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "document/ListBoxSafe.h"
#include "document/format/ResourceTable.h"
#include "document/merge/TextResourceMerge.h"
#include "tests/document/TextResourceFiles.h"

namespace {

using namespace trf;

// A document as written: rows (their Group ID cells are what a read recomputes) and group names.
struct Doc {
    std::vector<Row> rows;
    std::vector<std::string> groups;
    int lastId = 0;
};

ResourceTable Store(const Doc& d) {
    ResourceTable s;
    std::vector<Group> groups;
    for (const std::string& g : d.groups) groups.emplace_back(g, 0);
    Fill(s, d.rows, groups, d.lastId);
    return s;
}

// The document as a read numbers it: each entry counts in the first group of its name, and a
// group's counter is its number of entries.
ResourceTable Normalized(const Doc& d) {
    Doc n = d;
    std::map<std::string, int> counts;
    for (const std::string& g : d.groups) counts.emplace(g, 0);
    for (Row& r : n.rows) {
        const auto it = counts.find(r[1]);
        r[2] = std::to_string(it == counts.end() ? 0 : ++it->second);
    }
    ResourceTable s = Store(n);
    for (const auto& [name, count] : counts) s.Groups().SetCounter(name, count);
    return s;
}

// The document as the reader gives it back after the writer wrote it.
ResourceTable ReadBack(const ResourceTable& s, const ScratchDir& dir) {
    EXPECT_TRUE(WriteTextResource(s, dir / "rb.txr", "", false).ok());
    ResourceTable back;
    back.DefineColumns(kEntryColumnSpec);
    EXPECT_TRUE(ReadTextResource(back, dir / "rb.txr", "", ModeOpen).ok());
    return back;
}

void ExpectSame(const ResourceTable& actual, const ResourceTable& expected, const std::string& what) {
    EXPECT_EQ(Rows(actual), Rows(expected)) << what;
    EXPECT_EQ(Groups(actual), Groups(expected)) << what;
    EXPECT_EQ(actual.GetLastGlobalId(), expected.GetLastGlobalId()) << what;
}

struct Merged {
    ResourceTable store;
    TextResourceMerge::Outcome outcome;
    bool ok = false;
};

// Each side as a Document read as Open reads a file (its encoding decided there).
Merged Merge(const ResourceTable& b, const ResourceTable& o, const ResourceTable& t) {
    Merged m;
    m.ok = TextResourceMerge::Merge(*DocumentOf(b, {}, false), *DocumentOf(o, {}, false),
                                    *DocumentOf(t, {}, false), m.store, m.outcome)
               .ok();
    return m;
}

// A small document from "LAST; GROUP...; ID:GROUP:TEXT ..." (names and texts without blanks).
Doc D(const std::string& spec) {
    std::istringstream parts(spec);
    std::string last, groups, entries;
    std::getline(parts, last, ';');
    std::getline(parts, groups, ';');
    std::getline(parts, entries);
    Doc d;
    d.lastId = std::stoi(last);
    std::istringstream g(groups), e(entries);
    for (std::string name; g >> name;) d.groups.push_back(name);
    for (std::string entry; e >> entry;) {
        const size_t c1 = entry.find(':'), c2 = entry.find(':', c1 + 1);
        d.rows.push_back({entry.substr(0, c1), entry.substr(c1 + 1, c2 - c1 - 1), "", entry.substr(c2 + 1)});
    }
    return d;
}

// A table as "LAST; GROUP=COUNTER ...; ID:GROUP:GROUPID:TEXT ...".
std::string Show(const ResourceTable& s) {
    std::string out = std::to_string(s.GetLastGlobalId()) + ";";
    for (const auto& [name, counter] : Groups(s)) out += " " + name + "=" + std::to_string(counter);
    out += ";";
    for (const Row& r : Rows(s)) out += " " + r[0] + ":" + r[1] + ":" + r[2] + ":" + r[3];
    return out;
}

TEST(TextResourceMerge, RulesOnSmallDocuments) {
    const std::string base = "3; A B; 1:A:a 2:A:b 3:B:c";
    struct Case {
        const char* rule;
        std::string ours, theirs, result;
        size_t conflicts, renumbered;
    };
    const Case cases[] = {
        {"one-sided edits are taken; different fields of one entry combine", "3; A B; 1:B:a 2:A:b 3:B:c",
         "3; A B; 1:A:x 2:A:b 3:B:z", "3; A=1 B=2; 1:B:1:x 2:A:1:b 3:B:2:z", 0, 0},
        {"one text changed differently keeps ours; the same change on both is taken once",
         "3; A B; 1:A:o 2:A:same 3:B:c", "3; A B; 1:A:t 2:A:same 3:B:c",
         "3; A=2 B=1; 1:A:1:o 2:A:2:same 3:B:1:c", 1, 0},
        {"deleted on one side, unchanged on the other: deleted", "3; A B; 2:A:b 3:B:c", "3; A B; 1:A:a 2:A:b",
         "3; A=1 B=0; 2:A:1:b", 0, 0},
        {"deleted on one side, changed on the other: kept as changed, in its place", "3; A B; 2:A:b 3:B:c2",
         "3; A B; 1:A:a2 2:A:b", "3; A=2 B=1; 1:A:1:a2 2:A:2:b 3:B:1:c2", 2, 0},
        {"added on both sides: equal once, different ones renumbered above every ID; ours' additions first; "
         "groups only theirs has follow ours'",
         "5; A B C; 1:A:a 4:C:same 2:A:b 3:B:c 5:A:o5",
         "6; A B D; 1:A:a 4:C:same 2:A:b 3:B:c 5:D:t5 6:Z:t6 9:B:t9",
         "10; A=3 B=2 C=1 D=1; 1:A:1:a 4:C:1:same 2:A:2:b 3:B:1:c 5:A:3:o5 10:D:1:t5 6:Z:0:t6 9:B:2:t9", 0,
         1},
    };
    for (const Case& c : cases) {
        const Merged m = Merge(Store(D(base)), Store(D(c.ours)), Store(D(c.theirs)));
        ASSERT_TRUE(m.ok) << c.rule;
        EXPECT_EQ(Show(m.store), c.result) << c.rule;
        EXPECT_EQ(m.outcome.conflicts.size(), c.conflicts) << c.rule;
        EXPECT_EQ(m.outcome.renumbered.size(), c.renumbered) << c.rule;
    }
}

TEST(TextResourceMerge, ReportsNameTheEntryAndBothTexts) {
    const Merged m = Merge(Store(D("8; A; 7:A:old 8:A:x")), Store(D("9; A; 7:A:mine 9:A:o")),
                           Store(D("9; A; 7:A:yours 8:A:x2 9:A:t")));
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.outcome.conflicts,
              (std::vector<std::string>{
                  "Global ID 7: both sides changed the Text; kept ours \"mine\", theirs is \"yours\"",
                  "Global ID 8: deleted on our side, changed on theirs; kept theirs (Group Name \"A\", Text "
                  "\"x2\")"}));
    EXPECT_EQ(m.outcome.renumbered,
              (std::vector<std::string>{"Global ID 9: added on both sides; theirs (Group Name \"A\", Text "
                                        "\"t\") is now Global ID 10"}));
}

TEST(TextResourceMerge, MixedEncodingsMergeAsText) {
    // Ours became UTF-8 (the editor converts a document when a character Latin-1 lacks is typed);
    // base and theirs are still Latin-1: their bytes differ, their texts do not.
    const Doc base{{{"1", "G\xE9n", "", "caf\xE9"}, {"2", "G\xE9n", "", "th\xE9"}}, {"G\xE9n"}, 2};
    const Doc ours{
        {{"1", "G\xC3\xA9n", "", "caf\xC3\xA9 \xE2\x82\xAC"}, {"2", "G\xC3\xA9n", "", "th\xC3\xA9"}},
        {"G\xC3\xA9n"},
        2};
    const Doc theirs{{{"1", "G\xE9n", "", "caf\xE9"}, {"2", "G\xE9n", "", "th\xE9 vert"}}, {"G\xE9n"}, 2};
    const Merged m = Merge(Store(base), Store(ours), Store(theirs));
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.outcome.conflicts, std::vector<std::string>{});
    EXPECT_EQ(Rows(m.store), (std::vector<Row>{{"1", "G\xC3\xA9n", "1", "caf\xC3\xA9 \xE2\x82\xAC"},
                                               {"2", "G\xC3\xA9n", "2", "th\xC3\xA9 vert"}}));
}

TEST(TextResourceMerge, NoGlobalIdLeftFailsAndLeavesTheResult) {
    const std::string max = std::to_string(INT_MAX);
    ResourceTable result = Store(D("4; y; x:y:z"));
    TextResourceMerge::Outcome outcome;
    ExpectFails(TextResourceMerge::Merge(*DocumentOf(Store(D(max + "; A;")), {}, false),
                                         *DocumentOf(Store(D(max + "; A; " + max + ":A:o")), {}, false),
                                         *DocumentOf(Store(D(max + "; A; " + max + ":A:t")), {}, false),
                                         result, outcome),
                {"No Global ID is left"});
    EXPECT_EQ(Show(result), "4; y=0; x:y::z");
}

TEST(TextResourceMerge, FilesAreWrittenWholeOrNotAtAll) {
    ScratchDir dir;
    Put(dir / "base.txr", "");  // an ancestor of a file added on both sides is empty
    Put(dir / "ours.txr", Lines({"2", "2", "A|2", "#", "1|A|1|a", "2|A|2|o"}));
    Put(dir / "theirs.txr", Lines({"2", "2", "A|2", "#", "1|A|1|a", "2|A|2|t"}));
    TextResourceMerge::Outcome outcome;
    ASSERT_TRUE(TextResourceMerge::MergeFiles(dir / "base.txr", dir / "ours.txr", dir / "theirs.txr",
                                              dir / "ours.txr", outcome)
                    .ok());
    EXPECT_EQ(Get(dir / "ours.txr"), Lines({"3", "3", "A|3", "#", "1|A|1|a", "2|A|2|o", "3|A|3|t"}));
    EXPECT_EQ(outcome.renumbered.size(), 1u);

    // Unreadable input or an unwritable result: the output is left as it was.
    Put(dir / "out.txr", "keep");
    ExpectFails(TextResourceMerge::MergeFiles(dir / "base.txr", dir / "ours.txr", dir / "none.txr",
                                              dir / "out.txr", outcome),
                {"none.txr"});
    Put(dir / "bad.txr", "1\r\n2\r\n");
    ExpectFails(TextResourceMerge::MergeFiles(dir / "bad.txr", dir / "ours.txr", dir / "ours.txr",
                                              dir / "out.txr", outcome),
                {"bad.txr", "no \"#\""});
    Put(dir / "cr.txr", Lines({"1", "1", "#", "1|A|1|a\rb"}));
    ExpectFails(TextResourceMerge::MergeFiles(dir / "cr.txr", dir / "cr.txr", dir / "cr.txr", dir / "out.txr",
                                              outcome),
                {"line break"});
    EXPECT_EQ(Get(dir / "out.txr"), "keep");
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"bad.txr", "base.txr", "cr.txr", "ours.txr", "out.txr",
                                                    "theirs.txr"}));
}

// ---------------------------------------------------------------------------------------------
// Random documents

class RandomDocs {
public:
    explicit RandomDocs(uint32_t seed) : m_rng(seed) {}

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }

    std::string Text(const std::string& tag) {
        static const char* const kPieces[] = {"a",    "b",  "|", " ", "\xC3\xA9", "\xE2\x80\xA6",
                                              "Save", "%s", "\t"};
        std::string s = tag;
        for (int n = Int(0, 6); n > 0; --n) s += kPieces[Int(0, 8)];
        return s;
    }

    // Entries 1..n in random order; some groups are not in the group table. With `repeats`,
    // some Global IDs occur twice.
    Doc Base(bool repeats) {
        Doc d;
        for (int g = Int(0, 4); g > 0; --g) {
            std::string name = "G";
            d.groups.push_back(name += std::to_string(g));
        }
        const int n = Int(0, 40);
        for (int i = 1; i <= n; ++i) {
            const std::string id = std::to_string(repeats && Int(0, 5) == 0 ? Int(1, i) : i);
            d.rows.push_back({id, Group(d), "", Text("")});
        }
        std::shuffle(d.rows.begin(), d.rows.end(), m_rng);
        d.lastId = n + Int(0, 3);
        return d;
    }

    // One side's changes to the entries for which `mine` holds: each deleted, given a new Text or
    // Group Name, or left; then `added` new entries at random places, numbered from `firstId`,
    // some in a new group of this side.
    Doc Edit(const Doc& base, const std::function<bool(const Row&)>& mine, int firstId, int added,
             const std::string& side) {
        Doc d = base;
        d.rows.clear();
        for (const Row& r : base.rows) {
            if (!mine(r)) {
                d.rows.push_back(r);
                continue;
            }
            Row e = r;
            const int what = Int(0, 5);
            if (what == 0) continue;
            if (what == 1 || what == 3) e[3] = Text(side);
            if (what == 2 || what == 3) e[1] = e[1] + side;
            d.rows.push_back(e);
        }
        if (added && Int(0, 1)) d.groups.push_back("New" + side);
        for (int k = 0; k < added; ++k) {
            const Row e{std::to_string(firstId + k), Group(d), "", Text(side)};
            d.rows.insert(d.rows.begin() + Int(0, static_cast<int>(d.rows.size())), e);
        }
        d.lastId = std::max(d.lastId, firstId + added - 1);
        return d;
    }

    std::mt19937 m_rng;

private:
    std::string Group(const Doc& d) {
        if (d.groups.empty() || Int(0, 9) == 0) return "Loose";
        return d.groups[static_cast<size_t>(Int(0, static_cast<int>(d.groups.size()) - 1))];
    }
};

TEST(TextResourceMerge, ADocumentMergedWithItselfIsUnchanged) {
    RandomDocs random(11);
    ScratchDir dir;
    for (int round = 0; round < 150; ++round) {
        const ResourceTable x = Normalized(random.Base(round % 2 == 1));
        const Merged m = Merge(x, x, x);
        ASSERT_TRUE(m.ok);
        ExpectSame(m.store, x, "round " + std::to_string(round));
        EXPECT_TRUE(m.outcome.conflicts.empty() && m.outcome.renumbered.empty());
        if (round % 10 == 0) {  // and byte for byte through the files
            ASSERT_TRUE(WriteTextResource(x, dir / "x.txr", "", false).ok());
            TextResourceMerge::Outcome outcome;
            ASSERT_TRUE(TextResourceMerge::MergeFiles(dir / "x.txr", dir / "x.txr", dir / "x.txr",
                                                      dir / "m.txr", outcome)
                            .ok());
            EXPECT_EQ(Get(dir / "m.txr"), Get(dir / "x.txr"));
        }
    }
}

TEST(TextResourceMerge, OneSidedChangesMergeCleanly) {
    RandomDocs random(22);
    ScratchDir dir;
    for (int round = 0; round < 150; ++round) {
        const std::string what = "round " + std::to_string(round);
        const Doc b = random.Base(false);
        const int next = b.lastId + 1;
        const ResourceTable base = Normalized(b);
        // A change on one side only comes through exactly as that side has it.
        auto all = [](const Row&) { return true; };
        const ResourceTable one = Normalized(random.Edit(b, all, next, 3, "o"));
        for (const bool oursChanged : {true, false}) {
            const Merged m = oursChanged ? Merge(base, one, base) : Merge(base, base, one);
            ASSERT_TRUE(m.ok);
            ExpectSame(m.store, one, what);
            EXPECT_TRUE(m.outcome.conflicts.empty() && m.outcome.renumbered.empty()) << what;
        }

        // Each side changes its own half of the entries and adds its own entries under the same
        // new Global IDs: every change is taken, no conflict, and theirs' additions that collide
        // with ours are renumbered above everything.
        auto odd = [](const Row& r) { return std::stoi(r[0]) % 2 == 1; };
        const int oursAdded = random.Int(0, 3), theirsAdded = random.Int(0, 3);
        const Doc o = random.Edit(b, odd, next, oursAdded, "o");
        const Doc t = random.Edit(
            b, [&odd](const Row& r) { return !odd(r); }, next, theirsAdded, "t");
        const Merged m = Merge(base, Store(o), Store(t));
        ASSERT_TRUE(m.ok);
        EXPECT_TRUE(m.outcome.conflicts.empty()) << what;
        const size_t clashes = static_cast<size_t>(std::min(oursAdded, theirsAdded));
        EXPECT_EQ(m.outcome.renumbered.size(), clashes) << what;
        std::map<std::string, std::pair<std::string, std::string>> expected;  // Global ID -> group, text
        std::multiset<std::pair<std::string, std::string>> moved;
        for (const Row& r : o.rows) expected[r[0]] = {r[1], r[3]};
        for (const Row& r : t.rows) {
            const int id = std::stoi(r[0]);
            if (id >= next && id < next + static_cast<int>(clashes))
                moved.insert({r[1], r[3]});
            else if (!odd(r) || id >= next)
                expected[r[0]] = {r[1], r[3]};
        }
        for (const Row& r : b.rows)  // deleted by the side that owns the entry
            if (!std::any_of((odd(r) ? o : t).rows.begin(), (odd(r) ? o : t).rows.end(),
                             [&r](const Row& e) { return e[0] == r[0]; }))
                expected.erase(r[0]);
        const int top = std::max({b.lastId, o.lastId, t.lastId});
        for (const Row& r : Rows(m.store)) {
            if (std::stoi(r[0]) > top) {
                const auto it = moved.find({r[1], r[3]});
                ASSERT_NE(it, moved.end()) << what << ": " << r[0];
                moved.erase(it);
                continue;
            }
            ASSERT_EQ(expected.count(r[0]), 1u) << what << ": " << r[0];
            EXPECT_EQ(expected[r[0]], std::make_pair(r[1], r[3])) << what << ": " << r[0];
            expected.erase(r[0]);
        }
        EXPECT_TRUE(expected.empty() && moved.empty()) << what;
        EXPECT_EQ(m.store.GetLastGlobalId(), top + static_cast<int>(clashes)) << what;
        if (round % 5 == 0) ExpectSame(ReadBack(m.store, dir), m.store, what);
    }
}

TEST(TextResourceMerge, NeverLosesAnEntryEitherSideKept) {
    RandomDocs random(33);
    ScratchDir dir;
    for (int round = 0; round < 150; ++round) {
        const std::string what = "round " + std::to_string(round);
        const Doc b = random.Base(false);
        const ResourceTable base = Normalized(b);
        auto some = [&random](const Row&) { return random.Int(0, 1) == 0; };
        const ResourceTable ours = Normalized(random.Edit(b, some, b.lastId + 1, random.Int(0, 3), "o"));
        const ResourceTable theirs = Normalized(random.Edit(b, some, b.lastId + 1, random.Int(0, 3), "t"));
        const Merged m = Merge(base, ours, theirs);
        ASSERT_TRUE(m.ok);
        const std::vector<Row> result = Rows(m.store);
        std::set<std::string> ids;
        for (const Row& r : result) ids.insert(r[0]);
        std::set<std::pair<std::string, std::string>> contents;
        for (const Row& r : result) contents.insert({r[1], r[3]});
        // An entry goes only when one side deleted it and the other left it as it was.
        auto droppable = [&](const Row& e, const ResourceTable& other) {
            for (const Row& r : Rows(base))
                if (r[0] == e[0]) {
                    const auto o = Rows(other);
                    return r[1] == e[1] && r[3] == e[3] &&
                           std::none_of(o.begin(), o.end(), [&e](const Row& x) { return x[0] == e[0]; });
                }
            return false;
        };
        for (const Row& e : Rows(ours))
            if (!droppable(e, theirs)) {
                EXPECT_EQ(ids.count(e[0]), 1u) << what << ": ours " << e[0];
            }
        for (const Row& e : Rows(theirs))
            if (!droppable(e, ours)) {
                EXPECT_TRUE(ids.count(e[0]) || contents.count({e[1], e[3]})) << what << ": theirs " << e[0];
            }
        if (round % 5 == 0) ExpectSame(ReadBack(m.store, dir), m.store, what);
    }
}

// A pair merged as one: each entry's translation (the .txl line in its place) is merged with it.
// Each case gives the three sides as entries "ID:original:translation" (no translation after the
// last ':' left out means the .txl ends before that entry) and what comes out.
TEST(TextResourcePairMerge, TranslationsTravelWithTheirOriginals) {
    struct Side {
        std::vector<std::string> entries;      // "id:original" or "id:original:translation"
        std::vector<std::string> strays = {};  // .txl lines beyond the entries, or in place of one
    };
    auto tables = [](const Side& side, ResourceTable& txr, ResourceTable& txl) {
        std::vector<Row> originals, translations;
        for (const std::string& e : side.entries) {
            const size_t a = e.find(':'), b = e.find(':', a + 1);
            originals.push_back(
                {e.substr(0, a), "G", "0", e.substr(a + 1, b == std::string::npos ? b : b - a - 1)});
            if (b != std::string::npos) translations.push_back({e.substr(0, a), "G", "0", e.substr(b + 1)});
        }
        for (const std::string& stray : side.strays) {
            // "xID:text" takes the place of the last translation; "ID:text" comes after them.
            const bool replaces = stray.starts_with("x");
            const size_t a = stray.find(':');
            const Row row{stray.substr(replaces ? 1 : 0, replaces ? a - 1 : a), "G", "0",
                          stray.substr(a + 1)};
            if (replaces)
                translations.back() = row;
            else
                translations.push_back(row);
        }
        const int last = static_cast<int>(originals.size()) + 9;
        Fill(txr, originals, {{"G", 0}}, last);
        Fill(txl, translations, {{"G", 0}}, last);
    };
    const struct {
        std::string what;
        Side base, ours, theirs;
        std::vector<std::string> txr, txl;  // "id:text" of each line
        std::vector<std::string> conflicts;
    } cases[] = {
        {"an original edited on one side, its translation on the other",
         {{"1:a:A", "2:b:B"}},
         {{"1:a2:A", "2:b:B"}},
         {{"1:a:A2", "2:b:B"}},
         {"1:a2", "2:b"},
         {"1:A2", "2:B"},
         {}},
        {"the translation changed on both sides",
         {{"1:a:A", "2:b:B"}},
         {{"1:a:A", "2:b:Bo"}},
         {{"1:a:A", "2:b:Bt"}},
         {"1:a", "2:b"},
         {"1:A", "2:Bo"},
         {"Global ID 2: both sides changed the translation; kept ours \"Bo\", theirs is \"Bt\""}},
        {"deleted on one side, translated again on the other: kept, both files",
         {{"1:a:A", "2:b:B", "3:c:C"}},
         {{"1:a:A", "3:c:C"}},
         {{"1:a:A", "2:b:B2", "3:c:C"}},
         {"1:a", "2:b", "3:c"},
         {"1:A", "2:B2", "3:C"},
         {"Global ID 2: deleted on our side, changed on theirs"}},
        {"deleted on one side, unchanged on the other: gone from both files",
         {{"1:a:A", "2:b:B", "3:c:C"}},
         {{"1:a:A", "3:c:C"}},
         {{"1:a:A2", "2:b:B", "3:c:C"}},
         {"1:a", "3:c"},
         {"1:A2", "3:C"},
         {}},
        {"added on both sides under one ID: theirs renumbered in both files",
         {{"1:a:A"}},
         {{"1:a:A", "2:o:O"}},
         {{"1:a:A", "2:t:T"}},
         {"1:a", "2:o", "12:t"},
         {"1:A", "2:O", "12:T"},
         {}},
        {"7 and 07 with the same texts are one entry",
         {{"1:a:A"}},
         {{"1:a:A", "7:s:S"}},
         {{"1:a:A", "07:s:S"}},
         {"1:a", "7:s"},
         {"1:A", "7:S"},
         {}},
        {"an entry not translated yet before a translated one: its original stands in",
         {{"1:a:A"}},
         {{"1:a:A", "2:b"}},
         {{"1:a:A", "3:c:C"}},
         {"1:a", "2:b", "3:c"},
         {"1:A", "2:b", "3:C"},
         {}},
        {"the .txl ends before the untranslated entries",
         {{"1:a:A"}},
         {{"1:a:A", "2:b"}},
         {{"1:a:A2"}},
         {"1:a", "2:b"},
         {"1:A2"},
         {}},
        {"a .txl line beyond the last entry on our side",
         {{"1:a:A"}},
         {{"1:a:A"}, {"5:orphan"}},
         {{"1:a:A2"}},
         {"1:a"},
         {"1:A2"},
         {"line 2 of the entries of our translations is not the translation of the original in its place"}},
        {"a .txl line under another Global ID on their side: reported, the lines kept as they are",
         {{"1:a:A", "2:b:B"}},
         {{"1:a:A", "2:b:B"}},
         {{"1:a:A", "2:b:B"}, {"x9:other"}},
         {"1:a", "2:b"},
         {"1:A", "2:other"},
         {"line 2 of the entries of their translations"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResourceTable txr[3], txl[3];
        tables(c.base, txr[0], txl[0]);
        tables(c.ours, txr[1], txl[1]);
        tables(c.theirs, txr[2], txl[2]);
        std::unique_ptr<Document> docs[2][3];
        const Document* originals[3];
        const Document* translations[3];
        for (int i = 0; i < 3; ++i) {
            docs[0][i] = DocumentOf(txr[i], {}, false);
            docs[1][i] = DocumentOf(txl[i], {}, false);
            originals[i] = docs[0][i].get();
            translations[i] = docs[1][i].get();
        }
        ResourceTable merged, mergedTxl;
        TextResourceMerge::Outcome outcome;
        ASSERT_TRUE(TextResourceMerge::MergePair(originals, translations, merged, mergedTxl, outcome).ok());
        auto lines = [](const ResourceTable& s) {
            std::vector<std::string> out;
            for (const Row& r : Rows(s)) out.push_back(r[0] + ":" + r[3]);
            return out;
        };
        EXPECT_EQ(lines(merged), c.txr);
        EXPECT_EQ(lines(mergedTxl), c.txl);
        std::vector<std::string> reported = outcome.conflicts;
        reported.insert(reported.end(), outcome.renumbered.begin(), outcome.renumbered.end());
        EXPECT_EQ(outcome.conflicts.size(), c.conflicts.size()) << ::testing::PrintToString(reported);
        for (const std::string& part : c.conflicts) {
            EXPECT_TRUE(
                std::any_of(reported.begin(), reported.end(),
                            [&part](const std::string& m) { return m.find(part) != std::string::npos; }))
                << part << "\n"
                << ::testing::PrintToString(reported);
        }
        // Both files carry the same group table and last Global ID, as a save writes them.
        EXPECT_EQ(Groups(mergedTxl), Groups(merged));
        EXPECT_EQ(mergedTxl.GetLastGlobalId(), merged.GetLastGlobalId());
    }
}

}  // namespace
