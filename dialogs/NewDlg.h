#pragma once
// The New prompt: asks for a file name and gives it, with ".txr" added, to the window as its
// text resource file name.
#include "dialogs/FileNamePrompt.h"

class CNewDlg : public CFileNamePrompt {
    Q_OBJECT
public:
    explicit CNewDlg(EntryHost* host);
};
