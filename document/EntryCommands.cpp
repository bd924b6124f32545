#include "document/EntryCommands.h"

#include <array>
#include <limits>

#include "core/RowStore.h"
#include "document/linklist.h"

namespace EntryCommands {

namespace {

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

Status CheckGroupName(std::string_view groupName) {
    if (groupName.find('|') != std::string_view::npos)
        return Status::Error("The Group Name cannot contain \"|\": it separates the fields in the file.");
    if (HasLineBreak(groupName)) return Status::Error("The Group Name cannot contain a line break.");
    return Status::Ok();
}

Status CheckText(std::string_view text) {
    if (HasLineBreak(text)) return Status::Error("The Text cannot contain a line break.");
    return Status::Ok();
}

Status CheckEntryFields(std::string_view groupName, std::string_view text) {
    if (Status s = CheckGroupName(groupName); !s) return s;
    return CheckText(text);
}

std::optional<int32_t> ParseInteger(std::string_view field) {
    size_t begin = 0, end = field.size();
    while (begin < end && IsBlank(field[begin])) ++begin;
    while (end > begin && IsBlank(field[end - 1])) --end;
    std::string_view digits = field.substr(begin, end - begin);
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty()) return std::nullopt;
    // Read the magnitude in 64 bits; more than 10 significant digits is out of range anyway.
    int64_t magnitude = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1) return std::nullopt;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

int32_t NumberInGroup(GroupList& groups, std::string_view groupName) {
    if (groups.Find(groupName) != 0)
        groups.Increment(groupName);
    else
        groups.Append(std::string(groupName));
    return groups.GetCounter(groupName);
}

Status AddEntry(RowStore& store, int32_t globalId, std::string_view groupName, std::string_view text,
                bool localize) {
    if (Status s = CheckEntryFields(groupName, text); !s) return s;
    const std::string globalIdText = std::to_string(globalId);
    const std::string groupIdText = std::to_string(NumberInGroup(store.Groups(), groupName));
    const std::array<std::string_view, 4> cells = {globalIdText, groupName, groupIdText, text};
    store.AppendRow(cells);
    if (localize) store.AppendRow(cells);
    return Status::Ok();
}

Status EditEntry(RowStore& store, int row, std::string_view groupName, std::string_view text) {
    if (Status s = CheckEntryFields(groupName, text); !s) return s;
    if (row < 0 || row >= store.GetRowCount()) return Status::Ok();
    if (store.Cell(row, ColGroupName) != groupName) store.SetCellText(row, ColGroupName, groupName);
    if (store.Cell(row, ColText) != text) store.SetCellText(row, ColText, text);
    return Status::Ok();
}

int ReplaceInText(std::string_view text, std::string_view search, std::string_view replacement,
                  std::string& out) {
    if (search.empty()) return 0;
    size_t hit = text.find(search);
    if (hit == std::string_view::npos) return 0;
    out.clear();
    int count = 0;
    size_t from = 0;
    while (hit != std::string_view::npos) {
        out.append(text.data() + from, hit - from);
        out.append(replacement);
        ++count;
        from = hit + search.size();
        hit = text.find(search, from);
    }
    out.append(text.data() + from, text.size() - from);
    return count;
}

int ReplaceNext(RowStore& store, int& row, std::string_view search, std::string_view replacement) {
    if (row < 0) row = 0;
    std::string result;
    for (const int rows = store.GetRowCount(); row < rows; ++row) {
        if (ReplaceInText(store.Cell(row, ColText), search, replacement, result) > 0) {
            store.SetCellText(row, ColText, result);
            return row;
        }
    }
    return -1;
}

std::vector<int> ReplaceAll(RowStore& store, std::string_view search, std::string_view replacement) {
    std::vector<int> changed;
    if (search.empty()) return changed;
    std::string result;
    const int rows = store.GetRowCount();
    for (int row = 0; row < rows; ++row) {
        if (ReplaceInText(store.Cell(row, ColText), search, replacement, result) > 0) {
            store.SetCellText(row, ColText, result);
            changed.push_back(row);
        }
    }
    return changed;
}

}  // namespace EntryCommands
