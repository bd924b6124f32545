#include "dialogs/AddDlg.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "dialogs/DialogBuilder.h"
#include "dialogs/DialogFields.h"
#include "dialogs/EntryHost.h"
#include "dialogs/UserPrompts.h"
#include "document/format/TextRules.h"
#include "document/model/Document.h"
#include "res/resource.h"

CAddDlg::CAddDlg(EntryHost* host) : QDialog(host->HostWidget()), m_pHost(host) {
    m_pBuilder = std::make_unique<DialogBuilder>(this, FindDialogTemplate(IDD_ADD));
    connect(m_pBuilder->Get<QPushButton>(IDC_ENTRYOK), &QPushButton::clicked, this, &CAddDlg::OnOK);
    connect(m_pBuilder->Get<QPushButton>(IDCANCEL), &QPushButton::clicked, this, &CAddDlg::reject);
    // The Text field takes no line breaks: Enter there confirms the entry.
    m_pBuilder->Get<QPlainTextEdit>(IDC_TEXT)->installEventFilter(this);
}

CAddDlg::~CAddDlg() {
    // However the dialog ended, a Global ID it did not use goes back.
    if (m_bIdReserved) m_pHost->Doc().CancelAdd();
}

QWidget* CAddDlg::Control(int id) const {
    return m_pBuilder->Control(id);
}

bool CAddDlg::UpdateData() {
    if (m_bFillFields) {
        m_bFillFields = false;
        FillFields();
        return true;
    }
    return ReadFields();
}

bool CAddDlg::ReadFields() {
    m_strGroupName = DialogFields::GroupNameAsStored(m_pBuilder->Get<QLineEdit>(IDC_GROUPNAME)->text());
    m_strText = DialogFields::PlainText(m_pBuilder->Get<QPlainTextEdit>(IDC_TEXT));
    QLineEdit* idField = m_pBuilder->Get<QLineEdit>(IDC_GLOBALID);
    const std::optional<int32_t> id = TextRules::ParseInteger(idField->text().toStdString());
    if (!id) {
        m_pHost->Prompts().Warn(this, QStringLiteral("Please enter an integer."));
        DialogFields::FocusField(idField);
        return false;
    }
    m_nGlobalId = *id;
    return true;
}

void CAddDlg::FillFields() {
    m_pBuilder->Get<QLineEdit>(IDC_GROUPNAME)->setText(m_strGroupName);
    m_pBuilder->Get<QPlainTextEdit>(IDC_TEXT)->setPlainText(m_strText);
    m_pBuilder->Get<QLineEdit>(IDC_GLOBALID)->setText(QString::number(m_nGlobalId));
}

void CAddDlg::showEvent(QShowEvent* event) {
    if (!m_bInitDone) {
        m_bInitDone = true;
        OnInitDialog();
        if (!m_bIdReserved) {
            // Every Global ID is handed out: say so and close without adding anything.
            QTimer::singleShot(0, this, [this] {
                m_pHost->Prompts().Warn(this, QStringLiteral("No more Global IDs are available: the last "
                                                             "Global ID is already %1.")
                                                  .arg(m_pHost->Doc().LastGlobalId()));
                QDialog::done(QDialog::Rejected);
            });
        }
    }
    QDialog::showEvent(event);
}

void CAddDlg::OnInitDialog() {
    m_bFillFields = true;
    UpdateData();
    UpdateData();
    const std::optional<int32_t> proposed = m_pHost->Doc().BeginAdd();
    m_bIdReserved = proposed.has_value();
    m_bFillFields = true;
    m_nGlobalId = proposed.value_or(m_pHost->Doc().LastGlobalId());
    UpdateData();
    m_pBuilder->Control(IDC_ENTRYOK)->setFocus(Qt::OtherFocusReason);
}

void CAddDlg::OnOK() {
    if (!m_bIdReserved) return;
    if (!UpdateData()) return;  // the integer notice was shown; the dialog stays open

    QWidget* nameField = m_pBuilder->Control(IDC_GROUPNAME);
    QWidget* textField = m_pBuilder->Control(IDC_TEXT);
    if (!DialogFields::CheckEntryFields(m_pHost->Prompts(), this, nameField, m_strGroupName, textField,
                                        m_strText))
        return;
    const Status added = m_pHost->Doc().AddEntry(m_nGlobalId, DialogFields::Utf8(m_strGroupName),
                                                 DialogFields::Utf8(m_strText));
    if (DialogFields::Refused(added, m_pHost->Prompts(), this, textField)) return;
    m_bIdReserved = false;  // the entry keeps its Global ID

    m_bFillFields = true;
    UpdateData();
    if (UpdateData()) accept();
}

void CAddDlg::reject() {
    if (m_bIdReserved) {
        m_pHost->Doc().CancelAdd();
        m_bIdReserved = false;
    }
    QDialog::reject();
}

bool CAddDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pBuilder->Control(IDC_TEXT) && DialogFields::IsEnterKey(event)) {
        OnOK();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
