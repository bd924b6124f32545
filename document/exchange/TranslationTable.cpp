#include "document/exchange/TranslationTable.h"

#include <utility>

#include "document/ListBoxSafe.h"
#include "document/model/Document.h"

namespace {

std::string_view AsUtf8(std::string_view bytes, Encoding encoding, std::string& scratch) {
    if (encoding == Encoding::Utf8) return bytes;
    scratch = Latin1ToUtf8(bytes);
    return scratch;
}

const ResourceTable& NoRows() {
    static const ResourceTable empty = [] {
        ResourceTable s;
        s.DefineColumns(kEntryColumnSpec);
        return s;
    }();
    return empty;
}

}  // namespace

TranslationTable::TranslationTable() = default;
TranslationTable::~TranslationTable() = default;
TranslationTable::TranslationTable(TranslationTable&&) noexcept = default;
TranslationTable& TranslationTable::operator=(TranslationTable&&) noexcept = default;

Status TranslationTable::View(const Document& doc) {
    if (doc.Source() != RowSource::Pairs && doc.RowCount() > 0)
        return Status::Error("The document is not made of original/translation pairs.");
    const ResourceTable& pairs = doc.Rows();
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
    m_view.emplace(doc.Table());
    return Status::Ok();
}

Status TranslationTable::Load(const std::string& txrPath, const std::string& txlPath) {
    auto doc = std::make_unique<Document>();
    if (Status s = doc->Read(txrPath, txlPath, ModeOpenPaired); !s) return s;
    doc->SetLocalize(true);
    TranslationTable fresh;
    if (Status s = fresh.View(*doc); !s) return s;
    fresh.m_own = std::move(doc);
    *this = std::move(fresh);
    return Status::Ok();
}

Status TranslationTable::Adopt(ResourceTable&& pairs, std::vector<uint8_t> standIn) {
    auto doc = std::make_unique<Document>();
    const Status loaded = doc->Load(
        [&pairs](ResourceTable& rows) {
            rows.TakeContents(pairs);
            return Status::Ok();
        },
        true, standIn);
    if (!loaded) return loaded;
    doc->SetLocalize(true);
    TranslationTable fresh;
    if (Status s = fresh.View(*doc); !s) return s;
    fresh.m_own = std::move(doc);
    *this = std::move(fresh);
    return Status::Ok();
}

Status TranslationTable::FromDocument(const Document& doc) {
    TranslationTable fresh;
    if (Status s = fresh.View(doc); !s) return s;
    *this = std::move(fresh);
    return Status::Ok();
}

const ResourceTable& TranslationTable::Pairs() const {
    return m_view ? m_view->Rows() : NoRows();
}

EntryStatus TranslationTable::StatusAt(size_t i) const {
    return StatusOf(OriginalCell(i, ColText), TxrEncoding(), TranslationCell(i, ColText), TxlEncoding(),
                    StandIn(i));
}

std::string_view TranslationTable::GlobalId(size_t i, std::string& scratch) const {
    return AsUtf8(OriginalCell(i, ColGlobalId), TxrEncoding(), scratch);
}

std::string_view TranslationTable::GroupName(size_t i, std::string& scratch) const {
    return AsUtf8(OriginalCell(i, ColGroupName), TxrEncoding(), scratch);
}

std::string_view TranslationTable::Original(size_t i, std::string& scratch) const {
    return AsUtf8(OriginalCell(i, ColText), TxrEncoding(), scratch);
}

std::string_view TranslationTable::Translation(size_t i, std::string& scratch) const {
    // A stand-in copy is held in the .txl's encoding, as the translation it stands for.
    return AsUtf8(TranslationCell(i, ColText), TxlEncoding(), scratch);
}
