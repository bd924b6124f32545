#include "document/exchange/TranslationTable.h"

#include <numeric>
#include <utility>

#include "document/ListBoxSafe.h"
#include "document/model/Document.h"

namespace {

std::string_view AsUtf8(std::string_view bytes, Encoding encoding, std::string& scratch) {
    if (encoding == Encoding::Utf8) return bytes;
    scratch = Latin1ToUtf8(bytes);
    return scratch;
}

}  // namespace

TranslationTable::TranslationTable() {
    m_pairs.DefineColumns(kEntryColumnSpec);
}

Status TranslationTable::Load(const std::string& txrPath, const std::string& txlPath) {
    ResourceTable pairs;
    pairs.DefineColumns(kEntryColumnSpec);
    ReadInfo info;
    if (Status s = ReadTextResource(pairs, txrPath, txlPath, ModeOpenPaired, &info); !s) return s;
    return Adopt(std::move(pairs), std::move(info.standIn));
}

Status TranslationTable::Adopt(ResourceTable&& pairs, std::vector<uint8_t> standIn) {
    const int rows = pairs.GetRowCount();
    // An empty line in one file, or a .txl longer than its .txr, leaves rows without a twin.
    if (rows % 2 != 0)
        return Status::Error("The document is not made of original/translation pairs: it reads as " +
                             std::to_string(rows) + " rows, an odd number.");
    for (int r = 0; r < rows; r += 2)
        if (pairs.Cell(r, ColGlobalId) != pairs.Cell(r + 1, ColGlobalId))
            return Status::Error("The document is not made of original/translation pairs: entry " +
                                 std::to_string(r / 2 + 1) + " has the Global ID \"" +
                                 std::string(pairs.Cell(r, ColGlobalId)) + "\" in the .txr and \"" +
                                 std::string(pairs.Cell(r + 1, ColGlobalId)) + "\" in the .txl.");
    standIn.resize(static_cast<size_t>(rows), 0);

    bool txrUtf8 = true, txlUtf8 = true, txlOwnRows = false;
    for (const GroupNode* g = pairs.Groups().head(); g && txrUtf8; g = g->next)
        txrUtf8 = IsValidUtf8(g->name);
    for (int r = 0; r < rows; ++r) {
        const bool odd = (r & 1) != 0;
        if (odd && standIn[static_cast<size_t>(r)]) continue;
        bool& utf8 = odd ? txlUtf8 : txrUtf8;
        txlOwnRows |= odd;
        for (int c = 0; c < 4 && utf8; ++c) utf8 = IsValidUtf8(pairs.Cell(r, c));
    }
    m_txrEncoding = txrUtf8 ? Encoding::Utf8 : Encoding::Latin1;
    m_txlEncoding = !txlOwnRows ? m_txrEncoding : txlUtf8 ? Encoding::Utf8 : Encoding::Latin1;
    m_pairs = std::move(pairs);
    m_standIn = std::move(standIn);
    return Status::Ok();
}

Status TranslationTable::FromDocument(const Document& doc) {
    const int rows = doc.RowCount();
    std::vector<int> all(static_cast<size_t>(rows));
    std::iota(all.begin(), all.end(), 0);
    ResourceTable pairs;
    doc.Rows().CopyRows(all, pairs);
    pairs.SetLastGlobalId(doc.LastGlobalId());
    const Encoding txr = doc.FileEncoding(DocFile::Txr), txl = doc.FileEncoding(DocFile::Txl);
    std::vector<uint8_t> standIn(static_cast<size_t>(rows), 0);
    std::string bytes;
    for (int r = 0; r < rows; ++r) {
        if (!doc.IsStandIn(r)) continue;
        standIn[static_cast<size_t>(r)] = 1;
        if (txr == txl) continue;
        // The document holds stand-in copies in the .txl's encoding; this table, as a read gives
        // them, in the .txr's.
        for (int c = 0; c < 4; ++c) {
            const std::string_view cell = pairs.Cell(r, c);
            if (txr == Encoding::Utf8)
                bytes = Latin1ToUtf8(cell);
            else if (!Utf8ToLatin1(cell, bytes))
                continue;
            pairs.SetCellText(r, c, bytes);
        }
    }
    if (Status s = Adopt(std::move(pairs), std::move(standIn)); !s) return s;
    m_txrEncoding = txr;
    m_txlEncoding = txl;
    return Status::Ok();
}

EntryStatus TranslationTable::StatusAt(size_t i) const {
    return StatusOf(OriginalCell(i, ColText), m_txrEncoding, TranslationCell(i, ColText), m_txlEncoding,
                    StandIn(i));
}

std::string_view TranslationTable::GlobalId(size_t i, std::string& scratch) const {
    return AsUtf8(OriginalCell(i, ColGlobalId), m_txrEncoding, scratch);
}

std::string_view TranslationTable::GroupName(size_t i, std::string& scratch) const {
    return AsUtf8(OriginalCell(i, ColGroupName), m_txrEncoding, scratch);
}

std::string_view TranslationTable::Original(size_t i, std::string& scratch) const {
    return AsUtf8(OriginalCell(i, ColText), m_txrEncoding, scratch);
}

std::string_view TranslationTable::Translation(size_t i, std::string& scratch) const {
    // A stand-in row is a copy of the original, in the .txr's encoding.
    return AsUtf8(TranslationCell(i, ColText), StandIn(i) ? m_txrEncoding : m_txlEncoding, scratch);
}
