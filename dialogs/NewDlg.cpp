#include "dialogs/NewDlg.h"

#include "app/QuillmereDlg.h"
#include "res/resource.h"

CNewDlg::CNewDlg(CQuillmereDlg* parent)
    : CFileNamePrompt(parent, IDD_NEW, QStringLiteral(".txr"), &CQuillmereDlg::m_strFileName) {}
