#include "document/model/EntryEdits.h"

#include "document/format/TextRules.h"
#include "document/linklist.h"

namespace EntryEdits {

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

}  // namespace EntryEdits
