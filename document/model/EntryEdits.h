#pragma once
// The pieces the Document's entry edits are made of, and the field checks the entry dialogs
// share with it. All texts are bytes in the document's encoding, as the table holds them.
#include <cstdint>
#include <string>
#include <string_view>

#include "document/Status.h"

class GroupList;

namespace EntryEdits {

// The field checks of Add, Edit and Replace. A Group Name may hold neither "|" nor a line
// break, a Text no line break: the file format could not carry them back.
Status CheckGroupName(std::string_view groupName);
Status CheckText(std::string_view text);
Status CheckEntryFields(std::string_view groupName, std::string_view text);

// Hands out an added entry's Group ID: the group's counter raised by one, or a new group
// (counter 1) at the end of the list when no group has that name (names compare exactly).
// Returns the new Group ID.
int32_t NumberInGroup(GroupList& groups, std::string_view groupName);

// Replaces every occurrence of `search` in `text`, non-overlapping, left to right in the text
// as it was; inserted text is not searched again. `out` receives the result when the count
// is above 0 (otherwise it is left unspecified). An empty search replaces nothing.
int ReplaceInText(std::string_view text, std::string_view search, std::string_view replacement,
                  std::string& out);

}  // namespace EntryEdits
