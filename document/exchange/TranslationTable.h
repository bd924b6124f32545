#pragma once
// A localized document as translators' tools see it: one entry per original/translation pair,
// its texts as UTF-8, and its status. A UTF-8 adapter over the read-only view a Document hands
// out (Document::Table): it copies no rows. It reads either a Document of its own (Load, Adopt)
// or one that someone else keeps (FromDocument: the window's, with its unsaved changes).
//
// Contract: Load, Adopt and FromDocument refuse a table that is not made of pairs (an odd row
// count, or a pair whose two rows have different Global IDs) and leave this object as it was on
// any error. The encodings are the Document's: each file's own, stand-in copies held in the
// .txl's.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/Status.h"
#include "document/format/ResourceTable.h"
#include "document/format/TextEncoding.h"
#include "document/model/EntryTable.h"
#include "document/review/EntryStatus.h"

class Document;

class TranslationTable {
public:
    TranslationTable();
    ~TranslationTable();
    TranslationTable(TranslationTable&&) noexcept;
    TranslationTable& operator=(TranslationTable&&) noexcept;

    // Reads the files as Open Localized Version does (a missing .txl gives every entry as
    // missing), into a Document of its own.
    Status Load(const std::string& txrPath, const std::string& txlPath);
    // A Document of its own from an already read pair table with its stand-in flags.
    Status Adopt(ResourceTable&& pairs, std::vector<uint8_t> standIn);
    // A view of `doc` as it is now; valid while `doc` lives and does not change.
    Status FromDocument(const Document& doc);

    size_t Count() const { return static_cast<size_t>(m_view ? m_view->RowCount() : 0) / 2; }
    // Cells of entry i as they are held (in their file's encoding).
    std::string_view OriginalCell(size_t i, int column) const { return m_view->Cell(Row(i), column); }
    std::string_view TranslationCell(size_t i, int column) const { return m_view->Cell(Row(i) + 1, column); }
    bool StandIn(size_t i) const { return m_view->IsStandIn(Row(i) + 1); }
    EntryStatus StatusAt(size_t i) const;

    // UTF-8 views of entry i's cells; `scratch` holds a converted text when one is needed.
    std::string_view GlobalId(size_t i, std::string& scratch) const;
    std::string_view GroupName(size_t i, std::string& scratch) const;
    std::string_view Original(size_t i, std::string& scratch) const;
    std::string_view Translation(size_t i, std::string& scratch) const;

    Encoding TxrEncoding() const { return m_view ? m_view->OriginalEncoding() : Encoding::Utf8; }
    Encoding TxlEncoding() const { return m_view ? m_view->TranslationEncoding() : Encoding::Utf8; }

    // The pair rows read (for sizes and checks).
    const ResourceTable& Pairs() const;
    // The Document of its own (Load, Adopt), for an import to change; null for a view of
    // another's.
    Document* OwnDocument() { return m_own.get(); }

private:
    static int Row(size_t i) { return static_cast<int>(2 * i); }
    Status View(const Document& doc);

    std::unique_ptr<Document> m_own;
    std::optional<EntryTable> m_view;
};
