#include "dialogs/RepDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "dialogs/DialogBuilder.h"
#include "dialogs/DialogFields.h"
#include "dialogs/EntryHost.h"
#include "dialogs/UserPrompts.h"
#include "document/model/Document.h"
#include "document/model/EntryEdits.h"
#include "res/resource.h"

CRepDlg::CRepDlg(EntryHost* host) : QDialog(host->HostWidget()), m_pHost(host) {
    m_pBuilder = std::make_unique<DialogBuilder>(this, FindDialogTemplate(IDD_REPLACE));
    auto* replace = m_pBuilder->Get<QPushButton>(IDOK);
    auto* replaceAll = m_pBuilder->Get<QPushButton>(IDC_REPLACEALL);
    auto* cancel = m_pBuilder->Get<QPushButton>(IDCANCEL);
    // Enter in a field presses Replace (the first default button), the dialog's OK action.
    connect(replace, &QPushButton::clicked, this, &CRepDlg::OnReplace);
    connect(replaceAll, &QPushButton::clicked, this, &CRepDlg::OnReplaceAll);
    connect(cancel, &QPushButton::clicked, this, &CRepDlg::reject);
    OnInitDialog();
}

CRepDlg::~CRepDlg() = default;

QWidget* CRepDlg::Control(int id) const {
    return m_pBuilder->Control(id);
}

bool CRepDlg::UpdateData() {
    auto* search = m_pBuilder->Get<QLineEdit>(IDC_SEARCHFOR);
    auto* replacement = m_pBuilder->Get<QLineEdit>(IDC_REPLACEWITH);
    if (m_bFillFields) {
        m_bFillFields = false;
        search->setText(m_strSearch);
        replacement->setText(m_strReplace);
    } else {
        m_strSearch = search->text();
        m_strReplace = replacement->text();
    }
    return true;
}

void CRepDlg::OnInitDialog() {
    // With a filter on, the commands reach only the entries shown: the title says so.
    if (const RowScope shown = m_pHost->ShownRows(); !shown.All()) {
        const int entries = m_pHost->Doc().EntriesIn(shown);
        setWindowTitle(entries == 1 ? QStringLiteral("Replace in the entry shown")
                                    : QStringLiteral("Replace in the %1 entries shown").arg(entries));
    }
    m_bFillFields = true;
    UpdateData();
    UpdateData();
    m_bFillFields = true;
    m_nRow = 0;
    UpdateData();
    m_pBuilder->Control(IDOK)->setFocus(Qt::OtherFocusReason);
}

bool CRepDlg::CheckReplacement() {
    // A line break put into a Text would split its line in the file.
    if (EntryEdits::CheckText(DialogFields::Utf8(m_strReplace))) return true;
    m_pHost->Prompts().Warn(this, QStringLiteral("The replacement text cannot contain a line break."));
    DialogFields::FocusField(m_pBuilder->Control(IDC_REPLACEWITH));
    return false;
}

void CRepDlg::OnReplace() {
    UpdateData();
    Document& doc = m_pHost->Doc();
    if (CheckReplacement()) {
        int changed = -1;
        const Status s = doc.ReplaceNext(m_nRow, DialogFields::Utf8(m_strSearch),
                                         DialogFields::Utf8(m_strReplace), changed, m_pHost->ShownRows());
        DialogFields::Refused(s, m_pHost->Prompts(), this, m_pBuilder->Control(IDC_REPLACEWITH));
    }
    m_bFillFields = true;
    UpdateData();
}

void CRepDlg::OnReplaceAll() {
    UpdateData();
    Document& doc = m_pHost->Doc();
    m_nRow = 0;
    if (CheckReplacement()) {
        const Status s = doc.ReplaceAll(DialogFields::Utf8(m_strSearch), DialogFields::Utf8(m_strReplace),
                                        nullptr, m_pHost->ShownRows());
        DialogFields::Refused(s, m_pHost->Prompts(), this, m_pBuilder->Control(IDC_REPLACEWITH));
    }
    m_nRow = doc.RowCount();
    m_bFillFields = true;
    UpdateData();
}
