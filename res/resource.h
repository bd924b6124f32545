#pragma once
// Resource identifiers: dialog templates, controls, menu commands.

// Dialog templates, menu, icon
constexpr int IDD_QUILLMERE_DIALOG = 102;
constexpr int IDR_MAINFRAME = 128;  // application icon
constexpr int IDD_ADD = 129;
constexpr int IDD_EDIT = 130;
constexpr int IDR_MENU = 132;
constexpr int IDD_NEWLO = 134;
constexpr int IDD_NEW = 135;
constexpr int IDD_REPLACE = 137;

// Standard command identifiers
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDC_REPLACEALL = 3;

// Controls of the main dialog (template 102)
constexpr int IDC_LIST = 1000;
constexpr int IDC_ADD = 1001;
constexpr int IDC_DELETE = 1002;
constexpr int IDC_EDIT = 1003;
constexpr int IDC_SAVE = 1004;  // bound to Save; no control carries it
constexpr int IDC_OPEN = 1005;  // bound to Open; no control carries it
constexpr int IDC_DELETEALL = 1006;
constexpr int IDC_SEARCH = 1007;
constexpr int IDC_SEARCHID = 1008;
constexpr int IDC_REPLACE = 1009;
constexpr int IDC_SHOWORIGINAL = 1010;
constexpr int IDC_SHOWLOCALIZED = 1014;
constexpr int IDC_SHOWBOTH = 1015;
constexpr int IDC_LOCALIZE = 1016;
constexpr int IDC_RADIOGLOBALID = 1017;
constexpr int IDC_RADIOTEXTSTRING = 1018;
constexpr int IDC_SEARCHTEXT = 1019;

// Controls of the entry and prompt dialogs
constexpr int IDC_GROUPNAME = 1002;    // Add, Edit
constexpr int IDC_ENTRYOK = 1003;      // Add, Edit: the OK button
constexpr int IDC_GLOBALID = 1005;     // Add
constexpr int IDC_GROUPID = 1006;      // Edit
constexpr int IDC_TEXT = 1007;         // Add, Edit
constexpr int IDC_FILENAME = 1002;     // New, New Localized Version
constexpr int IDC_SEARCHFOR = 1002;    // Replace
constexpr int IDC_REPLACEWITH = 1003;  // Replace

// Menu commands (menu 132)
constexpr int ID_FILE_SAVE = 32772;
constexpr int ID_FILE_OPEN = 32773;
constexpr int ID_FILE_NEW = 32774;
constexpr int ID_ENTRY_ADD = 32775;
constexpr int ID_ENTRY_DELETE = 32776;
constexpr int ID_ENTRY_DELETEALL = 32777;
constexpr int ID_ENTRY_EDIT = 32778;
constexpr int ID_FILE_OPENWITHLOCALIZED = 32782;
constexpr int ID_FILE_SAVEAS = 32783;
constexpr int ID_FILE_EXIT = 32786;
constexpr int ID_FILE_OPENLOCALIZED = 32787;
constexpr int ID_FILE_NEWLOCALIZED = 32788;
constexpr int ID_SEARCH_REPLACE = 32789;
constexpr int ID_ENTRY_UNDO = 32790;
constexpr int ID_ENTRY_REDO = 32791;
constexpr int ID_FILE_EXPORT = 32792;
constexpr int ID_FILE_IMPORT = 32793;

// Entry menu: going to the next entry still to do.
constexpr int ID_ENTRY_NEXTUNTRANSLATED = 32800;
constexpr int ID_ENTRY_PREVUNTRANSLATED = 32801;
constexpr int ID_ENTRY_NEXTPROBLEM = 32802;
constexpr int ID_ENTRY_PREVPROBLEM = 32803;
