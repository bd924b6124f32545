#pragma once
// The New Localized Version prompt: asks for a file name and gives it, with ".txl" added, to the
// window as its localized file name.
#include "dialogs/FileNamePrompt.h"

class CNewloDlg : public CFileNamePrompt {
    Q_OBJECT
public:
    explicit CNewloDlg(EntryHost* host);
};
