// The dialog templates and the menu of the editor.
#include <stdexcept>

#include "res/DialogTemplate.h"
#include "res/resource.h"

namespace {

using K = ControlKind;
constexpr unsigned TS = StyleTabStop;
constexpr unsigned EDIT = StyleTabStop | StyleBorder | StyleAutoHScroll;
constexpr unsigned MULTI = StyleTabStop | StyleBorder | StyleAutoHScroll | StyleAutoVScroll | StyleVScroll;

DialogTemplate FileNamePromptTemplate(int id, const char* caption, int height) {
    return {id,
            caption,
            203,
            height,
            "MS Sans Serif",
            10,
            {
                {IDOK, K::DefPushButton, "OK", 39, 66, 50, 14, TS},
                {IDCANCEL, K::PushButton, "Cancel", 99, 66, 50, 14, TS},
                {IDC_FILENAME, K::Edit, "", 17, 38, 166, 15, EDIT},
                {-1, K::Label, "Please enter the file name of the text resource file (No extension required)",
                 15, 15, 166, 18, StyleNone},
            }};
}

const std::vector<DialogTemplate>& Templates() {
    static const std::vector<DialogTemplate> templates = {
        {IDD_QUILLMERE_DIALOG,
         "Quillmere",
         538,
         303,
         "MS Sans Serif",
         8,
         {
             {IDC_ADD, K::PushButton, "Add", 477, 49, 43, 14, TS},
             {IDC_DELETE, K::PushButton, "Delete", 477, 68, 43, 14, TS},
             {IDC_DELETEALL, K::PushButton, "Delete All", 477, 86, 43, 14, TS},
             {IDC_EDIT, K::PushButton, "Edit", 477, 113, 43, 14, TS},
             {IDC_REPLACE, K::PushButton, "Replace", 477, 137, 43, 14, TS},
             {IDC_SEARCHID, K::Edit, "", 59, 7, 47, 14, EDIT},
             {IDC_SEARCH, K::PushButton, "Search", 330, 7, 43, 14, TS},
             {IDC_LIST, K::ListView, "", 7, 49, 457, 226, TS | StyleBorder | StyleShowSelAlways},
             {IDCANCEL, K::PushButton, "Exit", 477, 185, 43, 14, TS},
             {IDC_SHOWORIGINAL, K::RadioButton, "Show Original Text", 65, 30, 82, 14, TS | StyleDisabled},
             {IDC_SHOWLOCALIZED, K::RadioButton, "Show Localized Text", 155, 30, 78, 14, TS | StyleDisabled},
             {IDC_SHOWBOTH, K::RadioButton, "Show Both", 251, 30, 64, 14, TS | StyleDisabled},
             {IDC_LOCALIZE, K::CheckBox, "Localize", 7, 30, 48, 12, TS},
             {IDC_RADIOGLOBALID, K::RadioButton, "Global ID", 7, 9, 44, 8, StyleGroup},
             {IDC_RADIOTEXTSTRING, K::RadioButton, "Text String", 120, 9, 59, 8, StyleNone},
             {IDC_SEARCHTEXT, K::Edit, "", 187, 7, 126, 15, EDIT},
         },
         true},
        {IDD_ADD,
         "Add",
         284,
         164,
         "MS Sans Serif",
         8,
         {
             {IDC_ENTRYOK, K::DefPushButton, "OK", 75, 135, 50, 14, TS},
             {IDCANCEL, K::PushButton, "Cancel", 149, 135, 50, 14, TS},
             {IDC_GROUPNAME, K::Edit, "", 75, 40, 98, 12, EDIT},
             {IDC_TEXT, K::MultiLineEdit, "", 75, 62, 175, 57, MULTI},
             {-1, K::Label, "Group Name:", 19, 41, 47, 9, StyleNone},
             {-1, K::Label, "Text:", 19, 62, 32, 9, StyleNone},
             {-1, K::Label, "Global ID:", 19, 20, 35, 11, StyleNone},
             {IDC_GLOBALID, K::Edit, "", 75, 18, 60, 12, EDIT},
         }},
        {IDD_EDIT,
         "Edit",
         288,
         167,
         "MS Sans Serif",
         8,
         {
             {IDC_ENTRYOK, K::DefPushButton, "OK", 67, 135, 50, 14, TS},
             {IDCANCEL, K::PushButton, "Cancel", 141, 135, 50, 14, TS},
             {IDC_GROUPNAME, K::Edit, "", 93, 17, 102, 12, EDIT},
             {IDC_GROUPID, K::Edit, "", 93, 39, 102, 12, EDIT},
             {-1, K::Label, "Group Name:", 19, 18, 58, 9, StyleNone},
             {-1, K::Label, "Group ID:", 19, 40, 32, 9, StyleNone},
             {-1, K::Label, "Text:", 19, 62, 32, 9, StyleNone},
             {IDC_TEXT, K::MultiLineEdit, "", 93, 62, 172, 57, MULTI},
         }},
        // The two file name prompts differ only in id, caption and height.
        FileNamePromptTemplate(IDD_NEWLO, "New Locailized Version", 97),
        FileNamePromptTemplate(IDD_NEW, "New", 96),
        {IDD_REPLACE,
         "Replace",
         258,
         161,
         "MS Sans Serif",
         8,
         {
             {IDOK, K::DefPushButton, "Replace", 33, 132, 50, 14, TS},
             {IDCANCEL, K::PushButton, "Cancel", 173, 132, 50, 14, TS},
             {IDC_SEARCHFOR, K::Edit, "", 36, 31, 180, 30, EDIT},
             {IDC_REPLACEWITH, K::Edit, "", 36, 85, 180, 30, EDIT},
             {-1, K::Label, "Search text:", 38, 15, 39, 8, StyleNone},
             {-1, K::Label, "Replace With:", 36, 71, 46, 8, StyleNone},
             {IDC_REPLACEALL, K::DefPushButton, "Replace All", 103, 132, 50, 14, TS},
         }},
    };
    return templates;
}

}  // namespace

const DialogTemplate& FindDialogTemplate(int id) {
    for (const DialogTemplate& t : Templates())
        if (t.id == id) return t;
    throw std::out_of_range("no dialog template " + std::to_string(id));
}

const std::vector<MenuTemplate>& MainMenuTemplate() {
    static const std::vector<MenuTemplate> menu = {
        {"&File",
         {
             {ID_FILE_NEW, "&New\tCtrl+N"},
             {ID_FILE_OPEN, "&Open\tCtrl+O"},
             {ID_FILE_OPENWITHLOCALIZED, "Open w/ Localized Text", true},
             {0, ""},
             {ID_FILE_NEWLOCALIZED, "New Localized Version"},
             {ID_FILE_OPENLOCALIZED, "Open Localized Version"},
             {0, ""},
             {ID_FILE_SAVE, "&Save\tCtrl+S"},
             {ID_FILE_SAVEAS, "Save As"},
             {0, ""},
             {ID_FILE_EXPORT, "Export..."},
             {ID_FILE_IMPORT, "Import Translations..."},
             {0, ""},
             {ID_FILE_EXIT, "Exit"},
         }},
        {"&Entry",
         {
             {ID_ENTRY_ADD, "&Add\tCtrl+A"},
             {ID_ENTRY_EDIT, "&Edit\tCtrl+E"},
             {0, ""},
             {ID_ENTRY_DELETE, "&Delete\tCtrl+D"},
             {ID_ENTRY_DELETEALL, "Delete All"},
         }},
        {"&Search", {{ID_SEARCH_REPLACE, "Search and Replace"}}},
    };
    return menu;
}
