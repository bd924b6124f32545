#pragma once
// Helpers for tests that read and write text resource files: a scratch directory, whole-file
// reads and writes, and tables as plain values.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "document/Status.h"
#include "document/format/ResourceTable.h"
#include "document/model/Document.h"

namespace trf {

using Row = std::array<std::string, 4>;
using Group = std::pair<std::string, int>;

// A fresh directory, removed with everything in it at the end of the test.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qm-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
        m_path = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& path() const { return m_path; }
    // Names of the entries in the directory, sorted.
    std::vector<std::string> List() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_path))
            names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path m_path;
};

inline void Put(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(f.good()) << path;
}

inline std::string Get(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// A failed status whose message names each of `parts`.
inline void ExpectFails(const Status& s, std::initializer_list<std::string> parts) {
    ASSERT_FALSE(s.ok()) << *parts.begin();
    for (const std::string& part : parts) EXPECT_NE(s.message().find(part), std::string::npos) << s.message();
}

// Joins lines, each ending with CR LF.
inline std::string Lines(std::initializer_list<std::string> lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

inline std::vector<Row> Rows(const ResourceTable& store) {
    std::vector<Row> rows;
    for (int r = 0; r < store.GetRowCount(); ++r)
        rows.push_back({store.GetCellText(r, 0), store.GetCellText(r, 1), store.GetCellText(r, 2),
                        store.GetCellText(r, 3)});
    return rows;
}

inline std::vector<Group> Groups(const ResourceTable& store) {
    std::vector<Group> groups;
    for (const GroupNode* g = store.Groups().head(); g; g = g->next) groups.emplace_back(g->name, g->counter);
    return groups;
}

inline void Fill(ResourceTable& store, const std::vector<Row>& rows, const std::vector<Group>& groups,
                 int lastId) {
    if (store.ColumnCount() == 0) store.DefineColumns(kEntryColumnSpec);
    store.DeleteAllRows();
    for (const Row& r : rows) store.AppendRow({r[0], r[1], r[2], r[3]});
    store.ResetGroupList();
    for (const auto& [name, counter] : groups) {
        store.Groups().Append(name);
        if (store.Groups().Find(name) == store.Groups().Count()) store.Groups().SetCounter(name, counter);
    }
    store.SetLastGlobalId(lastId);
}

// A Document holding a copy of `store`'s rows, as pairs (with the stand-in flags, one byte a
// row) or as one file's rows: what a read of such files gives, its encodings decided as the
// Document decides them for every reader.
inline std::unique_ptr<Document> DocumentOf(const ResourceTable& store, std::span<const uint8_t> standIn,
                                            bool pairs) {
    auto doc = std::make_unique<Document>();
    const Status s = doc->Load(
        [&store](ResourceTable& rows) {
            std::vector<int> all(static_cast<size_t>(store.GetRowCount()));
            for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
            store.CopyRows(all, rows);
            rows.ResetGroupList();
            for (const GroupNode* g = store.Groups().head(); g; g = g->next) {
                const bool first = rows.Groups().Find(g->name) == 0;
                rows.Groups().Append(g->name);
                if (first) rows.Groups().SetCounter(g->name, g->counter);
            }
            rows.SetLastGlobalId(store.GetLastGlobalId());
            return Status::Ok();
        },
        pairs, standIn);
    EXPECT_TRUE(s.ok()) << s.message();
    doc->SetLocalize(true);
    return doc;
}

}  // namespace trf
