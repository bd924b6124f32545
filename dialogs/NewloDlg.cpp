#include "dialogs/NewloDlg.h"

#include "app/QuillmereDlg.h"
#include "res/resource.h"

CNewloDlg::CNewloDlg(CQuillmereDlg* parent)
    : CFileNamePrompt(parent, IDD_NEWLO, QStringLiteral(".txl"), &CQuillmereDlg::m_strLocFileName) {}
