#include "dialogs/RepDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "app/QuillmereDlg.h"
#include "app/UserPrompts.h"
#include "dialogs/DialogBuilder.h"
#include "dialogs/DialogFields.h"
#include "document/EntryCommands.h"
#include "res/resource.h"

CRepDlg::CRepDlg(CQuillmereDlg* parent) : QDialog(parent), m_pParent(parent) {
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
    m_bFillFields = true;
    UpdateData();
    UpdateData();
    m_bFillFields = true;
    m_nRow = 0;
    UpdateData();
    m_pBuilder->Control(IDOK)->setFocus(Qt::OtherFocusReason);
}

CRepDlg::Prepared CRepDlg::PrepareTexts(std::string& search, std::string& replacement) {
    if (m_strSearch.isEmpty()) return Prepared::NoMatch;
    CSortListCtrl& list = *m_pParent->m_list;
    // A search text the document cannot hold occurs in no cell.
    if (!list.CanEncode(m_strSearch)) return Prepared::NoMatch;
    QWidget* replacementField = m_pBuilder->Control(IDC_REPLACEWITH);
    // A line break put into a Text would split its line in the file.
    if (!EntryCommands::CheckText(m_strReplace.toStdString())) {
        m_pParent->Prompts().Warn(this, QStringLiteral("The replacement text cannot contain a line break."));
        DialogFields::FocusField(replacementField);
        return Prepared::Refused;
    }
    const std::optional<std::string> replacementBytes = DialogFields::Encode(list, m_strReplace);
    if (!replacementBytes) {
        m_pParent->Prompts().Warn(this, DialogFields::EncodingRefusal(QStringLiteral("replacement text")));
        DialogFields::FocusField(replacementField);
        return Prepared::Refused;
    }
    // The replacement may have turned the document into UTF-8: the search's bytes come after it.
    const std::optional<std::string> searchBytes = DialogFields::Encode(list, m_strSearch);
    if (!searchBytes) return Prepared::NoMatch;
    search = *searchBytes;
    replacement = *replacementBytes;
    return Prepared::Ready;
}

void CRepDlg::OnReplace() {
    UpdateData();
    CSortListCtrl& list = *m_pParent->m_list;
    std::string search, replacement;
    switch (PrepareTexts(search, replacement)) {
        case Prepared::Ready:
            if (const int row = EntryCommands::ReplaceNext(list.Store(), m_nRow, search, replacement);
                row >= 0) {
                list.NotifyRowsChanged(row, row);
                m_pParent->SetModified(true);
            }
            break;
        case Prepared::NoMatch:  // the scan runs to the end without a match
            m_nRow = std::max(m_nRow, list.GetRowCount());
            break;
        case Prepared::Refused:
            break;
    }
    m_bFillFields = true;
    UpdateData();
}

void CRepDlg::OnReplaceAll() {
    UpdateData();
    CSortListCtrl& list = *m_pParent->m_list;
    m_nRow = 0;
    std::string search, replacement;
    if (PrepareTexts(search, replacement) == Prepared::Ready) {
        const std::vector<int> changed = EntryCommands::ReplaceAll(list.Store(), search, replacement);
        if (!changed.empty()) {
            list.NotifyRowsChanged(changed.front(), changed.back());
            m_pParent->SetModified(true);
        }
    }
    m_nRow = list.GetRowCount();
    m_bFillFields = true;
    UpdateData();
}
