#include "document/model/Document.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "document/model/AddStep.h"
#include "document/model/CellsStep.h"
#include "document/model/CompositeStep.h"
#include "document/model/ConvertStep.h"
#include "document/model/DeleteAllStep.h"
#include "document/model/DocumentObserver.h"
#include "document/model/EntryEdits.h"
#include "document/model/ReplaceAllStep.h"
#include "document/model/RowsStep.h"
#include "document/model/SortStep.h"

namespace {

bool IsAscii(std::string_view s) {
    return std::none_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The first character of UTF-8 `text` beyond Latin-1 (empty when there is none).
std::string_view FirstBeyondLatin1(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (lead >= 0xC4) return text.substr(i, length);
        i += length;
    }
    return {};
}

template <class Step>
std::unique_ptr<Step> Named(const char* name) {
    auto step = std::make_unique<Step>();
    step->name = name;
    return step;
}

std::vector<std::pair<int, int>> Runs(const std::vector<int>& sorted) {
    std::vector<std::pair<int, int>> runs;
    for (int r : sorted) {
        if (!runs.empty() && runs.back().second + 1 == r)
            runs.back().second = r;
        else
            runs.emplace_back(r, r);
    }
    return runs;
}

// More runs than this are announced as one reset.
constexpr size_t kMaxAnnouncedRuns = 32;

}  // namespace

Document::Document() {
    m_rows.DefineColumns(kEntryColumnSpec);
}

Document::~Document() = default;

void Document::AddObserver(DocumentObserver* observer) {
    m_observers.push_back(observer);
}

void Document::RemoveObserver(DocumentObserver* observer) {
    std::erase(m_observers, observer);
}

// ---------------------------------------------------------------------------------------------
// Reading and saving

void Document::Started() {
    m_addPending = false;
    m_history.Clear();
    Each([](DocumentObserver& o) { o.HistoryCleared(); });
    HistoryMoved();
}

Status Document::Read(const std::string& txrPath, const std::string& txlPath, ReadMode mode, ReadInfo* out) {
    ResourceTable fresh;
    fresh.DefineColumns(kEntryColumnSpec);
    ReadInfo info;
    info.wantLines = out && out->wantLines;
    if (Status s = ReadTextResource(fresh, txrPath, txlPath, mode, &info); !s) return s;
    Each([](DocumentObserver& o) { o.AboutToReset(); });
    m_rows.TakeContents(fresh);
    ClearSortState();
    const size_t n = static_cast<size_t>(m_rows.GetRowCount());
    m_flags.assign(n, 0);
    switch (mode) {
        case ModeShowOriginal:
        case ModeOpen:
            m_source = RowSource::Original;
            break;
        case ModeShowLocalized:
            m_source = RowSource::Localized;
            // Without a .txl the originals stand in for every translation.
            for (uint8_t& f : m_flags) f = info.txlPresent ? kFromTxl : kFromTxl | kStandIn;
            break;
        case ModeShowBoth:
        case ModeOpenPaired:
            m_source = RowSource::Pairs;
            for (size_t i = 1; i < n; i += 2) m_flags[i] = kFromTxl;
            for (size_t i = 0; i < n && i < info.standIn.size(); ++i)
                if (info.standIn[i]) m_flags[i] |= kStandIn;
            break;
    }
    Detect();
    if (out) *out = std::move(info);
    Each([](DocumentObserver& o) { o.Reset(); });
    Started();
    return Status::Ok();
}

Status Document::Load(const std::function<Status(ResourceTable&)>& fill, bool pairs,
                      std::span<const uint8_t> standIn) {
    ResourceTable fresh;
    fresh.DefineColumns(kEntryColumnSpec);
    if (Status s = fill(fresh); !s) return s;
    Each([](DocumentObserver& o) { o.AboutToReset(); });
    m_rows.TakeContents(fresh);
    ClearSortState();
    const size_t n = static_cast<size_t>(m_rows.GetRowCount());
    m_flags.assign(n, 0);
    m_source = pairs ? RowSource::Pairs : RowSource::Original;
    for (size_t i = 1; pairs && i < n; i += 2) m_flags[i] = kFromTxl;
    for (size_t i = 0; pairs && i < n && i < standIn.size(); ++i)
        if (standIn[i]) m_flags[i] |= kStandIn;
    Detect();
    Each([](DocumentObserver& o) { o.Reset(); });
    Started();
    return Status::Ok();
}

void Document::Clear() {
    Each([](DocumentObserver& o) { o.AboutToReset(); });
    m_rows.DeleteAllRows();
    m_rows.ResetGroupList();
    m_rows.ResetLastGlobalId();
    ClearSortState();
    m_flags.clear();
    m_encoding[0] = m_encoding[1] = Encoding::Utf8;
    m_source = RowSource::None;
    Each([](DocumentObserver& o) { o.Reset(); });
    Started();
}

void Document::Detect() {
    bool utf8[2] = {true, true};
    bool txlRows = false;
    for (const GroupNode* g = m_rows.Groups().head(); g && utf8[0]; g = g->next)
        utf8[0] = IsValidUtf8(g->name);
    const int n = m_rows.GetRowCount();
    for (int r = 0; r < n; ++r) {
        const uint8_t f = m_flags[static_cast<size_t>(r)];
        const bool standIn = (f & kStandIn) != 0;
        // The file whose bytes the row holds: a stand-in holds its twin's.
        const int file = ((f & kFromTxl) != 0) != standIn ? 1 : 0;
        txlRows |= file == 1 && !standIn;
        bool& valid = utf8[file];
        for (int c = 0; c < 4 && valid; ++c) valid = IsValidUtf8(m_rows.Cell(r, c));
    }
    m_encoding[0] = utf8[0] ? Encoding::Utf8 : Encoding::Latin1;
    m_encoding[1] = !txlRows ? m_encoding[0] : utf8[1] ? Encoding::Utf8 : Encoding::Latin1;
    if (m_encoding[0] == m_encoding[1]) return;
    std::string bytes;
    for (int r = 0; r < n; ++r) {
        if (!IsStandIn(r)) continue;
        const Encoding own = RowEncoding(r);
        for (int c = 0; c < 4; ++c) {
            const std::string_view cell = m_rows.Cell(r, c);
            if (IsAscii(cell)) continue;
            if (own == Encoding::Utf8) {
                bytes = Latin1ToUtf8(cell);
            } else if (!Utf8ToLatin1(cell, bytes)) {
                // A stand-in copy of a text the Latin-1 file cannot hold: its characters beyond
                // Latin-1 show as '?' until the entry is written.
                std::string utf8Text;
                for (std::string_view rest = cell; !rest.empty();) {
                    const std::string_view beyond = FirstBeyondLatin1(rest);
                    const size_t keep =
                        beyond.empty() ? rest.size() : static_cast<size_t>(beyond.data() - rest.data());
                    utf8Text.append(rest.substr(0, keep));
                    if (beyond.empty()) break;
                    utf8Text.push_back('?');
                    rest.remove_prefix(keep + beyond.size());
                }
                Utf8ToLatin1(utf8Text, bytes);
            }
            m_rows.SetCellText(r, c, bytes);
        }
    }
}

EntryTable Document::Table() const {
    // A single-file view of the .txl holds .txl rows only: they are its "originals".
    const Encoding first = m_source == RowSource::Localized ? m_encoding[1] : m_encoding[0];
    return EntryTable(m_rows, m_flags, m_source == RowSource::Pairs, first, m_encoding[1], kStandIn);
}

std::string Document::PairTableProblem() const {
    const int rows = m_rows.GetRowCount();
    if (rows % 2 != 0)
        return "it holds an odd number of rows (" + std::to_string(rows) +
               "), so some entry has no localized row.";
    for (int r = 0; r < rows; r += 2) {
        if (m_source == RowSource::Pairs && (RowFile(r) != DocFile::Txr || RowFile(r + 1) != DocFile::Txl))
            return "rows " + std::to_string(r + 1) + " and " + std::to_string(r + 2) +
                   " are not an original followed by its localized row.";
        if (m_rows.Cell(r, ColGlobalId) != m_rows.Cell(r + 1, ColGlobalId))
            return "rows " + std::to_string(r + 1) + " and " + std::to_string(r + 2) +
                   " should be one entry but have different Global IDs (" + CellUtf8(r, ColGlobalId) +
                   " and " + CellUtf8(r + 1, ColGlobalId) + ").";
    }
    return {};
}

std::string Document::SaveProblem() const {
    if (m_source == RowSource::Pairs && !m_localize && m_rows.GetRowCount() > 0)
        return "The table holds original and localized rows: with Localize off it cannot be saved.";
    if (SavesPairs()) return PairTableProblem();
    return {};
}

Status Document::Save(const std::string& txrPath, const std::string& txlPath) {
    if (Status s = Write(txrPath, txlPath); !s) return s;
    // Read back, a stand-in the .txl now holds is an entry like any other: the figures say
    // what reopening the files says.
    if (m_source == RowSource::Localized || m_source == RowSource::Pairs ||
        (m_source == RowSource::None && m_localize)) {
        int first = -1, last = -1;
        for (int r = 0; r < RowCount(); ++r) {
            uint8_t& f = m_flags[static_cast<size_t>(r)];
            if (!(f & kStandIn)) continue;
            f &= static_cast<uint8_t>(~kStandIn);
            if (first < 0) first = r;
            last = r;
        }
        if (first >= 0) NotifyChanged(first, last);
    }
    MarkSaved();
    return Status::Ok();
}

Status Document::Write(const std::string& txrPath, const std::string& txlPath) const {
    if (m_source == RowSource::None && m_localize) {
        if (txlPath.empty()) return Status::Error("There is no name for the localized file yet.");
        if (const std::string problem = PairTableProblem(); !problem.empty())
            return Status::Error("The rows are not pairs of original and localized rows: " + problem);
        return WriteTextResource(m_rows, txrPath, txlPath, true);
    }
    switch (m_source) {
        case RowSource::None:
        case RowSource::Original:
            return WriteTextResource(m_rows, txrPath, std::string(), false);
        case RowSource::Localized:
            if (txlPath.empty()) return Status::Error("There is no name for the localized file yet.");
            return WriteTextResource(m_rows, txlPath, std::string(), false);
        case RowSource::Pairs:
            if (txlPath.empty()) return Status::Error("There is no name for the localized file yet.");
            if (const std::string problem = PairTableProblem(); !problem.empty())
                return Status::Error("The rows are not pairs of original and localized rows: " + problem);
            return WriteTextResource(m_rows, txrPath, txlPath, true);
    }
    return Status::Error("Unknown document.");
}

Status Document::SaveTranslations(const std::string& txlPath, bool groupsInTxlEncoding) const {
    if (m_source != RowSource::Pairs)
        return Status::Error("The rows are not pairs of original and localized rows.");
    if (const std::string problem = PairTableProblem(); !problem.empty())
        return Status::Error("The rows are not pairs of original and localized rows: " + problem);
    ResourceTable translations;
    translations.DefineColumns(kEntryColumnSpec);
    const int rows = m_rows.GetRowCount();
    size_t bytes = 0;
    for (int r = 1; r < rows; r += 2)
        for (int c = 0; c < 4; ++c) bytes += m_rows.Cell(r, c).size();
    translations.Reserve(static_cast<size_t>(rows / 2), bytes);
    for (int r = 1; r < rows; r += 2)
        translations.AppendRow({m_rows.Cell(r, 0), m_rows.Cell(r, 1), m_rows.Cell(r, 2), m_rows.Cell(r, 3)});
    translations.SetLastGlobalId(m_rows.GetLastGlobalId());
    // The group list is the .txr's, and a localized save writes it into the .txl as the .txr
    // has it; asked to, in the .txl's own encoding (a name a Latin-1 .txl cannot hold stays).
    translations.ResetGroupList();
    const bool convert = groupsInTxlEncoding && m_encoding[0] != m_encoding[1];
    for (const GroupNode* g = m_rows.Groups().head(); g; g = g->next) {
        std::string name = g->name;
        if (convert && m_encoding[1] == Encoding::Utf8)
            name = Latin1ToUtf8(g->name);
        else if (std::string latin1; convert && Utf8ToLatin1(g->name, latin1))
            name = std::move(latin1);
        const bool first = translations.Groups().Find(name) == 0;
        translations.Groups().Append(name);
        if (first) translations.Groups().SetCounter(name, g->counter);
    }
    return WriteTextResourceFile(translations, txlPath);
}

// ---------------------------------------------------------------------------------------------
// State

std::string Document::CellUtf8(int row, int column) const {
    return ToUtf8(m_rows.Cell(row, column), RowEncoding(row));
}

void Document::SetFileEncoding(DocFile file, Encoding encoding) {
    m_encoding[static_cast<int>(file)] = encoding;
    NotifyChanged(0, RowCount() - 1);
}

DocFile Document::RowFile(int row) const {
    if (row < 0 || static_cast<size_t>(row) >= m_flags.size()) return DocFile::Txr;
    return (m_flags[static_cast<size_t>(row)] & kFromTxl) ? DocFile::Txl : DocFile::Txr;
}

bool Document::IsStandIn(int row) const {
    return row >= 0 && static_cast<size_t>(row) < m_flags.size() &&
           (m_flags[static_cast<size_t>(row)] & kStandIn);
}

bool Document::AllUtf8() const {
    switch (m_source) {
        case RowSource::None:
        case RowSource::Original:
            return m_encoding[0] == Encoding::Utf8;
        case RowSource::Localized:
            return m_encoding[1] == Encoding::Utf8;
        case RowSource::Pairs:
            break;
    }
    return m_encoding[0] == Encoding::Utf8 && m_encoding[1] == Encoding::Utf8;
}

void Document::SetSource(RowSource source) {
    m_source = source;
    const size_t n = m_flags.size();
    for (size_t i = 0; i < n; ++i) {
        const bool txl = source == RowSource::Localized || (source == RowSource::Pairs && (i & 1));
        m_flags[i] = static_cast<uint8_t>((m_flags[i] & ~kFromTxl) | (txl ? kFromTxl : 0));
    }
    NotifyChanged(0, RowCount() - 1);
}

void Document::ClearSortState() {
    m_rows.m_nSortColumn = -1;
    m_rows.m_bAscending = true;
}

// ---------------------------------------------------------------------------------------------
// Raw changes

void Document::NotifyChanged(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, RowCount() - 1);
    if (first > last) return;
    Each([&](DocumentObserver& o) { o.RowsChanged(first, last); });
}

void Document::RawInsert(const std::vector<int>& positions, const ResourceTable& rows,
                         const std::vector<uint8_t>& flags) {
    const auto runs = Runs(positions);
    if (runs.size() > kMaxAnnouncedRuns) {
        Each([](DocumentObserver& o) { o.AboutToReset(); });
        m_rows.InsertRows(positions, rows);
        std::vector<uint8_t> merged;
        merged.reserve(m_flags.size() + flags.size());
        size_t next = 0, old = 0;
        for (size_t i = 0; i < m_flags.size() + flags.size(); ++i)
            merged.push_back(next < positions.size() && static_cast<size_t>(positions[next]) == i
                                 ? flags[next++]
                                 : m_flags[old++]);
        m_flags.swap(merged);
        Each([](DocumentObserver& o) { o.Reset(); });
        return;
    }
    size_t k = 0;  // rows of `rows` inserted so far
    for (const auto& [first, last] : runs) {
        const size_t count = static_cast<size_t>(last - first + 1);
        Each([f = first, l = last](DocumentObserver& o) { o.RowsAboutToBeInserted(f, l); });
        m_rows.InsertRows(std::span<const int>(positions).subspan(k, count), rows, k);
        m_flags.insert(m_flags.begin() + first, flags.begin() + static_cast<std::ptrdiff_t>(k),
                       flags.begin() + static_cast<std::ptrdiff_t>(k + count));
        k += count;
        Each([](DocumentObserver& o) { o.RowsInserted(); });
    }
}

void Document::RawRemove(const std::vector<int>& rows, ResourceTable* out, std::vector<uint8_t>* flags) {
    if (out) m_rows.CopyRows(rows, *out);
    if (flags) {
        flags->clear();
        for (int r : rows) flags->push_back(m_flags[static_cast<size_t>(r)]);
    }
    const auto runs = Runs(rows);
    const auto dropFlags = [this](int first, int last) {
        m_flags.erase(m_flags.begin() + first, m_flags.begin() + last + 1);
    };
    if (runs.size() > kMaxAnnouncedRuns) {
        Each([](DocumentObserver& o) { o.AboutToReset(); });
        m_rows.DeleteRows(rows);
        for (auto it = runs.rbegin(); it != runs.rend(); ++it) dropFlags(it->first, it->second);
        Each([](DocumentObserver& o) { o.Reset(); });
        return;
    }
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        const auto [first, last] = *it;
        Each([f = first, l = last](DocumentObserver& o) { o.RowsAboutToBeRemoved(f, l); });
        std::vector<int> run(static_cast<size_t>(last - first + 1));
        for (size_t i = 0; i < run.size(); ++i) run[i] = first + static_cast<int>(i);
        m_rows.DeleteRows(std::move(run));
        dropFlags(first, last);
        Each([](DocumentObserver& o) { o.RowsRemoved(); });
    }
}

void Document::RawSetCell(int row, int column, std::string_view bytes) {
    m_rows.SetCellText(row, column, bytes);
}

void Document::RawReorder(const std::vector<int>& order) {
    Each([](DocumentObserver& o) { o.RowsAboutToBeReordered(); });
    m_rows.Reorder(order);
    std::vector<uint8_t> flags(m_flags.size());
    for (size_t i = 0; i < order.size(); ++i) flags[i] = m_flags[static_cast<size_t>(order[i])];
    m_flags.swap(flags);
    Each([&](DocumentObserver& o) { o.RowsReordered(order); });
}

void Document::RawSwapAll(ResourceTable& rows, std::vector<uint8_t>& flags) {
    Each([](DocumentObserver& o) { o.AboutToReset(); });
    m_rows.SwapRows(rows);
    m_flags.swap(flags);
    Each([](DocumentObserver& o) { o.Reset(); });
}

void Document::RawConvert(DocFile file, bool toUtf8) {
    const int n = RowCount();
    std::string bytes;
    for (int r = 0; r < n; ++r) {
        if (RowFile(r) != file) continue;
        for (int c = 0; c < 4; ++c) {
            const std::string_view cell = m_rows.Cell(r, c);
            if (IsAscii(cell)) continue;
            if (toUtf8)
                bytes = Latin1ToUtf8(cell);
            else
                Utf8ToLatin1(cell, bytes);  // the text came from Latin-1: it goes back
            m_rows.SetCellText(r, c, bytes);
        }
    }
    // The group list belongs to the .txr: its names are in that file's encoding.
    if (file == DocFile::Txr) {
        m_rows.Groups().RenameAll([toUtf8](const std::string& name) {
            if (toUtf8) return Latin1ToUtf8(name);
            std::string latin1;
            Utf8ToLatin1(name, latin1);
            return latin1;
        });
    }
    m_encoding[static_cast<int>(file)] = toUtf8 ? Encoding::Utf8 : Encoding::Latin1;
    NotifyChanged(0, n - 1);
}

// ---------------------------------------------------------------------------------------------
// Changes

void Document::Record(std::unique_ptr<DocumentStep> step) {
    const std::string name = step->name;
    const size_t dropped = m_history.Push(std::move(step));
    Each([&](DocumentObserver& o) { o.StepRecorded(name); });
    if (dropped) Each([&](DocumentObserver& o) { o.OldestStepsDropped(dropped); });
    HistoryMoved();
}

void Document::HistoryMoved() {
    Each([](DocumentObserver& o) { o.HistoryChanged(); });
}

bool Document::Prepare(std::string_view text, DocFile file, std::vector<DocFile>& convert) const {
    if (FileEncoding(file) == Encoding::Utf8 ||
        std::find(convert.begin(), convert.end(), file) != convert.end())
        return true;
    const std::string_view beyond = FirstBeyondLatin1(text);
    if (beyond.empty()) return true;
    if (!m_ask || !m_ask(file, beyond)) return false;
    convert.push_back(file);
    return true;
}

std::string Document::Bytes(std::string_view text, DocFile file) const {
    if (FileEncoding(file) == Encoding::Utf8) return std::string(text);
    std::string latin1;
    Utf8ToLatin1(text, latin1);
    return latin1;
}

namespace {

// The refusal of a change whose conversion the user declined: nothing to say any more.
Status Declined() {
    return Status::Error(std::string());
}

Status CheckUtf8(std::initializer_list<std::string_view> texts) {
    for (std::string_view t : texts)
        if (!IsValidUtf8(t)) return Status::Error("The text is not valid UTF-8.");
    return Status::Ok();
}

}  // namespace

// Runs the conversions asked for, then the step `make` builds (after them: its bytes are in the
// files' new encodings), and records them as one step.
template <class Make>
void Document::ConvertThen(const std::vector<DocFile>& convert, Make make) {
    auto composite = std::make_unique<CompositeStep>();
    for (DocFile f : convert) {
        auto c = std::make_unique<ConvertStep>(f);
        c->Apply(*this);
        composite->parts.push_back(std::move(c));
    }
    auto main = make();
    main->Apply(*this);
    if (convert.empty()) {
        Record(std::move(main));
        return;
    }
    composite->name = main->name;
    composite->parts.push_back(std::move(main));
    Record(std::move(composite));
}

std::optional<int32_t> Document::BeginAdd() {
    if (m_addPending) return LastGlobalId();
    if (!m_rows.IncrementLastGlobalId()) return std::nullopt;
    m_addPending = true;
    return LastGlobalId();
}

void Document::CancelAdd() {
    if (!m_addPending) return;
    m_rows.DecrementLastGlobalId();
    m_addPending = false;
}

std::string Document::AddProblem() const {
    if (m_source != RowSource::Localized) return {};
    return "Entries are added with their original: in Show Original Text or in Show Both. Here a "
           "translation would be added without one.";
}

Status Document::AddEntry(int32_t globalId, std::string_view groupName, std::string_view text) {
    if (std::string problem = AddProblem(); !problem.empty()) return Status::Error(std::move(problem));
    if (Status s = CheckUtf8({groupName, text}); !s) return s;
    if (Status s = EntryEdits::CheckEntryFields(groupName, text); !s) return s;
    if (!m_addPending && LastGlobalId() == std::numeric_limits<int32_t>::max())
        return Status::Error("No more Global IDs are available: the last Global ID is already " +
                             std::to_string(LastGlobalId()) + ".");
    std::vector<DocFile> files;
    if (AddsTwins())
        files = {DocFile::Txr, DocFile::Txl};
    else
        files = {DocFile::Txr};
    std::vector<DocFile> convert;
    if (!Prepare(groupName, DocFile::Txr, convert)) return Declined();
    for (DocFile f : files)
        if (!Prepare(groupName, f, convert) || !Prepare(text, f, convert)) return Declined();

    const auto make = [&] {
        auto step = Named<AddStep>("Add");
        step->insert = true;
        step->oldLast = m_addPending ? LastGlobalId() - 1 : LastGlobalId();
        step->newLast = step->oldLast + 1;
        m_addPending = false;
        step->groupKey = Bytes(groupName, DocFile::Txr);
        step->newGroup = m_rows.Groups().Find(step->groupKey) == 0;
        step->oldCounter = m_rows.Groups().GetCounter(step->groupKey);
        // The Group ID the entry gets: what NumberInGroup will hand out.
        int32_t groupId = 1;
        if (!step->newGroup)
            groupId = step->oldCounter == std::numeric_limits<int32_t>::max() ? step->oldCounter
                                                                              : step->oldCounter + 1;
        const std::string id = std::to_string(globalId), gid = std::to_string(groupId);
        step->rows.DefineColumns(kEntryColumnSpec);
        for (DocFile f : files) {
            const std::string name = Bytes(groupName, f), t = Bytes(text, f);
            step->rows.AppendRow({id, name, gid, t});
            step->positions.push_back(RowCount() + static_cast<int>(step->positions.size()));
            step->flags.push_back(f == DocFile::Txl ? kFromTxl : 0);
        }
        return step;
    };
    ConvertThen(convert, make);
    return Status::Ok();
}

Status Document::AppendRow(std::span<const std::string> cells) {
    for (const std::string& c : cells)
        if (Status s = CheckUtf8({c}); !s) return s;
    const DocFile file = m_source == RowSource::Localized ? DocFile::Txl : DocFile::Txr;
    std::vector<DocFile> convert;
    for (const std::string& c : cells)
        if (!Prepare(c, file, convert)) return Declined();
    const auto make = [&] {
        auto step = Named<RowsStep>("Add");
        step->insert = true;
        step->rows.DefineColumns(kEntryColumnSpec);
        std::array<std::string, 4> bytes;
        for (size_t i = 0; i < 4 && i < cells.size(); ++i) bytes[i] = Bytes(cells[i], file);
        step->rows.AppendRow({bytes[0], bytes[1], bytes[2], bytes[3]});
        step->positions.push_back(RowCount());
        step->flags.push_back(file == DocFile::Txl ? kFromTxl : 0);
        return step;
    };
    ConvertThen(convert, make);
    return Status::Ok();
}

namespace {

// A stand-in row the user edits holds a translation of its own from then on: it is no longer
// missing (undoing the edit makes it a stand-in again).
void ClaimStandIn(CellsStep& step, int row, bool standIn) {
    if (standIn) step.claimed.push_back(row);
}

}  // namespace

Status Document::EditEntry(int row, std::string_view groupName, std::string_view text) {
    if (Status s = CheckUtf8({groupName, text}); !s) return s;
    if (Status s = EntryEdits::CheckEntryFields(groupName, text); !s) return s;
    if (row < 0 || row >= RowCount()) return Status::Ok();
    const DocFile file = RowFile(row);
    std::vector<DocFile> convert;
    if (!Prepare(groupName, file, convert) || !Prepare(text, file, convert)) return Declined();
    // A text that stays the same is no change (and no step), even in a file to be converted.
    if (convert.empty() && m_rows.Cell(row, ColGroupName) == Bytes(groupName, file) &&
        m_rows.Cell(row, ColText) == Bytes(text, file))
        return Status::Ok();
    const auto make = [&] {
        auto step = Named<CellsStep>("Edit");
        for (int column : {static_cast<int>(ColGroupName), static_cast<int>(ColText)}) {
            step->cells.push_back({row, column});
            step->before.Add(m_rows.Cell(row, column));
            step->after.Add(Bytes(column == ColText ? text : groupName, file));
        }
        ClaimStandIn(*step, row, RowFile(row) == DocFile::Txl && IsStandIn(row));
        return step;
    };
    ConvertThen(convert, make);
    return Status::Ok();
}

Status Document::SetCell(int row, int column, std::string_view text) {
    if (Status s = CheckUtf8({text}); !s) return s;
    if (row < 0 || row >= RowCount() || column < 0 || column >= m_rows.ColumnCount())
        return Status::Error("There is no such cell.");
    const DocFile file = RowFile(row);
    std::vector<DocFile> convert;
    if (!Prepare(text, file, convert)) return Declined();
    const auto make = [&] {
        auto step = Named<CellsStep>("Edit");
        step->cells.push_back({row, column});
        step->before.Add(m_rows.Cell(row, column));
        step->after.Add(Bytes(text, file));
        if (column == ColText) ClaimStandIn(*step, row, RowFile(row) == DocFile::Txl && IsStandIn(row));
        return step;
    };
    ConvertThen(convert, make);
    return Status::Ok();
}

Status Document::Translate(int row, std::string_view text, bool claim) {
    if (Status s = CheckUtf8({text}); !s) return s;
    if (Status s = EntryEdits::CheckText(text); !s) return s;
    if (row < 0 || row >= RowCount() || RowFile(row) != DocFile::Txl)
        return Status::Error("There is no such translation.");
    std::vector<DocFile> convert;
    if (!Prepare(text, DocFile::Txl, convert)) return Declined();
    const bool standIn = IsStandIn(row);
    if (convert.empty() && m_rows.Cell(row, ColText) == Bytes(text, DocFile::Txl) && !(claim && standIn))
        return Status::Ok();
    const std::string name = "Translate entry " + std::string(m_rows.Cell(row, ColGlobalId));
    const auto make = [&] {
        auto step = Named<CellsStep>(name.c_str());
        step->cells.push_back({row, static_cast<int>(ColText)});
        step->before.Add(m_rows.Cell(row, ColText));
        step->after.Add(Bytes(text, DocFile::Txl));
        ClaimStandIn(*step, row, standIn);
        return step;
    };
    ConvertThen(convert, make);
    return Status::Ok();
}

Status Document::ApplyImport(std::span<const TranslationChange> changes, std::span<const int> translated,
                             bool* becameUtf8) {
    if (becameUtf8) *becameUtf8 = false;
    std::vector<const TranslationChange*> texts;
    for (const TranslationChange& c : changes) {
        if (c.row < 0 || c.row >= RowCount() || RowFile(c.row) != DocFile::Txl)
            return Status::Error("The import does not fit the document as it is now.");
        if (Status s = CheckUtf8({c.text}); !s) return s;
        if (c.text != CellUtf8(c.row, ColText)) texts.push_back(&c);
    }
    // A stand-in given a translation is the .txl's own entry from now on, even when the text
    // stays (the original's): it is no longer missing.
    std::vector<int> claimed;
    for (const int row : translated)
        if (row >= 0 && row < RowCount() && RowFile(row) == DocFile::Txl && IsStandIn(row))
            claimed.push_back(row);
    if (texts.empty() && claimed.empty()) return Status::Ok();
    std::vector<DocFile> convert;
    for (const TranslationChange* t : texts)
        if (!Prepare(t->text, DocFile::Txl, convert)) return Declined();
    const auto make = [&] {
        auto step = Named<CellsStep>("Import Translations");
        for (const TranslationChange* t : texts) {
            step->cells.push_back({t->row, ColText});
            step->before.Add(m_rows.Cell(t->row, ColText));
            step->after.Add(Bytes(t->text, DocFile::Txl));
        }
        step->claimed = claimed;
        return step;
    };
    ConvertThen(convert, make);
    if (becameUtf8) *becameUtf8 = !convert.empty();
    return Status::Ok();
}

std::vector<int> Document::EntryRows(const std::vector<int>& selected) const {
    const int rows = RowCount();
    std::vector<int> result;
    for (int r : selected) {
        if (r < 0 || r >= rows) continue;
        result.push_back(r);
        if (PairView() && (r ^ 1) < rows) result.push_back(r ^ 1);
    }
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

bool Document::DeleteRows(std::vector<int> rows) {
    const int count = RowCount();
    std::erase_if(rows, [count](int r) { return r < 0 || r >= count; });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty()) return false;
    auto step = Named<RowsStep>("Delete");
    step->positions = std::move(rows);
    step->rows.DefineColumns(kEntryColumnSpec);
    step->Apply(*this);
    Record(std::move(step));
    return true;
}

bool Document::DeleteAll(const RowScope& scope) {
    if (!scope.All()) {
        std::vector<int> shown;
        scope.ForEach(RowCount(), [&](int r) { shown.push_back(r); });
        std::vector<int> rows = EntryRows(shown);
        if (rows.empty()) return false;
        auto step = Named<RowsStep>("Delete All");
        step->positions = std::move(rows);
        step->rows.DefineColumns(kEntryColumnSpec);
        step->Apply(*this);
        Record(std::move(step));
        return true;
    }
    if (RowCount() == 0) return false;
    auto step = Named<DeleteAllStep>("Delete All");
    step->rows.DefineColumns(kEntryColumnSpec);
    step->Apply(*this);
    Record(std::move(step));
    return true;
}

int Document::EntriesIn(const RowScope& scope) const {
    const int rows = scope.Count(RowCount());
    return m_source == RowSource::Pairs ? (rows + 1) / 2 : rows;
}

Status Document::ReplaceNext(int& row, std::string_view search, std::string_view replacement, int& changedRow,
                             const RowScope& scope) {
    changedRow = -1;
    if (Status s = CheckUtf8({search, replacement}); !s) return s;
    if (Status s = EntryEdits::CheckText(replacement); !s) return s;
    const int start = std::max(row, 0);
    row = start;
    std::string result;
    std::array<std::string, 2> keys;
    const std::array<bool, 2> can = SearchKeys(search, keys);
    const int rows = RowCount();
    for (row = scope.NextFrom(row, rows); row < rows; row = scope.NextFrom(row + 1, rows)) {
        const DocFile file = RowFile(row);
        const auto i = static_cast<size_t>(file);
        if (!can[i] || keys[i].empty() || m_rows.Cell(row, ColText).find(keys[i]) == std::string_view::npos)
            continue;
        std::vector<DocFile> convert;
        if (!Prepare(replacement, file, convert)) {
            row = start;
            return Declined();
        }
        const int at = row;
        const auto make = [&] {
            auto step = Named<CellsStep>("Replace");
            EntryEdits::ReplaceInText(m_rows.Cell(at, ColText), Bytes(search, file), Bytes(replacement, file),
                                      result);
            step->cells.push_back({at, ColText});
            step->before.Add(m_rows.Cell(at, ColText));
            step->after.Add(result);
            return step;
        };
        ConvertThen(convert, make);
        changedRow = row;
        return Status::Ok();
    }
    return Status::Ok();
}

Status Document::ReplaceAll(std::string_view search, std::string_view replacement, std::vector<int>* changed,
                            const RowScope& scope) {
    if (changed) changed->clear();
    if (Status s = CheckUtf8({search, replacement}); !s) return s;
    if (Status s = EntryEdits::CheckText(replacement); !s) return s;
    if (search.empty()) return Status::Ok();
    // Which files have a row to change: only those may need to hold the replacement.
    std::array<std::string, 2> needle;
    const std::array<bool, 2> searchable = SearchKeys(search, needle);
    std::array<bool, 2> hit{};
    const int rows = RowCount();
    for (int r = scope.NextFrom(0, rows); r < rows && !(hit[0] && hit[1]); r = scope.NextFrom(r + 1, rows)) {
        const auto f = static_cast<size_t>(RowFile(r));
        if (!hit[f] && searchable[f] && m_rows.Cell(r, ColText).find(needle[f]) != std::string_view::npos)
            hit[f] = true;
    }
    if (!hit[0] && !hit[1]) return Status::Ok();
    std::vector<DocFile> convert;
    for (DocFile f : {DocFile::Txr, DocFile::Txl})
        if (hit[static_cast<size_t>(f)] && !Prepare(replacement, f, convert)) return Declined();
    const std::vector<int>* made = nullptr;
    const auto make = [&] {
        auto step = Named<ReplaceAllStep>("Replace All");
        made = &step->rows;
        // Again after the conversion: a converted file now holds the search text as UTF-8.
        std::array<std::string, 2> from, to;
        const std::array<bool, 2> can = SearchKeys(search, from);
        for (DocFile f : {DocFile::Txr, DocFile::Txl}) to[static_cast<size_t>(f)] = Bytes(replacement, f);
        // The changed rows are written into the step; Apply puts them into the table.
        step->held.DefineColumns(kEntryColumnSpec);
        std::string result;
        scope.ForEach(rows, [&](int r) {
            const auto i = static_cast<size_t>(RowFile(r));
            if (!can[i] || EntryEdits::ReplaceInText(m_rows.Cell(r, ColText), from[i], to[i], result) == 0)
                return;
            step->rows.push_back(r);
            step->held.AppendRow({m_rows.Cell(r, 0), m_rows.Cell(r, 1), m_rows.Cell(r, 2), result});
        });
        return step;
    };
    ConvertThen(convert, make);
    if (changed && made) *changed = *made;
    return Status::Ok();
}

bool Document::Sort(int column, bool ascending) {
    if (column < 0 || column >= m_rows.ColumnCount()) return false;
    if (RowCount() < 2) return false;  // no order to change
    auto step = Named<SortStep>("Sort");
    step->oldColumn = m_rows.m_nSortColumn;
    step->oldAscending = m_rows.m_bAscending;
    Each([](DocumentObserver& o) { o.RowsAboutToBeReordered(); });
    step->order =
        PairView() ? m_rows.SortPairsByColumn(column, ascending) : m_rows.SortByColumn(column, ascending);
    std::vector<uint8_t> flags(m_flags.size());
    for (size_t i = 0; i < step->order.size(); ++i) flags[i] = m_flags[static_cast<size_t>(step->order[i])];
    m_flags.swap(flags);
    Each([&](DocumentObserver& o) { o.RowsReordered(step->order); });
    step->newColumn = column;
    step->newAscending = ascending;
    Record(std::move(step));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Search

std::array<bool, 2> Document::SearchKeys(std::string_view text, std::array<std::string, 2>& keys) const {
    std::array<bool, 2> can{};
    for (DocFile f : {DocFile::Txr, DocFile::Txl}) {
        const auto i = static_cast<size_t>(f);
        if (FileEncoding(f) == Encoding::Utf8) {
            keys[i] = std::string(text);
            can[i] = true;
        } else {
            can[i] = Utf8ToLatin1(text, keys[i]);
        }
    }
    return can;
}

std::vector<int> Document::FindGlobalId(std::string_view id, const RowScope& scope) const {
    std::vector<int> matches;
    std::array<std::string, 2> key;
    const std::array<bool, 2> can = SearchKeys(id, key);
    scope.ForEach(RowCount(), [&](int r) {
        const auto i = static_cast<size_t>(RowFile(r));
        if (can[i] && m_rows.Cell(r, ColGlobalId) == key[i]) matches.push_back(r);
    });
    return matches;
}

int Document::FindText(std::string_view text, int from, const RowScope& scope) const {
    std::array<std::string, 2> key;
    const std::array<bool, 2> can = SearchKeys(text, key);
    const int rows = RowCount();
    for (int r = scope.NextFrom(from, rows); r < rows; r = scope.NextFrom(r + 1, rows)) {
        const auto i = static_cast<size_t>(RowFile(r));
        if (can[i] && m_rows.Cell(r, ColText).find(key[i]) != std::string_view::npos) return r;
    }
    return -1;
}

// ---------------------------------------------------------------------------------------------
// History

bool Document::Undo() {
    if (!m_history.Undo(*this)) return false;
    HistoryMoved();
    return true;
}

bool Document::Redo() {
    if (!m_history.Redo(*this)) return false;
    HistoryMoved();
    return true;
}

void Document::ClearHistory() {
    // The changes stay unsaved when they were: only the steps go.
    const bool modified = IsModified();
    m_history.Clear();
    if (modified) m_history.MarkUnsaved();
    Each([](DocumentObserver& o) { o.HistoryCleared(); });
    HistoryMoved();
}

void Document::MarkSaved() {
    m_history.MarkSaved();
    HistoryMoved();
}

void Document::MarkUnsaved() {
    m_history.MarkUnsaved();
    HistoryMoved();
}

void Document::SetHistoryLimit(size_t bytes) {
    if (const size_t dropped = m_history.SetLimit(bytes)) {
        Each([&](DocumentObserver& o) { o.OldestStepsDropped(dropped); });
        HistoryMoved();
    }
}
