#include "document/DocumentReview.h"

#include "document/EntryChecker.h"

EntryTable DocumentReview::Table() const {
    return EntryTable(m_doc.Rows(), m_doc.RowFlags(), Paired(), m_doc.FileEncoding(DocFile::Txr),
                      m_doc.FileEncoding(DocFile::Txl), Document::kStandIn);
}

bool DocumentReview::Paired() const {
    return m_doc.Source() == RowSource::Pairs;
}

void DocumentReview::Recheck() {
    const EntryTable table = Table();
    m_problems = EntryChecker().Run(table);
    m_counts = EntryStats::Count(table, m_problems, false).total;
    m_filter.Reset();
}

bool DocumentReview::NotTranslated(int row) const {
    const EntryTable table = Table();
    if (!table.Paired() || row < 0 || row >= table.RowCount()) return false;
    const int first = row - (row & 1);
    if (first + 1 >= table.RowCount()) return true;  // an original without translation row
    return IsNotTranslated(StatusOf(table.Cell(first, ColText), table.OriginalEncoding(),
                                    table.Cell(first + 1, ColText), table.TranslationEncoding(),
                                    table.IsStandIn(first + 1)));
}

std::string DocumentReview::InWords(int row) const {
    const EntryTable table = Table();
    std::string out;
    if (table.Paired() && (row & 1) && row < table.RowCount()) {
        const EntryStatus status =
            StatusOf(table.Cell(row - 1, ColText), table.OriginalEncoding(), table.Cell(row, ColText),
                     table.TranslationEncoding(), table.IsStandIn(row));
        if (status == EntryStatus::Missing) out = "Not translated: the .txl has no entry for it";
        if (status == EntryStatus::Same) out = "Not translated: the same text as the original";
    }
    const CheckMask problems = HasProblem(row) ? m_problems[static_cast<size_t>(row)] : 0;
    for (int k = 0; k < kEntryCheckCount; ++k) {
        const auto check = static_cast<EntryCheck>(k);
        if (!(problems & MaskOf(check))) continue;
        if (!out.empty()) out += '\n';
        out += std::string(CheckName(check)) + ": " + EntryChecker::Describe(table, row, check);
    }
    return out;
}

const std::vector<int>& DocumentReview::Filter(std::string_view text, FilterShow show) {
    return m_filter.Apply(Table(), m_problems, text, show);
}

bool DocumentReview::Wanted(int first, FilterShow show) const {
    if (show == FilterShow::NotTranslated) return NotTranslated(first);
    return HasProblem(first) || (Paired() && HasProblem(first + 1));
}

int DocumentReview::Next(int from, bool forward, FilterShow show, std::span<const int> shown,
                         bool& wrapped) const {
    wrapped = false;
    const int step = Paired() ? 2 : 1;
    // Entries as positions among the rows shown (or among all rows).
    const int units =
        shown.empty() ? (m_doc.RowCount() + step - 1) / step : static_cast<int>(shown.size()) / step;
    if (units == 0) return -1;
    auto firstRow = [&](int u) { return shown.empty() ? u * step : shown[static_cast<size_t>(u * step)]; };
    // The entry holding `from` (or the one after it when it is not shown).
    int at = -1;
    if (from >= 0) {
        const int entry = from - (from % step);
        if (shown.empty()) {
            at = entry / step;
        } else {
            const auto it = std::lower_bound(shown.begin(), shown.end(), entry);
            at = static_cast<int>(it - shown.begin()) / step;
            if (it == shown.end() || *it != entry) at -= forward ? 1 : 0;  // between entries
        }
    } else {
        at = forward ? -1 : units;
    }
    for (int i = 1; i <= units; ++i) {
        int u = forward ? at + i : at - i;
        if (u >= units || u < 0) {
            wrapped = true;
            u = ((u % units) + units) % units;
        }
        if (Wanted(firstRow(u), show)) return firstRow(u);
    }
    return -1;
}
