#pragma once
// Which rows of a document are shown for a typed text and a choice of All / Not translated /
// With problems. Works on the table's bytes directly, so that a keystroke refilters a million
// rows at once; the filter only chooses rows, it changes nothing in the table.
//
// A pair (or, outside pairs, a row) is shown when
// - the text is empty, or the Global ID, Group Name or Text of one of its rows contains it,
//   ignoring the case of ASCII letters (other characters must match as they are), each row
//   searched in its file's encoding; and
// - for NotTranslated, its status is missing or same (an original without translation row
//   counts as missing; outside pairs no row has a status and none is shown); for WithProblems,
//   one of its rows has a problem.
// Both rows of a pair are shown or neither; the rows come in table order.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/model/EntryTable.h"
#include "document/review/EntryCheck.h"

enum class FilterShow : uint8_t { All, NotTranslated, WithProblems };

class EntryFilter {
public:
    // The rows shown for `text` (UTF-8) and `show`; `problems` holds one mask per row (needed
    // for WithProblems only). When the table is as at the last call (see Reset) and the text
    // holds the last text, only the rows shown then are searched again.
    const std::vector<int>& Apply(const EntryTable& table, std::span<const CheckMask> problems,
                                  std::string_view text, FilterShow show);
    // The table or its problems changed: the next Apply looks at every row.
    void Reset() { m_valid = false; }
    const std::vector<int>& Rows() const { return m_rows; }
    // Whether every row is shown (empty text and All).
    static bool ShowsAll(std::string_view text, FilterShow show) {
        return text.empty() && show == FilterShow::All;
    }

private:
    std::vector<int> m_rows;
    std::string m_text;
    FilterShow m_show = FilterShow::All;
    bool m_valid = false;
};
