#include "dialogs/NewloDlg.h"

#include "res/resource.h"

CNewloDlg::CNewloDlg(EntryHost* host) : CFileNamePrompt(host, IDD_NEWLO, QStringLiteral(".txl"), true) {}
