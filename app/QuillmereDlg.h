#pragma once
// The editor window: the entry table, the command buttons and menu, the search row, the
// Localize box, the three view buttons and the Translate view (a fourth, its list and editor pane
// in the list's place). It shows a Document and sends every command to it; Undo and Redo and the
// title's unsaved mark read the document's own history.
#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QString>
#include <memory>

#include "app/CommandLine.h"
#include "dialogs/EntryHost.h"
#include "document/ListBoxSafe.h"
#include "document/model/Document.h"
#include "document/model/DocumentObserver.h"
#include "listview/SortListCtrl.h"

class QRadioButton;
class QCheckBox;
class QLineEdit;
class QMenuBar;
class QAction;
class QButtonGroup;
class DialogBuilder;
class UserPrompts;
class FileWatcher;
class RecentFiles;
class WindowLayout;
class QMenu;
class TranslationReview;
class TranslateView;

// The localized companion of a text resource path: the path up to the first '.' of the
// file's own name (folders are not looked at), then ".txl"; a name without '.' gets ".txl"
// added. data.v2/menu.old.txr gives data.v2/menu.txl.
QString CompanionFileName(const QString& txrPath);

class CQuillmereDlg : public QDialog, public EntryHost, private DocumentObserver {
    Q_OBJECT
public:
    // `prompts` may be null: the window then uses real message boxes and file dialogs.
    explicit CQuillmereDlg(QWidget* parent = nullptr, UserPrompts* prompts = nullptr);
    ~CQuillmereDlg() override;

    // Members the entry and prompt dialogs use.
    QRadioButton* m_radioTextString = nullptr;
    QRadioButton* m_radioGlobalId = nullptr;
    CSortListCtrl* m_list = nullptr;
    QString m_strSearchId;
    QString m_strFileName;
    QString m_strLocFileName;
    QString m_strSearchText;
    int m_nSearchPos = 0;
    QIcon m_hIcon;

    // What the dialogs use.
    Document& Doc() override { return *m_pDoc; }
    UserPrompts& Prompts() override { return *m_pPrompts; }
    QWidget* HostWidget() override { return this; }
    int MarkedRow() const override { return m_list->GetSelectionMark(); }
    RowScope ShownRows() const override;
    void SetFileName(const QString& path) override { m_strFileName = path; }
    void SetLocalizedFileName(const QString& path) override { m_strLocFileName = path; }

    // Localize mode (the box), and whether the rows are pairs of original and localized rows.
    bool Localize() const { return m_pDoc->Localize(); }
    void SetLocalize(bool on);
    bool ShowBoth() const { return m_pDoc->Source() == RowSource::Pairs; }

    // Unsaved changes: the document's history away from its saved point (a read or a save sets
    // it). SetModified(true) leaves no state saved (a file deleted meanwhile); false takes the
    // document as it stands as saved.
    bool IsModified() const;
    void SetModified(bool modified);

    // Controls and menu commands by resource id (for the commands and for tests).
    QWidget* Control(int id) const;
    QAction* MenuAction(int id) const;
    QMenuBar* MenuBar() const { return m_pMenuBar; }

    // Data exchange: save = controls to members.
    void DoDataExchange(bool save);

    // Commands.
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnDeleteAll();
    void OnReplace();
    void OnSearch();
    void OnNew();
    void OnOpen();
    void OnNewLocalized();
    void OnOpenLocalized();
    void OnSave();
    void OnSaveAs();
    // The document for translators' tools (XLIFF, PO, CSV), and their translations back.
    void OnExport();
    void OnImport();
    void OnShowOriginal();
    void OnShowLocalized();
    void OnShowBoth();
    // The Translate view of a localized pair (View > Translate, Ctrl+T).
    void OnTranslate();
    bool Translating() const;
    TranslateView* Translate() const { return m_pTranslate; }
    void OnLocalize();
    void OnExit();
    void OnUndo();
    void OnRedo();

    // Asks to save unsaved changes (Yes / No / Cancel); false when the user cancelled or
    // the save failed.
    bool MaybeSave();

    // Opens a text resource file as Open does, or with `files.txl` as Open Localized Version
    // does (the command line, dropped files, Recent Files). Does not ask about unsaved changes.
    bool OpenFiles(const FilesToOpen& files);
    RecentFiles& Recent() { return *m_pRecent; }
    QMenu* RecentMenu() const { return m_pRecentMenu; }
    FileWatcher& Watcher() { return *m_pWatcher; }
    const WindowLayout& Layout() const { return *m_pLayout; }
    // The filter row, the progress row, the marks and going to the next entry still to do.
    TranslationReview& Review() const { return *m_pReview; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void accept() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void OnInitDialog();
    void BuildMenu();
    void BuildViewMenu();
    // Makes the menu command or button `command` clear the note of the last Next / Previous
    // (call before connecting the command itself).
    void ClearsNote(QObject* command);
    void ConnectControls();
    QCheckBox* LocalizeBox() const;
    // Checks exactly the view button `id` (-1: none), bypassing the group's exclusivity.
    void SetViewButton(int id);
    // Re-derives the pair sort, the row colours and the title from the flags.
    void UpdateViewState();
    void UpdateTitle();
    bool SwitchView(int id, ReadMode mode);
    // False (and the user told) when the table could not be saved after a change: the pairs of
    // original and localized rows with Localize off.
    bool EditAllowed();
    // A step recorded, then any move of the document's history: Undo / Redo and the `*` follow.
    void StepRecorded(const std::string& what) override;
    void HistoryChanged() override;
    bool AskConversion(DocFile file, std::string_view character);
    bool ReadDocument(const QString& txrPath, const QString& txlPath, ReadMode mode);
    bool WriteDocument(const QString& txrPath, const QString& txlPath);
    bool OpenDocument(const QString& txrPath);
    bool OpenLocalizedDocument(const QString& txrPath, const QString& txlPath);
    void FillRecentMenu();
    void OnRecentFile(const FilesToOpen& files);
    // The files of the open document changed on disk.
    void OnFileChanged(const QString& path);
    void OnFileDeleted(const QString& path);
    void HandleFileChanges();
    bool DoSave();
    bool DoSaveAs();
    // Asks about each of `paths` that exists before it is replaced; false when the user declined.
    bool ConfirmReplacing(const QStringList& paths);
    void SearchByGlobalId();
    void SearchByText();

    std::unique_ptr<UserPrompts> m_pOwnPrompts;
    UserPrompts* m_pPrompts = nullptr;
    std::unique_ptr<DialogBuilder> m_pBuilder;
    QMenuBar* m_pMenuBar = nullptr;
    std::unique_ptr<Document> m_pDoc;
    QHash<int, QAction*> m_actions;
    QButtonGroup* m_pViewGroup = nullptr;
    int m_nViewButton = -1;  // the view button checked by the last view change (-1: none)
    std::unique_ptr<WindowLayout> m_pLayout;
    std::unique_ptr<RecentFiles> m_pRecent;
    QMenu* m_pRecentMenu = nullptr;
    FileWatcher* m_pWatcher = nullptr;
    TranslationReview* m_pReview = nullptr;
    TranslateView* m_pTranslate = nullptr;
    QRadioButton* m_pTranslateButton = nullptr;
    QList<QAction*> m_translateActions;  // the view's keys, shown in the View menu
    ReadMode m_nReadMode = ModeOpen;     // how the document was last read (for a reload)
    // Names of the files another program changed since they were read or saved here, for Save
    // to ask about before overwriting them; empty when none.
    QStringList m_changedOnDisk;
    QStringList m_changedFiles;  // changes noticed but not yet put to the user
    // The names come from New and nothing was read or saved under them yet: the first Save asks
    // before replacing files of those names.
    bool m_bNewNames = false;
};
