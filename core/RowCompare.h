#pragma once
// How two cells of a column compare: as numbers, as dd/mm/yyyy dates, or as text.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class TextCollator;

// Every character is '0'..'9' (the empty text passes).
bool IsAllDigits(std::string_view text);
// Exactly dd/mm/yyyy: 10 characters, digits but for '/' at 2 and 5.
bool IsSlashDate(std::string_view text);
// -1, 0, 1 by the value each text starts with (IntegerText::LeadingInt).
int CompareAsNumbers(std::string_view x, std::string_view y);
// Year (6..9), then month (3..4), then day (0..1), each part by IntegerText::LeadingInt, cut at the text's
// end.
int CompareAsDates(std::string_view x, std::string_view y);

// What a cell compares as, judged from the cell that comes first in a comparison.
enum class CellKind : uint8_t { Number, Date, Text };
CellKind KindOf(std::string_view text);
// The comparison of the sortable table: the kind is decided by `first` alone; ascending compares
// (first, second) by that kind, descending compares (second, first) by the same kind.
int CompareCells(std::string_view first, std::string_view second, bool ascending,
                 const TextCollator& collator);

// The order in which the given cells go when sorted with CompareCells: result[k] is the index of
// the cell that goes to place k. Works from precomputed per-cell keys, and always returns a
// permutation, even when the cells are of mixed kinds and the comparison is not a consistent
// order. `threads` (1 or 2) is the number of threads used for text keys and the sort.
std::vector<uint32_t> SortOrder(std::span<const std::string_view> cells, bool ascending,
                                const TextCollator& collator, int threads = 2);
