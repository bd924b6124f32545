#include "document/review/EntryFilter.h"

#include <cstring>
#include <system_error>
#include <thread>

#include "document/review/EntryStatus.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool IsAsciiLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A text to find with ASCII letters in either case: each byte compares as (b | mask) == byte,
// the mask 0x20 for letters (folding upper case onto lower) and 0 for everything else.
class FoldedNeedle {
public:
    FoldedNeedle() = default;
    explicit FoldedNeedle(std::string_view text) : m_valid(true) {
        for (const char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            const bool letter = IsAsciiLetter(c);
            m_bytes.push_back(static_cast<char>(letter ? (c | 0x20) : c));
            m_masks.push_back(static_cast<char>(letter ? 0x20 : 0));
        }
    }
    bool Valid() const { return m_valid; }
    size_t size() const { return m_bytes.size(); }

    bool MatchesAt(const char* p) const {
        for (size_t k = 0; k < m_bytes.size(); ++k)
            if ((p[k] | m_masks[k]) != m_bytes[k]) return false;
        return true;
    }

    // Calls accept(offset) for each place in `hay` where the text stands, until it returns true.
    template <class Accept>
    bool Find(std::string_view hay, Accept accept) const {
        const size_t m = m_bytes.size();
        if (m == 0 || hay.size() < m) return false;
        const char* p = hay.data();
        const size_t last = hay.size() - m;  // last possible start
        size_t i = 0;
#if defined(__SSE2__)
        // Candidates are the places where the first and the last byte both fit.
        const __m128i first = _mm_set1_epi8(m_bytes[0]), firstMask = _mm_set1_epi8(m_masks[0]);
        const __m128i lastByte = _mm_set1_epi8(m_bytes[m - 1]), lastMask = _mm_set1_epi8(m_masks[m - 1]);
        for (; i + 16 <= last + 1; i += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + m - 1));
            const __m128i hits = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, firstMask), first),
                                               _mm_cmpeq_epi8(_mm_or_si128(b, lastMask), lastByte));
            for (unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(hits)); bits; bits &= bits - 1) {
                const size_t at = i + static_cast<size_t>(__builtin_ctz(bits));
                if (MatchesAt(p + at) && accept(at)) return true;
            }
        }
#endif
        for (; i <= last; ++i)
            if (MatchesAt(p + i) && accept(i)) return true;
        return false;
    }

private:
    std::string m_bytes;
    std::string m_masks;
    bool m_valid = false;
};

// Whether a row holds the text in its Global ID, Group Name or Text (not in its Group ID, nor
// across two cells).
bool RowHas(const ResourceTable& rows, int row, const FoldedNeedle& needle) {
    const std::string_view bytes = rows.RowBytes(row);
    return needle.Find(bytes, [&](size_t at) {
        const size_t end = at + needle.size();
        const size_t idEnd = rows.Cell(row, ColGlobalId).size();
        if (end <= idEnd) return true;
        const size_t nameEnd = idEnd + rows.Cell(row, ColGroupName).size();
        if (at >= idEnd && end <= nameEnd) return true;
        const size_t textStart = bytes.size() - rows.Cell(row, ColText).size();
        return at >= textStart;
    });
}

}  // namespace

const std::vector<int>& EntryFilter::Apply(const EntryTable& table, std::span<const CheckMask> problems,
                                           std::string_view text, FilterShow show) {
    const int rowCount = table.RowCount();
    const bool narrowing = m_valid && show == m_show && text.find(m_text) != std::string_view::npos;
    std::vector<int> candidates;
    if (narrowing) candidates.swap(m_rows);
    m_rows.clear();
    m_text = std::string(text);
    m_show = show;
    m_valid = true;
    if (show == FilterShow::NotTranslated && !table.Paired()) return m_rows;

    // The text in each file's encoding; a text Latin-1 cannot hold is in no Latin-1 row.
    FoldedNeedle needles[2];
    for (int file = 0; file < 2; ++file) {
        const Encoding encoding = file ? table.TranslationEncoding() : table.OriginalEncoding();
        std::string bytes;
        if (encoding == Encoding::Utf8)
            needles[file] = FoldedNeedle(text);
        else if (Utf8ToLatin1(text, bytes))
            needles[file] = FoldedNeedle(bytes);
    }
    const int step = table.Step();
    auto consider = [&](int first, std::vector<int>& out) {
        const int count = std::min(step, rowCount - first);
        if (show == FilterShow::NotTranslated) {
            const EntryStatus status =
                count < 2 ? EntryStatus::Missing
                          : StatusOf(table.Cell(first, ColText), table.OriginalEncoding(),
                                     table.Cell(first + 1, ColText), table.TranslationEncoding(),
                                     table.IsStandIn(first + 1));
            if (!IsNotTranslated(status)) return;
        } else if (show == FilterShow::WithProblems) {
            bool any = false;
            for (int r = first; r < first + count; ++r)
                any = any || (static_cast<size_t>(r) < problems.size() && problems[static_cast<size_t>(r)]);
            if (!any) return;
        }
        if (!text.empty()) {
            bool found = false;
            for (int r = first; r < first + count && !found; ++r) {
                const FoldedNeedle& needle = needles[table.IsTranslation(r) ? 1 : 0];
                found = needle.Valid() && RowHas(table.Rows(), r, needle);
            }
            if (!found) return;
        }
        for (int r = first; r < first + count; ++r) out.push_back(r);
    };
    // Units (pairs, or rows) to look at: every one, or those shown for the shorter text.
    const size_t units = narrowing ? candidates.size() / static_cast<size_t>(step)
                                   : static_cast<size_t>((rowCount + step - 1) / step);
    auto firstRow = [&](size_t u) {
        return narrowing ? candidates[u * static_cast<size_t>(step)] : static_cast<int>(u) * step;
    };
    // Rows a few entries ahead are fetched while this one is searched.
    constexpr size_t kAhead = 8;
    auto scan = [&](size_t from, size_t to, std::vector<int>& out) {
        for (size_t u = from; u < to; ++u) {
            const int first = firstRow(u);
            if (first >= rowCount) break;
            if (u + kAhead < to) {
                const int ahead = firstRow(u + kAhead);
                for (int r = ahead; r < ahead + step && r < rowCount; ++r) table.Rows().PrefetchRow(r);
            }
            consider(first, out);
        }
    };
    // A large table is searched in two halves at once.
    constexpr size_t kSplitFrom = 100000;
    if (units >= kSplitFrom) {
        std::vector<int> secondHalf;
        try {
            std::jthread helper([&] { scan(units / 2, units, secondHalf); });
            scan(0, units / 2, m_rows);
        } catch (const std::system_error&) {  // no thread to be had: one after the other
            m_rows.clear();
            secondHalf.clear();
            scan(0, units / 2, m_rows);
            scan(units / 2, units, secondHalf);
        }
        m_rows.insert(m_rows.end(), secondHalf.begin(), secondHalf.end());
    } else {
        scan(0, units, m_rows);
    }
    return m_rows;
}
