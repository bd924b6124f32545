// The window's answer to another program changing or deleting the open files.
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <optional>
#include <string_view>
#include <vector>

#include "app/FileWatcher.h"
#include "app/GuardedIo.h"
#include "app/QtUserPrompts.h"
#include "app/QuillmereDlg.h"
#include "app/RecentFiles.h"
#include "app/TranslateView.h"
#include "app/TranslationReview.h"
#include "app/WindowFiles.h"
#include "app/WindowLayout.h"
#include "dialogs/AddDlg.h"
#include "dialogs/DialogBuilder.h"
#include "dialogs/EditDlg.h"
#include "dialogs/NewDlg.h"
#include "dialogs/NewloDlg.h"
#include "dialogs/RepDlg.h"
#include "document/exchange/TranslationExport.h"
#include "document/exchange/TranslationImport.h"
#include "document/exchange/TranslationTable.h"
#include "document/format/LanguageCode.h"
#include "document/format/ReplacementFile.h"
#include "listview/RowStoreModel.h"
#include "listview/SortHeaderCtrl.h"
#include "res/DialogTemplate.h"
#include "res/resource.h"

using namespace WindowFiles;

// ---------------------------------------------------------------------------------------------
// The document's files changed by another program

void CQuillmereDlg::OnFileChanged(const QString& path) {
    if (!m_changedFiles.contains(path)) m_changedFiles.append(path);
    // One question for the files changed together; none while a dialog is open (a reload
    // would change the table under it): asked once it is closed.
    QTimer::singleShot(0, this, &CQuillmereDlg::HandleFileChanges);
}

void CQuillmereDlg::HandleFileChanges() {
    if (m_changedFiles.isEmpty()) return;
    // The window itself runs modally (the program calls exec()): only another modal dialog
    // over it makes the question wait.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this) {
        QTimer::singleShot(250, this, &CQuillmereDlg::HandleFileChanges);
        return;
    }
    QStringList names;
    for (const QString& path : std::as_const(m_changedFiles))
        if (m_pWatcher->Paths().contains(path)) names << QFileInfo(path).fileName();
    m_changedFiles.clear();
    if (names.isEmpty()) return;  // another document by now
    const QString what = WasChanged(names);
    for (const QString& name : std::as_const(names))
        if (!m_changedOnDisk.contains(name)) m_changedOnDisk << name;
    if (m_pTranslate) m_pTranslate->Commit();  // typing in the Translate view is a change too
    if (IsModified()) {
        Prompts().Tell(this, QStringLiteral("%1 changed by another program. Your unsaved changes stay "
                                            "here; Save will ask before replacing the other program's "
                                            "changes.")
                                 .arg(what));
        return;
    }
    if (!Prompts().AskYesNo(this, QStringLiteral("%1 changed by another program. Reload the entries "
                                                 "from the files?")
                                      .arg(what)))
        return;
    if (ReadDocument(m_strFileName, m_strLocFileName, m_nReadMode)) UpdateViewState();
}

void CQuillmereDlg::OnFileDeleted(const QString& path) {
    // The entries stay: they are now the only copy.
    SetModified(true);
    Prompts().Tell(this, QStringLiteral("%1 was deleted or moved by another program. The entries stay here, "
                                        "unsaved; Save writes the file again.")
                             .arg(QFileInfo(path).fileName()));
}
