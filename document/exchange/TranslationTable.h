#pragma once
// A localized document as translators' tools see it: one entry per original/translation pair,
// its texts as UTF-8, and its status. Read as the paired view reads it (a missing .txl gives
// every entry as missing). Keeps the pair table itself, so that an import can be applied to it
// and the .txl written from it.
//
// Contract: Load refuses a table that is not made of pairs (an odd row count, or a pair whose two
// rows have different Global IDs) and leaves this object as it was on any error. Each file has
// its own encoding: the .txr is UTF-8 when its cells and group names are valid UTF-8; the .txl
// when its own rows are (stand-in copies do not count); a .txl without rows of its own takes the
// .txr's.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/Status.h"
#include "document/format/ResourceTable.h"
#include "document/format/TextEncoding.h"
#include "document/review/EntryStatus.h"

class Document;

class TranslationTable {
public:
    TranslationTable();

    Status Load(const std::string& txrPath, const std::string& txlPath);
    // Takes an already read pair table (mode paired) with its stand-in flags.
    Status Adopt(ResourceTable&& pairs, std::vector<uint8_t> standIn);
    // The document's rows as they are now (unsaved changes included), read as pairs, with the
    // encodings the document keeps for its two files.
    Status FromDocument(const Document& doc);

    size_t Count() const { return static_cast<size_t>(m_pairs.GetRowCount()) / 2; }
    // Cells of entry i as they are in the files (in their file's encoding).
    std::string_view OriginalCell(size_t i, int column) const { return m_pairs.Cell(Row(i), column); }
    std::string_view TranslationCell(size_t i, int column) const { return m_pairs.Cell(Row(i) + 1, column); }
    bool StandIn(size_t i) const { return m_standIn[2 * i + 1] != 0; }
    EntryStatus StatusAt(size_t i) const;

    // UTF-8 views of entry i's cells; `scratch` holds a converted text when one is needed.
    std::string_view GlobalId(size_t i, std::string& scratch) const;
    std::string_view GroupName(size_t i, std::string& scratch) const;
    std::string_view Original(size_t i, std::string& scratch) const;
    std::string_view Translation(size_t i, std::string& scratch) const;

    Encoding TxrEncoding() const { return m_txrEncoding; }
    Encoding TxlEncoding() const { return m_txlEncoding; }

    ResourceTable& Pairs() { return m_pairs; }
    const ResourceTable& Pairs() const { return m_pairs; }

private:
    static int Row(size_t i) { return static_cast<int>(2 * i); }

    ResourceTable m_pairs;
    std::vector<uint8_t> m_standIn;
    Encoding m_txrEncoding = Encoding::Utf8;
    Encoding m_txlEncoding = Encoding::Utf8;
};
