#include "document/model/EntryCommands.h"

#include <array>

#include "document/format/ResourceTable.h"
#include "document/format/TextRules.h"
#include "document/linklist.h"

namespace EntryCommands {

Status CheckGroupName(std::string_view groupName) {
    if (groupName.find('|') != std::string_view::npos)
        return Status::Error("The Group Name cannot contain \"|\": it separates the fields in the file.");
    if (TextRules::HasLineBreak(groupName))
        return Status::Error("The Group Name cannot contain a line break.");
    return Status::Ok();
}

Status CheckText(std::string_view text) {
    if (TextRules::HasLineBreak(text)) return Status::Error("The Text cannot contain a line break.");
    return Status::Ok();
}

Status CheckEntryFields(std::string_view groupName, std::string_view text) {
    if (Status s = CheckGroupName(groupName); !s) return s;
    return CheckText(text);
}

int32_t NumberInGroup(GroupList& groups, std::string_view groupName) {
    if (groups.Find(groupName) != 0)
        groups.Increment(groupName);
    else
        groups.Append(std::string(groupName));
    return groups.GetCounter(groupName);
}

Status AddEntry(ResourceTable& store, int32_t globalId, std::string_view groupName, std::string_view text,
                bool localize) {
    if (Status s = CheckEntryFields(groupName, text); !s) return s;
    const std::string globalIdText = std::to_string(globalId);
    const std::string groupIdText = std::to_string(NumberInGroup(store.Groups(), groupName));
    const std::array<std::string_view, 4> cells = {globalIdText, groupName, groupIdText, text};
    store.AppendRow(cells);
    if (localize) store.AppendRow(cells);
    return Status::Ok();
}

Status EditEntry(ResourceTable& store, int row, std::string_view groupName, std::string_view text) {
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

int ReplaceNext(ResourceTable& store, int& row, std::string_view search, std::string_view replacement) {
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

std::vector<int> ReplaceAll(ResourceTable& store, std::string_view search, std::string_view replacement) {
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
