#include "dialogs/NewDlg.h"

#include "res/resource.h"

CNewDlg::CNewDlg(EntryHost* host) : CFileNamePrompt(host, IDD_NEW, QStringLiteral(".txr"), false) {}
