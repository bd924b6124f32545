// Random tables written and read back: the reader must give back every row, the groups (with
// the Group IDs and counters numbered again) and the last Global ID.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "document/ListBoxSafe.h"
#include "document/format/ResourceTable.h"
#include "tests/document/TextResourceFiles.h"

namespace {

using namespace trf;

class RandomTable {
public:
    explicit RandomTable(uint32_t seed) : m_rng(seed) {}

    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }

    // Bytes the format can carry in a field: no CR or LF, and no '|' unless allowed. Mixes
    // ASCII, blanks, NUL, valid UTF-8 and stray high bytes.
    std::string Field(int maxLength, bool bars) {
        std::string s;
        const int length = Int(0, maxLength);
        while (static_cast<int>(s.size()) < length) {
            const int kind = Int(0, 9);
            if (kind == 0) s += bars ? '|' : 'x';
            if (kind == 1) s += " \t\v\f"[Int(0, 3)];
            if (kind == 2) s += "\xC3\xA9";      // é
            if (kind == 3) s += "\xE2\x80\xA6";  // …
            if (kind == 4) s += static_cast<char>(Int(0x80, 0xFF));
            if (kind == 5) s += '\0';
            if (kind >= 6) s += static_cast<char>(Int(0x20, 0x7E));
        }
        for (char& c : s)
            if (c == '\r' || c == '\n' || (!bars && c == '|')) c = '_';
        return s;
    }

    std::mt19937 m_rng;
};

std::string TrimTrailing(std::string s) {
    while (!s.empty() && std::string_view(" \t\n\v\f\r").find(s.back()) != std::string_view::npos)
        s.pop_back();
    return s;
}

// What the reader makes of a table: Global ID and Group Name lose trailing blanks, and each
// original entry counts for the first group named exactly as its Group Name cell.
struct Expected {
    std::vector<Row> rows;
    std::vector<Group> groups;
};

Expected Expect(const std::vector<Row>& table, const std::vector<Group>& groups, bool localized) {
    std::map<std::string, int> counts;
    for (const auto& g : groups) counts.try_emplace(g.first, 0);
    auto entry = [&](const Row& r, bool count) {
        auto it = counts.find(r[1]);
        if (it != counts.end() && count) ++it->second;
        return Row{TrimTrailing(r[0]), TrimTrailing(r[1]),
                   std::to_string(it == counts.end() ? 0 : it->second), r[3]};
    };
    Expected e;
    for (size_t i = 0; i < table.size(); ++i) {
        const bool original = !localized || i % 2 == 0;
        e.rows.push_back(entry(table[i], original));
        if (localized && original && i + 1 == table.size()) e.rows.push_back(e.rows.back());
    }
    std::map<std::string, bool> seen;
    for (const auto& g : groups)
        e.groups.emplace_back(g.first, seen[g.first] ? 1 : counts[g.first]), seen[g.first] = true;
    return e;
}

TEST(TextResourceRoundTrip, RandomTablesComeBackAsWritten) {
    // Plenty of small files: keep them in memory-backed storage where there is some.
    const bool shm = std::filesystem::is_directory("/dev/shm");
    if (shm) ::setenv("TMPDIR", "/dev/shm", 1);
    ScratchDir dir;
    if (shm) ::unsetenv("TMPDIR");

    RandomTable random(20261207);
    for (int iteration = 0; iteration < 1200; ++iteration) {
        SCOPED_TRACE("iteration " + std::to_string(iteration));
        const bool localized = random.Int(0, 1) == 1;
        std::vector<std::string> names;
        for (int i = random.Int(0, 6); i > 0; --i) names.push_back(random.Field(12, false));
        std::vector<Group> groups;
        for (const auto& n : names) groups.emplace_back(n, random.Int(-5, 50));
        if (!names.empty() && random.Int(0, 4) == 0) groups.emplace_back(names[0], 1);  // a duplicate

        std::vector<Row> table;
        const int rows = random.Int(0, 30);
        for (int r = 0; r < rows; ++r) {
            if (localized && r % 2 == 1) {  // the twin: same first three cells, another Text
                Row twin = table.back();
                twin[3] = random.Field(40, true);
                table.push_back(twin);
                continue;
            }
            const bool number = random.Int(0, 3) != 0;
            std::string name = names.empty() || random.Int(0, 5) == 0
                                   ? random.Field(8, false)
                                   : names[random.Int(0, static_cast<int>(names.size()) - 1)];
            table.push_back(
                {number ? std::to_string(random.Int(INT32_MIN, INT32_MAX)) : random.Field(6, false), name,
                 number ? std::to_string(random.Int(0, 99)) : random.Field(4, false),
                 random.Field(40, true)});
        }
        const int lastId = random.Int(INT32_MIN, INT32_MAX);

        ResourceTable written;
        Fill(written, table, groups, lastId);
        ASSERT_TRUE(WriteTextResource(written, dir / "r.txr", dir / "r.txl", localized).ok());
        ResourceTable read;
        read.DefineColumns(kEntryColumnSpec);
        const Status s =
            ReadTextResource(read, dir / "r.txr", dir / "r.txl", localized ? ModeOpenPaired : ModeOpen);
        ASSERT_TRUE(s.ok()) << s.message();

        const Expected e = Expect(table, groups, localized);
        ASSERT_EQ(Rows(read), e.rows);
        ASSERT_EQ(Groups(read), e.groups);
        ASSERT_EQ(read.GetLastGlobalId(), lastId);
        std::filesystem::remove(dir / "r.txl");
    }
}

}  // namespace
