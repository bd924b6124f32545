#include "dialogs/FileNamePrompt.h"

#include <QLineEdit>
#include <QPushButton>

#include "dialogs/DialogBuilder.h"
#include "dialogs/DialogFields.h"
#include "dialogs/EntryHost.h"
#include "dialogs/UserPrompts.h"
#include "res/resource.h"

CFileNamePrompt::CFileNamePrompt(EntryHost* host, int templateId, QString extension, bool localized)
    : QDialog(host->HostWidget()),
      m_pHost(host),
      m_strExtension(std::move(extension)),
      m_bLocalized(localized) {
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
    // The name as typed: nothing is trimmed or taken away. The extension is added unless the
    // user typed it already (in any case); a name without anything before the extension would
    // make a hidden file of the extension alone, so it is refused and the prompt stays.
    const bool typedExtension = m_strName.endsWith(m_strExtension, Qt::CaseInsensitive);
    const QString stem = typedExtension ? m_strName.chopped(m_strExtension.size()) : m_strName;
    if (stem.trimmed().isEmpty() || stem.endsWith(QLatin1Char('/'))) {
        m_pHost->Prompts().Warn(this, QStringLiteral("Please enter a file name."));
        DialogFields::FocusField(m_pBuilder->Control(IDC_FILENAME));
        return;
    }
    const QString name = typedExtension ? m_strName : m_strName + m_strExtension;
    if (m_bLocalized)
        m_pHost->SetLocalizedFileName(name);
    else
        m_pHost->SetFileName(name);
    accept();
}
