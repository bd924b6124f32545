#include "dialogs/EditDlg.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/QuillmereDlg.h"
#include "app/UserPrompts.h"
#include "dialogs/DialogBuilder.h"
#include "dialogs/DialogFields.h"
#include "document/EntryCommands.h"
#include "res/resource.h"

CEditDlg::CEditDlg(CQuillmereDlg* parent) : QDialog(parent), m_pParent(parent) {
    m_pBuilder = std::make_unique<DialogBuilder>(this, FindDialogTemplate(IDD_EDIT));
    connect(m_pBuilder->Get<QPushButton>(IDC_ENTRYOK), &QPushButton::clicked, this, &CEditDlg::OnOK);
    connect(m_pBuilder->Get<QPushButton>(IDCANCEL), &QPushButton::clicked, this, &CEditDlg::reject);
    m_pBuilder->Get<QPlainTextEdit>(IDC_TEXT)->installEventFilter(this);
    // The Group ID is shown, not edited: an entry keeps the number its group gave it.
    m_pBuilder->Get<QLineEdit>(IDC_GROUPID)->setReadOnly(true);
}

CEditDlg::~CEditDlg() = default;

QWidget* CEditDlg::Control(int id) const {
    return m_pBuilder->Control(id);
}

bool CEditDlg::UpdateData() {
    if (m_bFillFields) {
        m_bFillFields = false;
        FillFields();
    } else {
        ReadFields();
    }
    return true;
}

void CEditDlg::ReadFields() {
    m_strGroupName = DialogFields::GroupNameAsStored(m_pBuilder->Get<QLineEdit>(IDC_GROUPNAME)->text());
    m_strGroupId = m_pBuilder->Get<QLineEdit>(IDC_GROUPID)->text();
    m_strText = DialogFields::PlainText(m_pBuilder->Get<QPlainTextEdit>(IDC_TEXT));
}

void CEditDlg::FillFields() {
    m_pBuilder->Get<QLineEdit>(IDC_GROUPNAME)->setText(m_strGroupName);
    m_pBuilder->Get<QLineEdit>(IDC_GROUPID)->setText(m_strGroupId);
    m_pBuilder->Get<QPlainTextEdit>(IDC_TEXT)->setPlainText(m_strText);
}

void CEditDlg::showEvent(QShowEvent* event) {
    if (!m_bInitDone) {
        m_bInitDone = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CEditDlg::OnInitDialog() {
    m_bFillFields = true;
    UpdateData();
    UpdateData();
    m_bFillFields = true;
    const CSortListCtrl& list = *m_pParent->m_list;
    m_strGroupName = list.GetCellText(list.GetSelectionMark(), 1);
    m_strGroupId = list.GetCellText(list.GetSelectionMark(), 2);
    m_strText = list.GetCellText(list.GetSelectionMark(), 3);
    UpdateData();
    m_pBuilder->Control(IDC_ENTRYOK)->setFocus(Qt::OtherFocusReason);
}

void CEditDlg::OnOK() {
    UpdateData();

    CSortListCtrl& list = *m_pParent->m_list;
    const int row = list.GetSelectionMark();
    if (row >= 0 && row < list.GetRowCount()) {
        std::string name, text;
        if (!DialogFields::PrepareEntryFields(*m_pParent, this, m_pBuilder->Control(IDC_GROUPNAME),
                                              m_strGroupName, m_pBuilder->Control(IDC_TEXT), m_strText, name,
                                              text))
            return;
        RowStore& store = list.Store();
        const bool changed = store.Cell(row, ColGroupName) != name || store.Cell(row, ColText) != text;
        EntryCommands::EditEntry(store, row, name, text);  // the fields passed its checks above
        if (changed) {
            list.NotifyRowsChanged(row, row);
            m_pParent->SetModified(true);
        }
    }

    m_bFillFields = true;
    UpdateData();
    UpdateData();
    accept();
}

bool CEditDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pBuilder->Control(IDC_TEXT) && DialogFields::IsEnterKey(event)) {
        OnOK();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
