#pragma once
// The work of the entry commands on a table, without any window: adding an entry, replacing
// text. The dialogs collect the fields and call these. All texts are bytes in the document's
// encoding, as the table holds them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/Status.h"
#include "document/format/TextRules.h"

class GroupList;
class ResourceTable;

namespace EntryCommands {

// The field checks of the entry dialogs. A Group Name may hold neither "|" nor a line break,
// a Text no line break: the file format could not carry them back.
Status CheckGroupName(std::string_view groupName);
Status CheckText(std::string_view text);
Status CheckEntryFields(std::string_view groupName, std::string_view text);

// A decimal integer field, by the rule of TextRules::ParseInteger.
inline std::optional<int32_t> ParseInteger(std::string_view field) {
    return TextRules::ParseInteger(field);
}

// Hands out the entry's Group ID: the group's counter raised by one, or a new group (counter 1)
// when no group of that name exists yet. Returns the new Group ID.
int32_t NumberInGroup(GroupList& groups, std::string_view groupName);

// Adds one entry: checks the fields, numbers the entry in its group and appends its row
// (Global ID, Group Name, Group ID, Text); in localize mode a second, identical row follows as
// the entry's localized twin. On a refused field nothing changes. The last Global ID is not
// touched: the caller reserved the ID before.
Status AddEntry(ResourceTable& store, int32_t globalId, std::string_view groupName, std::string_view text,
                bool localize);

// Sets the Group Name and Text of one row after checking them; Global ID, Group ID and the
// group list stay as they are. A row that does not exist is left alone (still Ok).
Status EditEntry(ResourceTable& store, int row, std::string_view groupName, std::string_view text);

// Replaces every occurrence of `search` in `text`, non-overlapping, left to right in the text
// as it was; inserted text is not searched again. `out` receives the result when the count
// is above 0 (otherwise it is left unspecified). An empty search replaces nothing.
int ReplaceInText(std::string_view text, std::string_view search, std::string_view replacement,
                  std::string& out);

// Scans the Text column from `row` on, over every row of the table, and replaces in the first
// row that holds the search text. Returns that row, with `row` left on it, or -1 with `row` at
// (or past) the row count when no row from `row` on holds it.
int ReplaceNext(ResourceTable& store, int& row, std::string_view search, std::string_view replacement);

// Replaces in the Text column of every row, each row once. Returns the changed rows, ascending.
std::vector<int> ReplaceAll(ResourceTable& store, std::string_view search, std::string_view replacement);

}  // namespace EntryCommands
