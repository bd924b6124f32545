#pragma once
// A document as the checks, the filter, the counts and the exchange formats see it: its rows,
// which of them stand in for missing translations, whether they come in pairs, and each file's
// encoding (decided by the Document that hands the view out: Document::Table). A view: it holds
// no rows of its own and is valid while the rows and flags it points to are.
#include <cstdint>
#include <span>
#include <string_view>

#include "document/format/ResourceTable.h"
#include "document/format/TextEncoding.h"

class EntryTable {
public:
    // `standIn`: one flag byte per row (or none at all); a row is a stand-in copy of its original
    // where its byte has a bit of `standInMask`. `paired`: rows 2k and 2k+1 are an original and
    // its translation; an odd last row is an original without one.
    EntryTable(const ResourceTable& rows, std::span<const uint8_t> standIn, bool paired, Encoding original,
               Encoding translation, uint8_t standInMask = 0xFF)
        : m_rows(&rows),
          m_standIn(standIn),
          m_paired(paired),
          m_original(original),
          m_translation(translation),
          m_mask(standInMask) {}

    const ResourceTable& Rows() const { return *m_rows; }
    int RowCount() const { return m_rows->GetRowCount(); }
    bool Paired() const { return m_paired; }
    bool IsStandIn(int row) const {
        return static_cast<size_t>(row) < m_standIn.size() && (m_standIn[static_cast<size_t>(row)] & m_mask);
    }
    // The row comes from the localized file (a translation, stand-ins included).
    bool IsTranslation(int row) const { return m_paired && (row & 1); }
    // Whether an original row has its translation after it.
    bool HasTranslation(int row) const { return m_paired && !(row & 1) && row + 1 < RowCount(); }
    // Rows per entry: 2 in pairs, else 1.
    int Step() const { return m_paired ? 2 : 1; }
    Encoding OriginalEncoding() const { return m_original; }
    Encoding TranslationEncoding() const { return m_translation; }
    Encoding EncodingOf(int row) const { return IsTranslation(row) ? m_translation : m_original; }
    std::string_view Cell(int row, int column) const { return m_rows->Cell(row, column); }

private:
    const ResourceTable* m_rows;
    std::span<const uint8_t> m_standIn;
    bool m_paired;
    Encoding m_original;
    Encoding m_translation;
    uint8_t m_mask;
};
