#pragma once
// Random localized documents for the exchange tests: pairs of .txr/.txl files written by the
// editor's own writer, with '|' in texts, UTF-8 or Latin-1 in each file, empty texts, and empty
// and repeated Global IDs.
#include <cstdint>
#include <string>
#include <vector>

#include "document/ListBoxSafe.h"
#include "document/format/ResourceTable.h"
#include "tests/document/TextResourceFiles.h"

namespace trf {

// xorshift64*: the same numbers everywhere, for reproducible documents.
class RandomTexts {
public:
    explicit RandomTexts(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15u + 1) {}
    int Pick(int n) {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return static_cast<int>((m_state * 0x2545F4914F6CDD1Du >> 33) % static_cast<uint64_t>(n));
    }
    // Up to five pieces: '|', quotes, markup, tabs, accents (in either encoding), placeholders.
    std::string Text(bool latin1) {
        static const char* const kUtf8[] = {
            "a", "Open", " ", "|", "\"", ",", "<&>", "\\", "\t", "\xC3\xA9", "\xE2\x82\xAC", "%s", "'"};
        static const char* const kLatin1[] = {"a",  "Open", " ",    "|",    "\"", ",", "<&>",
                                              "\\", "\t",   "\xE9", "\xFC", "%s", "'"};
        std::string s;
        for (int k = Pick(6); k > 0; --k) s += (latin1 ? kLatin1 : kUtf8)[Pick(13)];
        return s;
    }

private:
    uint64_t m_state;
};

struct PairFiles {
    std::string txr, txl;
};

// Writes a random pair under `stem` (stem.txr, stem.txl) and returns the paths. `latin1Txr` and
// `latin1Txl` pick each file's encoding; a Latin-1 file gets at least one byte that is not
// UTF-8, so that it reads as Latin-1.
inline PairFiles WriteRandomPair(const ScratchDir& dir, const std::string& stem, unsigned seed,
                                 bool latin1Txr, bool latin1Txl, int entries = 40) {
    RandomTexts random(seed);
    const auto pick = [&random](int n) { return random.Pick(n); };
    const auto text = [&random](bool latin1) { return random.Text(latin1); };
    const char* const groupsUtf8[] = {"Menu", "Dialog",
                                      "Gr\xC3\xBC\xC3\x9F"
                                      "e"};
    const char* const groupsLatin1[] = {"Menu", "Dialog",
                                        "Gr\xFC\xDF"
                                        "e"};
    ResourceTable store;
    store.DefineColumns(kEntryColumnSpec);
    store.ResetGroupList();
    for (const char* g : latin1Txr ? groupsLatin1 : groupsUtf8) store.Groups().Append(g);
    int lastId = 0;
    for (int i = 0; i < entries; ++i) {
        const int kind = pick(12);
        std::string id = kind == 0                 ? ""
                         : kind == 1 && lastId > 0 ? std::to_string(1 + pick(lastId))
                                                   : std::to_string(++lastId);
        const int group = pick(3);
        const std::string original = pick(8) == 0 ? "" : text(latin1Txr);
        const int t = pick(4);
        std::string translation = t == 0 ? original : t == 1 ? "" : text(latin1Txl);
        if (t == 0 && latin1Txr != latin1Txl) translation = text(latin1Txl);
        store.AppendRow({id, (latin1Txr ? groupsLatin1 : groupsUtf8)[group], "0", original});
        store.AppendRow({id, (latin1Txl ? groupsLatin1 : groupsUtf8)[group], "0", translation});
    }
    // One byte that is not UTF-8 makes a Latin-1 file read as Latin-1.
    if (latin1Txr)
        store.AppendRow({"900", "Menu", "0", "caf\xE9"}), store.AppendRow({"900", "Menu", "0", "x"});
    if (latin1Txl)
        store.AppendRow({"901", "Menu", "0", "y"}), store.AppendRow({"901", "Menu", "0", "caf\xE9"});
    store.SetLastGlobalId(lastId);
    PairFiles files{dir / (stem + ".txr"), dir / (stem + ".txl")};
    EXPECT_TRUE(WriteTextResource(store, files.txr, files.txl, true).ok());
    // Once more through the reader and the writer: Group IDs and counters as the reader numbers
    // them, so that the files are as the editor saves them.
    ResourceTable reread;
    reread.DefineColumns(kEntryColumnSpec);
    EXPECT_TRUE(ReadTextResource(reread, files.txr, files.txl, ModeOpenPaired).ok());
    EXPECT_TRUE(WriteTextResource(reread, files.txr, files.txl, true).ok());
    return files;
}

}  // namespace trf
