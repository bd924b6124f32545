#pragma once
// The New prompt: asks for a bare file name and stores it, with ".txr" added, in the
// main window's m_strFileName.
#include "dialogs/FileNamePrompt.h"

class CNewDlg : public CFileNamePrompt {
    Q_OBJECT
public:
    explicit CNewDlg(CQuillmereDlg* parent);
};
