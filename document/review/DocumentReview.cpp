#include "document/review/DocumentReview.h"

#include "document/review/EntryChecker.h"

EntryTable DocumentReview::Table() const {
    return m_doc.Table();
}

bool DocumentReview::Paired() const {
    return m_doc.Source() == RowSource::Pairs;
}

void DocumentReview::Recheck() {
    const EntryTable table = Table();
    m_problems = EntryChecker().Run(table);
    m_counts = EntryStats::Count(table, m_problems, false).total;
    m_filter.Reset();
    const int rows = table.RowCount();
    m_idHashes.resize(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) m_idHashes[static_cast<size_t>(r)] = IdHash(table.Cell(r, ColGlobalId));
    m_statuses.clear();
    if (table.Paired())
        for (int r = 0; r < rows; r += 2) m_statuses.push_back(static_cast<uint8_t>(StatusAt(table, r)));
}

uint32_t DocumentReview::IdHash(std::string_view id) {
    uint32_t h = 2166136261u;
    for (const char c : id) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

EntryStatus DocumentReview::StatusAt(const EntryTable& table, int first) const {
    if (first + 1 >= table.RowCount()) return EntryStatus::Missing;
    return StatusOf(table.Cell(first, ColText), table.OriginalEncoding(), table.Cell(first + 1, ColText),
                    table.TranslationEncoding(), table.IsStandIn(first + 1));
}

void DocumentReview::Count(int first, EntryStatus status, int sign) {
    const int step = Paired() ? 2 : 1;
    CheckMask any = 0;
    for (int r = first; r < first + step && static_cast<size_t>(r) < m_problems.size(); ++r) {
        const CheckMask m = m_problems[static_cast<size_t>(r)];
        any |= m;
        for (int k = 0; k < kEntryCheckCount; ++k)
            m_counts.byCheck[static_cast<size_t>(k)] += sign * static_cast<int>((m >> k) & 1);
    }
    if (any) m_counts.withProblems += sign;
    if (!Paired()) return;
    m_counts.translated += sign * (status == EntryStatus::Translated);
    m_counts.missing += sign * (status == EntryStatus::Missing);
    m_counts.same += sign * (status == EntryStatus::Same);
}

bool DocumentReview::RecheckChanged(int first, int last) {
    const EntryTable table = Table();
    if (static_cast<size_t>(table.RowCount()) != m_problems.size() || first < 0 || last >= table.RowCount())
        return false;
    for (int r = first; r <= last; ++r)
        if (IdHash(table.Cell(r, ColGlobalId)) != m_idHashes[static_cast<size_t>(r)]) return false;
    // The Global IDs are as they were, so the Global ID checks still hold everywhere.
    constexpr CheckMask kIdChecks = MaskOf(EntryCheck::DuplicateId) | MaskOf(EntryCheck::BadId);
    const int step = Paired() ? 2 : 1;
    const EntryChecker checker;
    for (int e = first - first % step; e <= last; e += step) {
        const size_t entry = static_cast<size_t>(e / step);
        const EntryStatus before =
            Paired() ? static_cast<EntryStatus>(m_statuses[entry]) : EntryStatus::Missing;
        Count(e, before, -1);
        if (Paired() && e + 1 < table.RowCount()) {
            CheckMask& m = m_problems[static_cast<size_t>(e) + 1];
            m = static_cast<CheckMask>((m & kIdChecks) | checker.CheckPair(table, e));
        }
        const EntryStatus after = Paired() ? StatusAt(table, e) : EntryStatus::Missing;
        if (Paired()) m_statuses[entry] = static_cast<uint8_t>(after);
        Count(e, after, 1);
    }
    m_filter.Reset();
    return true;
}

bool DocumentReview::Reordered(const std::vector<int>& order) {
    const size_t rows = m_problems.size();
    if (order.size() != rows || m_idHashes.size() != rows) return false;
    const bool paired = Paired();
    if (paired) {
        if (m_statuses.size() != (rows + 1) / 2) return false;
        for (size_t i = 0; i < rows; i += 2) {
            const int from = order[i];
            if (from < 0 || from % 2 != 0) return false;
            if (i + 1 < rows && order[i + 1] != from + 1) return false;
        }
    }
    for (const int from : order)
        if (from < 0 || static_cast<size_t>(from) >= rows) return false;
    std::vector<CheckMask> problems(rows);
    std::vector<uint32_t> hashes(rows);
    for (size_t i = 0; i < rows; ++i) {
        const auto from = static_cast<size_t>(order[i]);
        problems[i] = m_problems[from];
        hashes[i] = m_idHashes[from];
    }
    if (paired) {
        std::vector<uint8_t> statuses(m_statuses.size());
        for (size_t i = 0; i < rows; i += 2) statuses[i / 2] = m_statuses[static_cast<size_t>(order[i]) / 2];
        m_statuses = std::move(statuses);
    }
    m_problems = std::move(problems);
    m_idHashes = std::move(hashes);
    m_filter.Reset();
    return true;
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
    if (show == FilterShow::All && NotTranslated(first)) return true;
    return HasProblem(first) || (Paired() && HasProblem(first + 1));
}

int DocumentReview::Next(int from, bool forward, FilterShow show, const RowScope& scope,
                         bool& wrapped) const {
    wrapped = false;
    const int step = Paired() ? 2 : 1;
    const int rowCount = m_doc.RowCount();
    const bool all = scope.All();
    const std::span<const int> shown =
        all ? std::span<const int>()
            : std::span<const int>(scope.Rows()).first(static_cast<size_t>(scope.Count(rowCount)));
    // Entries as positions among the rows shown (or among all rows).
    const int units = all ? (rowCount + step - 1) / step : static_cast<int>(shown.size()) / step;
    if (units == 0) return -1;
    auto firstRow = [&](int u) { return all ? u * step : shown[static_cast<size_t>(u * step)]; };
    // The entry holding `from` (or the one after it when it is not shown).
    int at = -1;
    if (from >= 0) {
        const int entry = from - (from % step);
        if (all) {
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
