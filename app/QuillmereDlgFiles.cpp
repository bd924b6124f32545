// The window's reading and writing of documents and its file commands (New, Open, the
// localized versions, Save, Save As).
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
// Reading and writing

bool CQuillmereDlg::ReadDocument(const QString& txrPath, const QString& txlPath, ReadMode mode) {
    if (txrPath.isEmpty()) {
        Prompts().Warn(this,
                       QStringLiteral("There is no text resource file to read yet. Open one, or save the "
                                      "entries under a name first."));
        return false;
    }
    const std::string txr = LocalPath(txrPath);
    const std::string txl = LocalPath(txlPath);
    // A read starts a new history, which leaves the stack clean.
    const Status status = GuardedIo("read", mode == ModeShowLocalized ? txl : txr,
                                    [&] { return m_pDoc->Read(txr, txl, mode); });
    if (!status) {
        Prompts().Warn(this, FromStatus(status));
        return false;
    }
    m_nReadMode = mode;
    m_bNewNames = false;
    m_changedOnDisk.clear();
    m_pWatcher->Watch({txrPath, mode == ModeOpen || mode == ModeShowOriginal ? QString() : txlPath});
    return true;
}

bool CQuillmereDlg::WriteDocument(const QString& txrPath, const QString& txlPath) {
    const bool localizedAlone = m_pDoc->Source() == RowSource::Localized;
    const QString target = QFileInfo(localizedAlone ? txlPath : txrPath).fileName();
    if (ShowBoth() && !Localize() && m_pDoc->RowCount() > 0) {
        Prompts().Warn(this, QStringLiteral("Nothing was saved. The table holds localized texts, which would "
                                            "take the place of the original texts in %1.\n\n"
                                            "Check Localize to save the original and the localized file; "
                                            "Show Original Text reads the original texts again.")
                                 .arg(target));
        return false;
    }
    if (m_pDoc->SavesPairs()) {
        const QString problem = QString::fromStdString(m_pDoc->PairTableProblem());
        if (!problem.isEmpty()) {
            // Only a table of original texts may go to the text resource file alone.
            const QString alone =
                ShowBoth() ? QString()
                           : QStringLiteral("; turning Localize off saves the table to %1 alone").arg(target);
            Prompts().Warn(
                this, QStringLiteral("Nothing was saved. In localize mode every entry is saved as a pair of "
                                     "rows, the original followed by its localized row, but %1\n\n"
                                     "Show Both reads the pairs from the files again%2.")
                          .arg(problem, alone));
            return false;
        }
    }
    if ((m_pDoc->SavesPairs() || localizedAlone) && txlPath.isEmpty()) {
        Prompts().Warn(this,
                       QStringLiteral("Nothing was saved: there is no name for the localized file yet."));
        return false;
    }
    const std::string txr = LocalPath(txrPath), txl = LocalPath(txlPath);
    const Status status =
        GuardedIo("write", localizedAlone ? txl : txr, [&] { return m_pDoc->Save(txr, txl); });
    if (!status) {
        Prompts().Warn(this, status.file().empty()
                                 ? QStringLiteral("Saving failed.\n\n%1").arg(FromStatus(status))
                                 : QStringLiteral("Nothing was saved: %1 cannot be written (%2).")
                                       .arg(QFileInfo(QFile::decodeName(status.file().c_str())).fileName(),
                                            QString::fromLocal8Bit(status.reason())));
        return false;
    }
    m_bNewNames = false;  // the document's Save marked it saved
    m_changedOnDisk.clear();
    m_pWatcher->Watch(
        {txrPath, m_pDoc->SavesPairs() || m_pDoc->Source() == RowSource::Localized ? txlPath : QString()});
    return true;
}

bool CQuillmereDlg::DoSave() {
    if (m_pTranslate && !m_pTranslate->Commit()) return false;
    if (m_strFileName.isEmpty()) return DoSaveAs();
    // Changes put to the user already, and those made so recently that the watcher has not
    // reported them yet.
    QStringList changed = m_changedOnDisk;
    for (const QString& path : m_pWatcher->ChangedNow())
        if (!changed.contains(QFileInfo(path).fileName())) changed << QFileInfo(path).fileName();
    if (!changed.isEmpty() &&
        !Prompts().AskYesNo(this,
                            QStringLiteral("%1 changed by another program since it was opened. Save "
                                           "anyway, replacing those changes with the entries shown here?")
                                .arg(WasChanged(changed))))
        return false;
    // A name typed for a new document may be that of a file already there.
    if (m_bNewNames && !ConfirmReplacing(m_pDoc->SavesPairs() ? QStringList{m_strFileName, m_strLocFileName}
                                                              : QStringList{m_strFileName}))
        return false;
    return WriteDocument(m_strFileName, m_strLocFileName);
}

bool CQuillmereDlg::ConfirmReplacing(const QStringList& paths) {
    // The file dialog does not ask: it knows of the text resource file only, and a localized
    // save replaces its companion as well.
    for (const QString& path : paths) {
        if (!QFileInfo::exists(path)) continue;
        if (!Prompts().AskYesNo(this, QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                          .arg(QFileInfo(path).fileName())))
            return false;
    }
    return true;
}

bool CQuillmereDlg::DoSaveAs() {
    if (m_pTranslate && !m_pTranslate->Commit()) return false;
    const QString path = Prompts().SaveFileName(this, QStringLiteral("Save"), QtFileFilter(kTxrFilter),
                                                QStringLiteral(".txr"));
    if (path.isEmpty()) return false;
    const QString companion = CompanionFileName(path);
    const QStringList written = m_pDoc->Source() == RowSource::Localized ? QStringList{companion}
                                : m_pDoc->SavesPairs()                   ? QStringList{path, companion}
                                                                         : QStringList{path};
    if (!ConfirmReplacing(written)) return false;
    if (!WriteDocument(path, companion)) return false;
    // The pair now lives under the new name: a later Save writes both files there.
    m_strFileName = path;
    m_strLocFileName = companion;
    m_pRecent->Add({path, Localize() ? companion : QString()});
    UpdateTitle();
    return true;
}

// ---------------------------------------------------------------------------------------------
// File commands

void CQuillmereDlg::OnNew() {
    if (!MaybeSave()) return;
    // The document is dropped only once the new one has a name: a cancelled prompt leaves the
    // table, its names and its unsaved changes as they were (a later Save must not write an
    // empty table over the files).
    CNewDlg dlg(this);
    if (dlg.exec() != QDialog::Accepted) return;
    m_pDoc->Clear();  // a new, empty document in file order, with a new history
    m_list->ClearSortIndicator();
    m_changedOnDisk.clear();
    m_pWatcher->Watch({});
    m_bNewNames = true;
    // The prompt stored the new name; its companion replaces the previous document's.
    m_strLocFileName = CompanionFileName(m_strFileName);
    SetLocalize(false);
}

void CQuillmereDlg::OnOpen() {
    if (!MaybeSave()) return;
    const QString path = Prompts().OpenFileName(this, QStringLiteral("Open"), QtFileFilter(kTxrFilter),
                                                QStringLiteral(".txr"));
    if (path.isEmpty()) return;
    if (OpenDocument(path)) m_pRecent->Add({path, {}});
}

bool CQuillmereDlg::OpenDocument(const QString& txrPath) {
    const QString companion = CompanionFileName(txrPath);
    // The table then holds one row per entry: checking Localize later does not treat
    // neighbouring entries as pairs (pair sort, pair delete).
    if (!ReadDocument(txrPath, companion, ModeOpen)) return false;
    m_strFileName = txrPath;
    m_strLocFileName = companion;
    SetLocalize(false);
    return true;
}

bool CQuillmereDlg::OpenLocalizedDocument(const QString& txrPath, const QString& txlPath) {
    if (!ReadDocument(txrPath, txlPath, ModeOpenPaired)) return false;
    m_strFileName = txrPath;
    m_strLocFileName = txlPath;
    SetLocalize(true);
    m_nViewButton = -1;
    SetViewButton(-1);
    UpdateViewState();
    return true;
}

bool CQuillmereDlg::OpenFiles(const FilesToOpen& files) {
    if (files.IsEmpty()) return false;
    const bool opened =
        files.txl.isEmpty() ? OpenDocument(files.txr) : OpenLocalizedDocument(files.txr, files.txl);
    if (opened) m_pRecent->Add(files);
    return opened;
}

void CQuillmereDlg::OnNewLocalized() {
    if (!MaybeSave()) return;
    const QString previous = m_strLocFileName;
    CNewloDlg dlg(this);
    if (dlg.exec() != QDialog::Accepted) return;
    if (!ReadDocument(m_strFileName, m_strLocFileName, ModeShowBoth)) {
        m_strLocFileName = previous;
        return;
    }
    SetLocalize(true);
    m_nViewButton = IDC_SHOWBOTH;
    SetViewButton(IDC_SHOWBOTH);
    UpdateViewState();
}

void CQuillmereDlg::OnOpenLocalized() {
    // A localized version belongs to a text resource file: without one the file dialog is
    // no use.
    if (m_strFileName.isEmpty()) {
        Prompts().Warn(this, QStringLiteral("There is no text resource file yet to open a localized version "
                                            "of. Open one first, or save the entries under a name."));
        return;
    }
    if (!MaybeSave()) return;
    const QString path = Prompts().OpenFileName(this, QStringLiteral("Open Localized Version"),
                                                QtFileFilter(kTxlFilter), QStringLiteral(".txl"));
    if (path.isEmpty()) return;
    if (OpenLocalizedDocument(m_strFileName, path)) m_pRecent->Add({m_strFileName, path});
}

void CQuillmereDlg::OnSave() {
    DoSave();
}

void CQuillmereDlg::OnSaveAs() {
    DoSaveAs();
}
