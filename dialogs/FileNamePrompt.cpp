#include "dialogs/FileNamePrompt.h"

#include <QLineEdit>
#include <QPushButton>

#include "app/QuillmereDlg.h"
#include "dialogs/DialogBuilder.h"
#include "res/resource.h"

CFileNamePrompt::CFileNamePrompt(CQuillmereDlg* parent, int templateId, QString extension,
                                 QString CQuillmereDlg::*target)
    : QDialog(parent), m_pParent(parent), m_strExtension(std::move(extension)), m_pTarget(target) {
    m_pBuilder = std::make_unique<DialogBuilder>(this, FindDialogTemplate(templateId));
    connect(m_pBuilder->Get<QPushButton>(IDOK), &QPushButton::clicked, this, &CFileNamePrompt::OnOK);
    connect(m_pBuilder->Get<QPushButton>(IDCANCEL), &QPushButton::clicked, this, &CFileNamePrompt::reject);
    UpdateData(false);
    m_pBuilder->Control(IDOK)->setFocus(Qt::OtherFocusReason);
}

CFileNamePrompt::~CFileNamePrompt() = default;

QWidget* CFileNamePrompt::Control(int id) const {
    return m_pBuilder->Control(id);
}

void CFileNamePrompt::UpdateData(bool save) {
    auto* field = m_pBuilder->Get<QLineEdit>(IDC_FILENAME);
    if (save)
        m_strName = field->text();
    else
        field->setText(m_strName);
}

void CFileNamePrompt::OnOK() {
    UpdateData(true);
    // The name as typed, with the extension added: nothing is trimmed or taken away.
    m_pParent->*m_pTarget = m_strName + m_strExtension;
    UpdateData(true);
    accept();
}
