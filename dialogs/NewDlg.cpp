#include "dialogs/NewDlg.h"

#include <QLineEdit>
#include <QPushButton>

#include "app/QuillmereDlg.h"
#include "dialogs/DialogBuilder.h"
#include "res/resource.h"

CNewDlg::CNewDlg(CQuillmereDlg* parent) : QDialog(parent), m_pParent(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    m_pBuilder = std::make_unique<DialogBuilder>(this, FindDialogTemplate(IDD_NEW));
    for (int id : {IDOK, IDCANCEL}) m_pBuilder->Get<QPushButton>(id)->setAutoDefault(true);
    m_pBuilder->Get<QPushButton>(IDOK)->setDefault(true);
    connect(m_pBuilder->Get<QPushButton>(IDOK), &QPushButton::clicked, this, &CNewDlg::OnOK);
    connect(m_pBuilder->Get<QPushButton>(IDCANCEL), &QPushButton::clicked, this, &CNewDlg::reject);
    UpdateData(false);
    m_pBuilder->Control(IDOK)->setFocus(Qt::OtherFocusReason);
}

CNewDlg::~CNewDlg() = default;

QWidget* CNewDlg::Control(int id) const {
    return m_pBuilder->Control(id);
}

void CNewDlg::UpdateData(bool save) {
    auto* field = m_pBuilder->Get<QLineEdit>(IDC_FILENAME);
    if (save)
        m_strName = field->text();
    else
        field->setText(m_strName);
}

void CNewDlg::OnOK() {
    UpdateData(true);
    // The name as typed, with the extension added: nothing is trimmed or taken away.
    m_pParent->m_strFileName = m_strName + QStringLiteral(".txr");
    UpdateData(true);
    accept();
}
