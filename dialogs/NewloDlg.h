#pragma once
// The New Localized Version prompt: asks for a bare file name and stores it, with ".txl" added, in the
// main window's m_strLocFileName.
#include "dialogs/FileNamePrompt.h"

class CNewloDlg : public CFileNamePrompt {
    Q_OBJECT
public:
    explicit CNewloDlg(CQuillmereDlg* parent);
};
