#include "dialogs/EditDlg.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "dialogs/DialogBuilder.h"
#include "dialogs/DialogFields.h"
#include "dialogs/EntryHost.h"
#include "dialogs/UserPrompts.h"
#include "document/model/Document.h"
#include "res/resource.h"

CEditDlg::CEditDlg(EntryHost* host) : QDialog(host->HostWidget()), m_pHost(host) {
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
    const Document& doc = m_pHost->Doc();
    const int row = m_pHost->MarkedRow();
    const auto cell = [&](int column) {
        return row >= 0 && row < doc.RowCount() ? QString::fromStdString(doc.CellUtf8(row, column))
                                                : QString();
    };
    m_strGroupName = cell(ColGroupName);
    m_strGroupId = cell(ColGroupId);
    m_strText = cell(ColText);
    UpdateData();
    m_pBuilder->Control(IDC_ENTRYOK)->setFocus(Qt::OtherFocusReason);
}

void CEditDlg::OnOK() {
    UpdateData();

    const int row = m_pHost->MarkedRow();
    if (row >= 0 && row < m_pHost->Doc().RowCount()) {
        QWidget* nameField = m_pBuilder->Control(IDC_GROUPNAME);
        QWidget* textField = m_pBuilder->Control(IDC_TEXT);
        if (!DialogFields::CheckEntryFields(m_pHost->Prompts(), this, nameField, m_strGroupName, textField,
                                            m_strText))
            return;
        const Status edited =
            m_pHost->Doc().EditEntry(row, DialogFields::Utf8(m_strGroupName), DialogFields::Utf8(m_strText));
        if (DialogFields::Refused(edited, m_pHost->Prompts(), this, textField)) return;
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
