#include "document/review/EntryChecker.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "document/review/TextMarkers.h"

namespace {

// A Global ID as a number: optional '-', then digits and nothing else. Values beyond what a
// Global ID can hold (32-bit) are kept as "out of range" and compared as text.
struct IdValue {
    bool decimal = false;
    bool inRange = false;
    int64_t value = 0;
};

IdValue ParseId(std::string_view id) {
    IdValue v;
    size_t i = 0;
    const bool negative = !id.empty() && id[0] == '-';
    if (negative) ++i;
    if (i == id.size()) return v;
    for (size_t k = i; k < id.size(); ++k)
        if (id[k] < '0' || id[k] > '9') return v;
    v.decimal = true;
    while (i + 1 < id.size() && id[i] == '0') ++i;  // leading zeros do not change the number
    if (id.size() - i > 11) return v;
    int64_t value = 0;
    for (; i < id.size(); ++i) value = value * 10 + (id[i] - '0');
    if (negative) value = -value;
    v.inRange = value >= INT32_MIN && value <= INT32_MAX;
    v.value = value;
    return v;
}

uint64_t Mix(uint64_t h) {
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDu;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53u;
    return h ^ (h >> 33);
}

uint64_t HashBytes(std::string_view s) {
    uint64_t h = 0x9E3779B97F4A7C15u ^ s.size();
    for (const char c : s) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    return Mix(h);
}

// Finds the rows of one file that share a non-empty Global ID. Numbers that are equal are the
// same ID however they are written ("7" and "07"). A slot keeps a row and a few bits of its key,
// so that a probe reads another row's cell only when the key is likely the same.
class DuplicateFinder {
public:
    explicit DuplicateFinder(size_t rows) {
        size_t slots = 4;
        while (slots < 2 * rows) slots *= 2;
        m_slots.assign(slots, Slot{});
    }

    // The row that had this ID before, or -1 when it is new.
    int Insert(const EntryTable& table, int row, std::string_view id, const IdValue& v) {
        const uint64_t h = v.inRange ? Mix(static_cast<uint64_t>(v.value) ^ 0x5DEECE66Du) : HashBytes(id);
        const auto tag = static_cast<uint32_t>(h >> 32);
        const size_t mask = m_slots.size() - 1;
        for (size_t i = h & mask;; i = (i + 1) & mask) {
            Slot& slot = m_slots[i];
            if (slot.row == 0) {
                slot = {static_cast<uint32_t>(row) + 1, tag};
                return -1;
            }
            if (slot.tag != tag) continue;
            const int other = static_cast<int>(slot.row - 1);
            const std::string_view otherId = table.Cell(other, ColGlobalId);
            if (otherId == id) return other;
            if (v.inRange) {
                const IdValue w = ParseId(otherId);
                if (w.inRange && w.value == v.value) return other;
            }
        }
    }

private:
    struct Slot {
        uint32_t row = 0;  // row + 1; 0 is empty
        uint32_t tag = 0;
    };
    std::vector<Slot> m_slots;
};

bool MaybeSpaceAtEnds(std::string_view s) {
    auto plain = [](unsigned char c) { return c > 0x20 && c < 0x80; };
    return s.empty() || !plain(static_cast<unsigned char>(s.front())) ||
           !plain(static_cast<unsigned char>(s.back()));
}

std::string Quote(std::string_view bytes, Encoding encoding) {
    std::string out(1, '"');
    out += ToUtf8(bytes, encoding);
    out += '"';
    return out;
}

std::string SpaceInWords(const std::u32string& space) {
    if (space.empty()) return "none";
    std::string out;
    for (size_t i = 0; i < space.size();) {
        size_t run = 1;
        while (i + run < space.size() && space[i + run] == space[i]) ++run;
        std::string name;
        switch (space[i]) {
            case U' ':
                name = "space";
                break;
            case U'\t':
                name = "tab";
                break;
            case 0xA0:
                name = "no-break space";
                break;
            default: {
                char code[16];
                std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(space[i]));
                name = code;
            }
        }
        if (!out.empty()) out += ", ";
        out += run > 1 ? std::to_string(run) + " " + name + (name[0] == 'U' ? "" : "s") : name;
        i += run;
    }
    return out;
}

std::string PlaceholderWords(const std::vector<Placeholder>& found, Encoding encoding) {
    std::string out;
    for (const Placeholder& p : found) {
        if (!out.empty()) out += ", ";
        out += ToUtf8(p.written, encoding);
        // A positionless printf conversion takes the argument of its place in the text.
        if (p.written.find('$') == std::string_view::npos && p.kind.find('$') != std::string::npos)
            out += " (argument " + p.kind.substr(0, p.kind.find('$')) + ")";
    }
    return out.empty() ? "none" : out;
}

// The placeholders of `from` whose kinds `to` lacks (counting repeats).
std::vector<Placeholder> Unmatched(std::vector<Placeholder> from, std::vector<Placeholder> to) {
    std::vector<Placeholder> out;
    for (Placeholder& p : from) {
        auto it = std::find_if(to.begin(), to.end(), [&p](const Placeholder& q) { return q.kind == p.kind; });
        if (it == to.end())
            out.push_back(std::move(p));
        else
            to.erase(it);
    }
    return out;
}

}  // namespace

CheckMask EntryChecker::CheckPair(const EntryTable& table, int row) const {
    if (!table.HasTranslation(row) || table.IsStandIn(row) || table.IsStandIn(row + 1)) return 0;
    CheckMask found = 0;
    if (Enabled(EntryCheck::PairId) && table.Cell(row, ColGlobalId) != table.Cell(row + 1, ColGlobalId))
        found |= MaskOf(EntryCheck::PairId);
    const std::string_view original = table.Cell(row, ColText);
    const std::string_view translation = table.Cell(row + 1, ColText);
    if (translation.empty()) {
        if (!original.empty() && Enabled(EntryCheck::Empty)) found |= MaskOf(EntryCheck::Empty);
        return found;
    }
    if (Enabled(EntryCheck::Placeholder) && !SamePlaceholders(original, translation))
        found |= MaskOf(EntryCheck::Placeholder);
    if (Enabled(EntryCheck::Accelerator) && original.find('&') != std::string_view::npos &&
        AcceleratorCount(original) == 1 && AcceleratorCount(translation) != 1)
        found |= MaskOf(EntryCheck::Accelerator);
    if (Enabled(EntryCheck::Whitespace) && (MaybeSpaceAtEnds(original) || MaybeSpaceAtEnds(translation))) {
        const Encoding eo = table.OriginalEncoding(), et = table.TranslationEncoding();
        if (LeadingSpace(original, eo) != LeadingSpace(translation, et) ||
            TrailingSpace(original, eo) != TrailingSpace(translation, et))
            found |= MaskOf(EntryCheck::Whitespace);
    }
    if (Enabled(EntryCheck::Parts) && PartCount(original) != PartCount(translation))
        found |= MaskOf(EntryCheck::Parts);
    return found;
}

void EntryChecker::CheckIds(const EntryTable& table, std::vector<CheckMask>& problems) const {
    const bool bad = Enabled(EntryCheck::BadId), duplicate = Enabled(EntryCheck::DuplicateId);
    if (!bad && !duplicate) return;
    const int rows = table.RowCount();
    const int step = table.Step();
    const int64_t last = table.Rows().GetLastGlobalId();
    auto mark = [&problems](int row, EntryCheck check) {
        problems[static_cast<size_t>(row)] |= MaskOf(check);
    };
    // Each file on its own: the original rows, then (in pairs) the translation rows.
    for (int first = 0; first < step && first < rows; ++first) {
        int64_t low = INT64_MAX, high = INT64_MIN;
        size_t count = 0, fileRows = 0;
        for (int r = first; r < rows; r += step) {
            if (table.IsStandIn(r)) continue;
            ++fileRows;
            const IdValue v = ParseId(table.Cell(r, ColGlobalId));
            if (bad && (!v.inRange || v.value > last)) mark(r, EntryCheck::BadId);
            if (v.inRange) {
                low = std::min(low, v.value);
                high = std::max(high, v.value);
                ++count;
            }
        }
        if (!duplicate) continue;
        // Numbers are usually dense: a bit per number seen finds the repeated ones in a pass
        // through memory that stays in the cache, where a hash table would miss it on every row.
        // Other IDs, and numbers spread too thin, go through the hash table.
        const bool dense = count > 0 && static_cast<uint64_t>(high - low) < 64 * static_cast<uint64_t>(count);
        std::vector<uint64_t> seen, repeated;
        if (dense) {
            seen.assign(static_cast<size_t>((high - low) / 64 + 1), 0);
            repeated.assign(seen.size(), 0);
        }
        bool anyRepeated = false;
        DuplicateFinder finder(dense ? fileRows - count : fileRows);
        for (int r = first; r < rows; r += step) {
            if (table.IsStandIn(r)) continue;
            const std::string_view id = table.Cell(r, ColGlobalId);
            if (id.empty()) continue;
            const IdValue v = ParseId(id);
            if (dense && v.inRange) {
                const auto bit = static_cast<uint64_t>(v.value - low);
                uint64_t& word = seen[bit / 64];
                const uint64_t one = uint64_t{1} << (bit % 64);
                if (word & one) {
                    repeated[bit / 64] |= one;
                    anyRepeated = true;
                }
                word |= one;
            } else if (const int before = finder.Insert(table, r, id, v); before >= 0) {
                mark(before, EntryCheck::DuplicateId);
                mark(r, EntryCheck::DuplicateId);
            }
        }
        for (int r = first; anyRepeated && r < rows; r += step) {
            if (table.IsStandIn(r)) continue;
            const IdValue v = ParseId(table.Cell(r, ColGlobalId));
            if (!v.inRange) continue;
            const auto bit = static_cast<uint64_t>(v.value - low);
            if (repeated[bit / 64] >> (bit % 64) & 1) mark(r, EntryCheck::DuplicateId);
        }
    }
}

std::vector<CheckMask> EntryChecker::Run(const EntryTable& table) const {
    const int rows = table.RowCount();
    std::vector<CheckMask> problems(static_cast<size_t>(rows), 0);
    if (table.Paired())
        for (int r = 0; r + 1 < rows; r += 2) problems[static_cast<size_t>(r) + 1] = CheckPair(table, r);
    CheckIds(table, problems);
    return problems;
}

std::string EntryChecker::Describe(const EntryTable& table, int row, EntryCheck check) {
    const Encoding encoding = table.EncodingOf(row);
    const std::string_view id = table.Cell(row, ColGlobalId);
    // The pair checks compare this translation with the original just before it.
    const int originalRow = table.IsTranslation(row) ? row - 1 : row;
    const Encoding eo = table.OriginalEncoding(), et = table.TranslationEncoding();
    const std::string_view original = table.Cell(originalRow, ColText);
    const std::string_view translation = table.Cell(row, ColText);
    switch (check) {
        case EntryCheck::Placeholder: {
            const PercentReading reading = ReadingOfPair(original, translation);
            const std::vector<Placeholder> po = FindPlaceholders(original, reading),
                                           pt = FindPlaceholders(translation, reading);
            const std::vector<Placeholder> lacking = Unmatched(po, pt), extra = Unmatched(pt, po);
            std::string out = "placeholders differ: the translation ";
            if (!lacking.empty()) out += "lacks " + PlaceholderWords(lacking, eo);
            if (!lacking.empty() && !extra.empty()) out += "; it ";
            if (!extra.empty()) out += "has " + PlaceholderWords(extra, et) + " that the original lacks";
            return out;
        }
        case EntryCheck::Accelerator: {
            const int n = AcceleratorCount(translation);
            return "the original has one accelerator (&), the translation " +
                   (n == 0 ? std::string("none") : std::to_string(n));
        }
        case EntryCheck::Whitespace: {
            std::string out;
            const std::u32string lo = LeadingSpace(original, eo), lt = LeadingSpace(translation, et);
            const std::u32string to = TrailingSpace(original, eo), tt = TrailingSpace(translation, et);
            if (lo != lt)
                out = "leading white space differs: the original has " + SpaceInWords(lo) +
                      ", the translation " + SpaceInWords(lt);
            if (to != tt)
                out += (out.empty() ? "" : "; ") +
                       std::string("trailing white space differs: the original has ") + SpaceInWords(to) +
                       ", the translation " + SpaceInWords(tt);
            return out;
        }
        case EntryCheck::Parts:
            return "the original has " + std::to_string(PartCount(original)) +
                   (PartCount(original) == 1 ? " part" : " parts") + " separated by '|', the translation " +
                   std::to_string(PartCount(translation));
        case EntryCheck::Empty:
            return "the translation is empty";
        case EntryCheck::DuplicateId:
            return "Global ID " + Quote(id, encoding) + " is used by another entry of this file";
        case EntryCheck::BadId: {
            const IdValue v = ParseId(id);
            if (!v.decimal) return "Global ID " + Quote(id, encoding) + " is not a decimal integer";
            if (!v.inRange) return "Global ID " + Quote(id, encoding) + " is out of the range of Global IDs";
            return "Global ID " + Quote(id, encoding) + " is above the last Global ID (" +
                   std::to_string(table.Rows().GetLastGlobalId()) + ")";
        }
        case EntryCheck::PairId:
            return "the translation has Global ID " + Quote(id, encoding) + ", its original " +
                   Quote(table.Cell(originalRow, ColGlobalId), eo);
        case EntryCheck::Count:
            break;
    }
    return {};
}
