#include "app/QuillmereDlg.h"

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

// The compiled-in resources (the icon) live in a static library: register them by name.
static void InitResources() {
    Q_INIT_RESOURCE(quillmere);
}

using namespace WindowFiles;

namespace {

constexpr int kViewButtons[] = {IDC_SHOWORIGINAL, IDC_SHOWLOCALIZED, IDC_SHOWBOTH};
constexpr int kTranslateButton = 1020;   // the Translate view's button in the view buttons' group
constexpr int kIdViewTranslate = 32810;  // View > Translate

}  // namespace

QString CompanionFileName(const QString& txrPath) {
    const qsizetype nameStart = txrPath.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = txrPath.indexOf(QLatin1Char('.'), nameStart);
    return (dot < 0 ? txrPath : txrPath.left(dot)) + QStringLiteral(".txl");
}

CQuillmereDlg::CQuillmereDlg(QWidget* parent, UserPrompts* prompts) : QDialog(parent) {
    InitResources();
    if (!prompts) {
        m_pOwnPrompts = std::make_unique<QtUserPrompts>();
        prompts = m_pOwnPrompts.get();
    }
    m_pPrompts = prompts;
    m_pDoc = std::make_unique<Document>();
    m_pDoc->AddObserver(this);
    m_pDoc->SetConversionQuestion(
        [this](DocFile file, std::string_view character) { return AskConversion(file, character); });

    // The menu keeps the application's menu font; the controls below it use the template's.
    m_pRecent = std::make_unique<RecentFiles>();
    m_pMenuBar = new QMenuBar(this);
    m_pMenuBar->setNativeMenuBar(false);
    m_pMenuBar->setFont(QApplication::font("QMenuBar"));
    BuildMenu();
    const int menuHeight = m_pMenuBar->sizeHint().height();

    const auto makeList = [](const ControlTemplate& c, QWidget* dialogWidget) -> QWidget* {
        return new CSortListCtrl(dialogWidget, c.id);
    };
    m_pBuilder =
        std::make_unique<DialogBuilder>(this, FindDialogTemplate(IDD_QUILLMERE_DIALOG), menuHeight, makeList);
    m_pMenuBar->setGeometry(0, 0, width(), menuHeight);

    m_list = qobject_cast<CSortListCtrl*>(Control(IDC_LIST));
    m_list->SetDocument(m_pDoc.get());
    m_radioTextString = m_pBuilder->Get<QRadioButton>(IDC_RADIOTEXTSTRING);
    m_radioGlobalId = m_pBuilder->Get<QRadioButton>(IDC_RADIOGLOBALID);
    for (QButtonGroup* group : m_pBuilder->RadioGroups())
        if (group->button(IDC_SHOWORIGINAL)) m_pViewGroup = group;

    // The filter row right of the view buttons, the progress row under the list.
    m_pReview = new TranslationReview(this, *m_pDoc, m_list);
    const DialogUnits& units = m_pBuilder->Units();
    m_pReview->FilterRow()->setGeometry(units.Rect(372, 30, 92, 14).translated(0, menuHeight));
    m_pReview->ProgressRow()->setGeometry(units.Rect(7, 280, 457, 14).translated(0, menuHeight));
    for (QWidget* row : {m_pReview->FilterRow(), m_pReview->ProgressRow()}) row->setProperty("ctlId", -1);
    // The menu's keys win in the filter row as in the other controls (Ctrl+U would otherwise
    // erase the filter text instead of going to the next entry to translate).
    m_pReview->FilterText()->installEventFilter(this);
    m_pReview->FilterShowBox()->installEventFilter(this);

    // The fourth view: its button after Show Both, its list and editor pane where the list is.
    m_pTranslateButton = new QRadioButton(QStringLiteral("Translate"), this);
    m_pTranslateButton->setObjectName(QStringLiteral("translateButton"));
    m_pTranslateButton->setAccessibleName(QStringLiteral("Translate view"));
    m_pTranslateButton->setGeometry(units.Rect(318, 30, 50, 14).translated(0, menuHeight));
    m_pTranslateButton->setProperty("ctlId", -1);
    m_pTranslateButton->setEnabled(false);
    m_pViewGroup->addButton(m_pTranslateButton, kTranslateButton);
    QWidget::setTabOrder(Control(IDC_SHOWBOTH), m_pTranslateButton);
    m_pTranslate = new TranslateView(this, *m_pDoc, m_list, *m_pReview, *m_pPrompts,
                                     [this](bool undo) { undo ? OnUndo() : OnRedo(); });
    m_pTranslate->hide();
    for (QAction* a : std::as_const(m_translateActions)) m_pTranslate->addAction(a);

    // Resizable and maximizable, the list taking the room; no smaller than the template.
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    m_pLayout = std::make_unique<WindowLayout>(this, m_list);
    for (QWidget* row : {m_pReview->FilterRow(), m_pReview->ProgressRow()}) m_pLayout->FollowRightEdge(row);
    m_list->Header()->SetStretchSection(ColText);  // the Text column takes the extra width
    m_pLayout->RestoreGeometry();
    setAcceptDrops(true);

    m_pWatcher = new FileWatcher(this);
    connect(m_pWatcher, &FileWatcher::Changed, this, &CQuillmereDlg::OnFileChanged);
    connect(m_pWatcher, &FileWatcher::Deleted, this, &CQuillmereDlg::OnFileDeleted);

    ConnectControls();
    OnInitDialog();
}

CQuillmereDlg::~CQuillmereDlg() {
    // Before the document and the list go: the view and the review watch both.
    delete m_pTranslate;
    m_pTranslate = nullptr;
    delete m_pReview;
    m_pReview = nullptr;
    if (m_list) {
        m_list->SaveColumnWidths();
        m_list->SetDocument(nullptr);
    }
    if (m_pLayout) m_pLayout->SaveGeometry();
    m_pDoc->RemoveObserver(this);
}

void CQuillmereDlg::OnInitDialog() {
    DoDataExchange(false);
    m_hIcon = QIcon(QStringLiteral(":/quillmere/icon32.png"));
    m_hIcon.addFile(QStringLiteral(":/quillmere/icon16.png"));
    setWindowIcon(m_hIcon);
    m_list->DefineColumns(kEntryColumnSpec);
    m_list->RestoreColumnWidths();
    m_nSearchPos = 0;
    UpdateTitle();
    Control(IDC_ADD)->setFocus();
}

void CQuillmereDlg::BuildMenu() {
    using Command = void (CQuillmereDlg::*)();
    const QHash<int, Command> commands = {
        {ID_FILE_NEW, &CQuillmereDlg::OnNew},
        {ID_FILE_OPEN, &CQuillmereDlg::OnOpen},
        {ID_FILE_NEWLOCALIZED, &CQuillmereDlg::OnNewLocalized},
        {ID_FILE_OPENLOCALIZED, &CQuillmereDlg::OnOpenLocalized},
        {ID_FILE_SAVE, &CQuillmereDlg::OnSave},
        {ID_FILE_SAVEAS, &CQuillmereDlg::OnSaveAs},
        {ID_FILE_EXPORT, &CQuillmereDlg::OnExport},
        {ID_FILE_IMPORT, &CQuillmereDlg::OnImport},
        {ID_FILE_EXIT, &CQuillmereDlg::OnExit},
        {ID_ENTRY_ADD, &CQuillmereDlg::OnAdd},
        {ID_ENTRY_EDIT, &CQuillmereDlg::OnEdit},
        {ID_ENTRY_DELETE, &CQuillmereDlg::OnDelete},
        {ID_ENTRY_DELETEALL, &CQuillmereDlg::OnDeleteAll},
        {ID_SEARCH_REPLACE, &CQuillmereDlg::OnReplace},
    };
    for (const MenuTemplate& menuTemplate : MainMenuTemplate()) {
        QMenu* menu = m_pMenuBar->addMenu(QString::fromStdString(menuTemplate.caption));
        for (const MenuItemTemplate& item : menuTemplate.items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            // The caption keeps its "\t" part, which the menu shows right-aligned; the same
            // keys are made to work as window-wide shortcuts.
            const QString caption = QString::fromStdString(item.caption);
            QAction* action = menu->addAction(caption);
            ClearsNote(action);
            const qsizetype tab = caption.indexOf(QLatin1Char('\t'));
            if (tab >= 0) {
                action->setShortcut(
                    QKeySequence::fromString(caption.mid(tab + 1), QKeySequence::PortableText));
                action->setShortcutContext(Qt::WindowShortcut);
                addAction(action);
            }
            action->setEnabled(!item.grayed);
            if (const Command command = commands.value(item.id, nullptr))
                connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
            m_actions.insert(item.id, action);
        }
        if (menuTemplate.caption == "&Entry") {
            // Undo and Redo lead the Entry menu; their captions name the step ("Undo Add").
            QAction* first = menu->actions().value(0);
            QAction* undo = new QAction(QStringLiteral("Undo"), this);
            QAction* redo = new QAction(QStringLiteral("Redo"), this);
            connect(undo, &QAction::triggered, this, &CQuillmereDlg::OnUndo);
            connect(redo, &QAction::triggered, this, &CQuillmereDlg::OnRedo);
            undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
            redo->setShortcuts(
                {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
            for (QAction* a : {undo, redo}) {
                ClearsNote(a);
                a->setShortcutContext(Qt::WindowShortcut);
                addAction(a);
            }
            menu->insertActions(first, {undo, redo});
            menu->insertSeparator(first);
            m_actions.insert(ID_ENTRY_UNDO, undo);
            m_actions.insert(ID_ENTRY_REDO, redo);
            HistoryChanged();
            // Going to the next entry still to do, among the rows shown.
            menu->addSeparator();
            const struct {
                int id;
                const char* caption;
                QKeySequence keys;
                bool forward, problem;
            } moves[] = {
                {ID_ENTRY_NEXTUNTRANSLATED, "Next Not Translated", QKeySequence(Qt::CTRL | Qt::Key_U), true,
                 false},
                {ID_ENTRY_PREVUNTRANSLATED, "Previous Not Translated",
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U), false, false},
                {ID_ENTRY_NEXTPROBLEM, "Next Problem", QKeySequence(Qt::Key_F8), true, true},
                {ID_ENTRY_PREVPROBLEM, "Previous Problem", QKeySequence(Qt::SHIFT | Qt::Key_F8), false, true},
            };
            for (const auto& m : moves) {
                QAction* action = menu->addAction(QString::fromLatin1(m.caption));
                ClearsNote(action);  // before the move, which may set a note of its own
                action->setShortcut(m.keys);
                action->setShortcutContext(Qt::WindowShortcut);
                addAction(action);
                connect(action, &QAction::triggered, this, [this, forward = m.forward, problem = m.problem] {
                    m_pReview->GoTo(forward, problem);
                });
                m_actions.insert(m.id, action);
            }
        }
        if (menuTemplate.caption == "&Entry") BuildViewMenu();
        if (QAction* exit = m_actions.value(ID_FILE_EXIT); exit && menu->actions().contains(exit)) {
            m_pRecentMenu = new QMenu(QStringLiteral("Recent Files"), menu);
            menu->insertMenu(exit, m_pRecentMenu);
            menu->insertSeparator(exit);
            connect(m_pRecentMenu, &QMenu::aboutToShow, this, &CQuillmereDlg::FillRecentMenu);
            FillRecentMenu();
        }
    }
}

void CQuillmereDlg::BuildViewMenu() {
    // The Translate view and its keys; the keys act in the view alone (its box takes them
    // before the window's shortcuts).
    QMenu* view = m_pMenuBar->addMenu(QStringLiteral("&View"));
    QAction* translate = view->addAction(QStringLiteral("&Translate"));
    translate->setCheckable(true);
    translate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    translate->setShortcutContext(Qt::WindowShortcut);
    ClearsNote(translate);
    connect(translate, &QAction::triggered, this, &CQuillmereDlg::OnTranslate);
    addAction(translate);
    m_actions.insert(kIdViewTranslate, translate);
    view->addSeparator();
    const struct {
        const char* caption;
        QKeySequence keys;
        void (TranslateView::*command)();
    } keys[] = {
        {"Accept and Go to Next to Do", QKeySequence(Qt::CTRL | Qt::Key_Return), &TranslateView::Accept},
        {"Copy Original", QKeySequence(Qt::CTRL | Qt::Key_B), &TranslateView::CopyOriginal},
        {"Put Back Translation", QKeySequence(Qt::Key_Escape), &TranslateView::Revert},
        {"Previous Entry", QKeySequence(Qt::CTRL | Qt::Key_Up), nullptr},
        {"Next Entry", QKeySequence(Qt::CTRL | Qt::Key_Down), nullptr},
    };
    for (const auto& k : keys) {
        QAction* action = view->addAction(QString::fromLatin1(k.caption));
        action->setShortcut(k.keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        action->setEnabled(false);
        const bool up = k.keys == QKeySequence(Qt::CTRL | Qt::Key_Up);
        connect(action, &QAction::triggered, this, [this, command = k.command, up] {
            if (!m_pTranslate) return;
            if (command)
                (m_pTranslate->*command)();
            else
                m_pTranslate->Move(up ? -1 : 1);
        });
        m_translateActions << action;
    }
}

bool CQuillmereDlg::Translating() const {
    return m_pTranslate && m_pTranslate->Active();
}

void CQuillmereDlg::OnTranslate() {
    if (!Localize()) {
        SetViewButton(m_nViewButton);
        Prompts().Tell(this, QStringLiteral("The Translate view shows a localized pair: check Localize, or "
                                            "open a localized version first."));
        return;
    }
    if (m_pDoc->Source() != RowSource::Pairs) {
        SwitchView(kTranslateButton, ModeShowBoth);
        return;
    }
    // The rows are pairs already: the view shows them as they are, unsaved changes included.
    m_nViewButton = kTranslateButton;
    SetViewButton(kTranslateButton);
    UpdateViewState();
}

void CQuillmereDlg::FillRecentMenu() {
    m_pRecentMenu->clear();
    int number = 0;
    for (const FilesToOpen& files : m_pRecent->Entries()) {
        ++number;
        QAction* action = m_pRecentMenu->addAction(
            QStringLiteral("&%1 %2").arg(number).arg(RecentFiles::Caption(files).replace("&", "&&")));
        action->setToolTip(files.txl.isEmpty() ? files.txr : files.txr + QStringLiteral("\n") + files.txl);
        connect(action, &QAction::triggered, this, [this, files] { OnRecentFile(files); });
    }
    m_pRecentMenu->setEnabled(number > 0);
}

void CQuillmereDlg::OnRecentFile(const FilesToOpen& files) {
    for (const QString& path : {files.txr, files.txl}) {
        if (path.isEmpty() || QFileInfo::exists(path)) continue;
        m_pRecent->Remove(files);
        FillRecentMenu();
        Prompts().Tell(this,
                       QStringLiteral("%1 no longer exists. It was removed from Recent Files.").arg(path));
        return;
    }
    if (!MaybeSave()) return;
    OpenFiles(files);
}

void CQuillmereDlg::ConnectControls() {
    const auto onClick = [this](int id, void (CQuillmereDlg::*command)()) {
        auto* button = qobject_cast<QAbstractButton*>(Control(id));
        ClearsNote(button);
        connect(button, &QAbstractButton::clicked, this, [this, command] { (this->*command)(); });
    };
    onClick(IDC_ADD, &CQuillmereDlg::OnAdd);
    onClick(IDC_DELETE, &CQuillmereDlg::OnDelete);
    onClick(IDC_DELETEALL, &CQuillmereDlg::OnDeleteAll);
    onClick(IDC_EDIT, &CQuillmereDlg::OnEdit);
    onClick(IDC_REPLACE, &CQuillmereDlg::OnReplace);
    onClick(IDC_SEARCH, &CQuillmereDlg::OnSearch);
    onClick(IDCANCEL, &CQuillmereDlg::OnExit);
    onClick(IDC_SHOWORIGINAL, &CQuillmereDlg::OnShowOriginal);
    onClick(IDC_SHOWLOCALIZED, &CQuillmereDlg::OnShowLocalized);
    onClick(IDC_SHOWBOTH, &CQuillmereDlg::OnShowBoth);
    ClearsNote(m_pTranslateButton);
    connect(m_pTranslateButton, &QAbstractButton::clicked, this, &CQuillmereDlg::OnTranslate);
    onClick(IDC_LOCALIZE, &CQuillmereDlg::OnLocalize);
    for (int id : {IDC_SEARCHID, IDC_SEARCHTEXT})
        connect(m_pBuilder->Get<QLineEdit>(id), &QLineEdit::returnPressed, this, &CQuillmereDlg::OnSearch);

    // The menu's shortcuts win over the controls' own uses of the same keys (Ctrl+A selects
    // all in a text box or the list otherwise).
    for (QWidget* w : m_pBuilder->TabOrder()) w->installEventFilter(this);
    m_pReview->FilterText()->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
}

void CQuillmereDlg::ClearsNote(QObject* command) {
    // Connected before the command's own slot, so that a note the command sets stays.
    const auto clear = [this] {
        if (m_pReview) m_pReview->ClearNote();
        // Typing in the Translate view enters the history before any command acts.
        if (m_pTranslate) m_pTranslate->Commit();
    };
    if (auto* action = qobject_cast<QAction*>(command))
        connect(action, &QAction::triggered, this, clear);
    else if (auto* button = qobject_cast<QAbstractButton*>(command))
        connect(button, &QAbstractButton::clicked, this, clear);
}

void CQuillmereDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (m_pLayout) {
        m_pLayout->Apply();
        m_list->Header()->SetExtraWidth(m_pLayout->Extra().width());
    }
    if (m_pTranslate) m_pTranslate->setGeometry(m_list->geometry());
    m_pMenuBar->setGeometry(0, 0, width(), m_pMenuBar->height());
}

namespace {
// The .txr and .txl dropped, when the drop is one of them or a pair.
FilesToOpen DroppedFiles(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        const QString path = url.toLocalFile();
        if (path.isEmpty() || !(CommandLine::IsTxr(path) || CommandLine::IsTxl(path))) return {};
        paths << path;
    }
    return CommandLine::Sort(paths, nullptr);
}
}  // namespace

void CQuillmereDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFiles(event->mimeData()).IsEmpty()) event->acceptProposedAction();
}

void CQuillmereDlg::dropEvent(QDropEvent* event) {
    const FilesToOpen files = DroppedFiles(event->mimeData());
    if (files.IsEmpty()) return;
    event->acceptProposedAction();
    // The drop ends before the questions: the dragging program is not kept waiting.
    QTimer::singleShot(0, this, [this, files] {
        if (MaybeSave()) OpenFiles(files);
    });
}

bool CQuillmereDlg::eventFilter(QObject* watched, QEvent* event) {
    // Files dropped on a text box or the list open as dropped on the window (a text box would
    // take their names as text).
    if ((event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
         event->type() == QEvent::Drop) &&
        !DroppedFiles(static_cast<QDropEvent*>(event)->mimeData()).IsEmpty()) {
        if (event->type() == QEvent::Drop)
            dropEvent(static_cast<QDropEvent*>(event));
        else
            static_cast<QDropEvent*>(event)->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        // The desktop's rule in a text box: the undo keys take back its own typing while it has
        // any, and only then the document's changes (Entry > Undo always the document's).
        if (const auto* box = qobject_cast<QLineEdit*>(watched)) {
            const auto pressedOne = [&pressed](const QAction* action) {
                for (const QKeySequence& shortcut : action->shortcuts())
                    if (shortcut.matches(pressed) == QKeySequence::ExactMatch) return true;
                return false;
            };
            if ((box->isUndoAvailable() && pressedOne(m_actions.value(ID_ENTRY_UNDO))) ||
                (box->isRedoAvailable() && pressedOne(m_actions.value(ID_ENTRY_REDO))))
                return QDialog::eventFilter(watched, event);
        }
        for (QAction* action : std::as_const(m_actions)) {
            for (const QKeySequence& shortcut : action->shortcuts()) {
                if (shortcut.matches(pressed) == QKeySequence::ExactMatch) {
                    event->ignore();
                    return true;
                }
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

RowScope CQuillmereDlg::ShownRows() const {
    const RowScope shown = m_list->Model()->Shown();
    if (!Translating()) return shown;
    // The originals are read-only in the Translate view: commands reach the translations.
    std::vector<int> translations;
    const int rows = m_pDoc->RowCount();
    if (shown.All()) {
        translations.reserve(static_cast<size_t>(rows / 2));
        for (int r = 1; r < rows; r += 2) translations.push_back(r);
    } else {
        for (const int r : shown.Rows())
            if (r & 1) translations.push_back(r);
    }
    return RowScope::Only(std::move(translations));
}

QWidget* CQuillmereDlg::Control(int id) const {
    return m_pBuilder ? m_pBuilder->Control(id) : nullptr;
}

QAction* CQuillmereDlg::MenuAction(int id) const {
    return m_actions.value(id, nullptr);
}

QCheckBox* CQuillmereDlg::LocalizeBox() const {
    return m_pBuilder->Get<QCheckBox>(IDC_LOCALIZE);
}

void CQuillmereDlg::DoDataExchange(bool save) {
    auto* searchId = m_pBuilder->Get<QLineEdit>(IDC_SEARCHID);
    auto* searchText = m_pBuilder->Get<QLineEdit>(IDC_SEARCHTEXT);
    if (save) {
        m_strSearchId = searchId->text();
        m_strSearchText = searchText->text();
    } else {
        searchId->setText(m_strSearchId);
        searchText->setText(m_strSearchText);
    }
}

bool CQuillmereDlg::IsModified() const {
    return m_pDoc->IsModified();
}

void CQuillmereDlg::SetModified(bool modified) {
    if (modified)
        m_pDoc->MarkUnsaved();
    else
        m_pDoc->MarkSaved();
}

void CQuillmereDlg::SetLocalize(bool on) {
    LocalizeBox()->setChecked(on);
    OnLocalize();
}

// ---------------------------------------------------------------------------------------------
// History

void CQuillmereDlg::StepRecorded(const std::string&) {
    // A change made without a menu command or a button (a header click) is a command too.
    if (m_pReview) m_pReview->ClearNote();
}

void CQuillmereDlg::HistoryChanged() {
    // The menu's Undo and Redo name the steps the document's history would take back or do
    // again; the title's `*` is its unsaved state.
    QAction* undo = m_actions.value(ID_ENTRY_UNDO);
    QAction* redo = m_actions.value(ID_ENTRY_REDO);
    if (!undo || !redo) return;  // the menu is still being built
    const auto caption = [](const char* verb, const std::string& step) {
        return step.empty() ? QString::fromLatin1(verb)
                            : QStringLiteral("%1 %2").arg(QLatin1String(verb), QString::fromStdString(step));
    };
    undo->setEnabled(m_pDoc->CanUndo());
    undo->setText(caption("Undo", m_pDoc->UndoName()));
    redo->setEnabled(m_pDoc->CanRedo());
    redo->setText(caption("Redo", m_pDoc->RedoName()));
    setWindowModified(m_pDoc->IsModified());
}

void CQuillmereDlg::OnUndo() {
    m_pDoc->Undo();
}

void CQuillmereDlg::OnRedo() {
    m_pDoc->Redo();
}

bool CQuillmereDlg::AskConversion(DocFile file, std::string_view character) {
    const QString which =
        file == DocFile::Txl ? QStringLiteral("translations file") : QStringLiteral("text resource file");
    QWidget* over = QApplication::activeModalWidget();
    return Prompts().AskYesNo(
        over ? over : this,
        QStringLiteral("The %1 is Latin-1 and cannot hold '%2'. Save it as UTF-8 from now on?")
            .arg(which, QString::fromUtf8(character.data(), static_cast<qsizetype>(character.size()))));
}

bool CQuillmereDlg::EditAllowed() {
    if (!(ShowBoth() && !Localize() && m_pDoc->RowCount() > 0)) return true;
    Prompts().Warn(this,
                   QStringLiteral("The table holds original and localized rows, which cannot be saved with "
                                  "Localize off. Check Localize to change them, or Show Original Text to "
                                  "change the original texts alone."));
    return false;
}

void CQuillmereDlg::UpdateTitle() {
    QString title = QStringLiteral("Quillmere");
    // The file(s) Save writes.
    const QString txr = QFileInfo(m_strFileName).fileName(), txl = QFileInfo(m_strLocFileName).fileName();
    if (m_pDoc->Source() == RowSource::Localized && !txl.isEmpty())
        title += QStringLiteral(" - ") + txl;
    else if (!txr.isEmpty())
        title += QStringLiteral(" - ") + txr +
                 (Localize() && m_pDoc->Source() != RowSource::Original && !txl.isEmpty()
                      ? QStringLiteral(" + ") + txl
                      : QString());
    setWindowTitle(title + QStringLiteral("[*]"));
    setWindowModified(IsModified());
}

void CQuillmereDlg::UpdateViewState() {
    m_list->Model()->SetAlternateColours(m_pDoc->PairView());
    const bool translating = m_nViewButton == kTranslateButton && m_pDoc->PairView();
    if (m_pTranslate) {
        m_pTranslate->setGeometry(m_list->geometry());
        m_list->setVisible(!translating);
        m_pTranslate->Activate(translating);
        for (QAction* a : std::as_const(m_translateActions)) a->setEnabled(translating);
        if (QAction* view = MenuAction(kIdViewTranslate)) view->setChecked(translating);
    }
    UpdateTitle();
}

void CQuillmereDlg::SetViewButton(int id) {
    m_pViewGroup->setExclusive(false);
    for (int button : kViewButtons) qobject_cast<QRadioButton*>(Control(button))->setChecked(button == id);
    if (m_pTranslateButton) m_pTranslateButton->setChecked(id == kTranslateButton);
    m_pViewGroup->setExclusive(true);
}

// ---------------------------------------------------------------------------------------------
// Keyboard and ending

void CQuillmereDlg::keyPressEvent(QKeyEvent* event) {
    // Enter never ends the editor; in a search box it has already run Search.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);  // Escape runs reject()
}

void CQuillmereDlg::accept() {
    // Only the data exchange of OK: nothing ends the editor with OK.
    DoDataExchange(true);
}

void CQuillmereDlg::reject() {
    OnExit();
}

void CQuillmereDlg::closeEvent(QCloseEvent* event) {
    if (isVisible() && !MaybeSave()) {
        event->ignore();
        return;
    }
    event->accept();
    QDialog::done(QDialog::Rejected);
}

void CQuillmereDlg::OnExit() {
    if (MaybeSave()) QDialog::done(QDialog::Rejected);
}

bool CQuillmereDlg::MaybeSave() {
    if (m_pTranslate && !m_pTranslate->Commit()) return false;
    if (!IsModified()) return true;
    QString names =
        m_strFileName.isEmpty() ? QStringLiteral("a new file") : QFileInfo(m_strFileName).fileName();
    if (m_pDoc->Source() == RowSource::Localized && !m_strLocFileName.isEmpty())
        names = QFileInfo(m_strLocFileName).fileName();
    else if (m_pDoc->SavesPairs() && !m_strFileName.isEmpty() && !m_strLocFileName.isEmpty())
        names += QStringLiteral(" and ") + QFileInfo(m_strLocFileName).fileName();
    switch (Prompts().AskYesNoCancel(
        this, QStringLiteral("The entries have changed. Save them to %1?").arg(names))) {
        case UserPrompts::Yes:
            return DoSave();
        case UserPrompts::No:
            return true;
        case UserPrompts::Cancel:
            break;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Localize mode and views

void CQuillmereDlg::OnLocalize() {
    const bool on = LocalizeBox()->isChecked();
    m_pDoc->SetLocalize(on);
    if (!on) {
        m_nViewButton = -1;
        SetViewButton(-1);
    }
    for (int id : kViewButtons) Control(id)->setEnabled(on);
    if (m_pTranslateButton) m_pTranslateButton->setEnabled(on);
    UpdateViewState();
}

bool CQuillmereDlg::SwitchView(int id, ReadMode mode) {
    // The clicked button is checked already; a cancelled or failed switch puts the buttons back.
    if (!MaybeSave() || !ReadDocument(m_strFileName, m_strLocFileName, mode)) {
        SetViewButton(m_nViewButton);
        return false;
    }
    m_nViewButton = id;
    SetViewButton(id);
    UpdateViewState();
    return true;
}

void CQuillmereDlg::OnShowOriginal() {
    SwitchView(IDC_SHOWORIGINAL, ModeShowOriginal);
}
void CQuillmereDlg::OnShowLocalized() {
    SwitchView(IDC_SHOWLOCALIZED, ModeShowLocalized);
}
void CQuillmereDlg::OnShowBoth() {
    SwitchView(IDC_SHOWBOTH, ModeShowBoth);
}

// ---------------------------------------------------------------------------------------------
// Entry commands

void CQuillmereDlg::OnAdd() {
    if (!EditAllowed()) return;
    if (const std::string problem = m_pDoc->AddProblem(); !problem.empty()) {
        Prompts().Tell(this, QString::fromStdString(problem));
        return;
    }
    CAddDlg dlg(this);
    dlg.exec();
}

void CQuillmereDlg::OnEdit() {
    if (!EditAllowed()) return;
    CEditDlg dlg(this);
    dlg.exec();
}

void CQuillmereDlg::OnReplace() {
    if (!EditAllowed()) return;
    CRepDlg dlg(this);
    dlg.exec();
}

void CQuillmereDlg::OnDelete() {
    if (!EditAllowed()) return;
    if (!Prompts().AskYesNo(this, QStringLiteral("Delete this entry, confirm?"))) return;
    if (m_pDoc->RowCount() == 0) {
        Prompts().Tell(this, QStringLiteral("No entry to delete"));
        return;
    }
    const QList<int> selected = m_list->GetSelectedRows();
    // In the pair view each selected row takes its twin along: pairs stay pairs.
    m_pDoc->DeleteRows(m_pDoc->EntryRows(std::vector<int>(selected.begin(), selected.end())));
}

void CQuillmereDlg::OnDeleteAll() {
    if (!EditAllowed()) return;
    const RowScope shown = ShownRows();
    if (!shown.All()) {
        // A filter is on: the entries it hides stay.
        const int entries = m_pDoc->EntriesIn(shown);
        if (entries == 0) {
            Prompts().Tell(this, QStringLiteral("No entry shown to delete"));
            return;
        }
        if (!Prompts().AskYesNo(this, entries == 1
                                          ? QStringLiteral("Delete the entry shown?")
                                          : QStringLiteral("Delete the %1 entries shown?").arg(entries)))
            return;
        m_pDoc->DeleteAll(shown);
        return;
    }
    if (!Prompts().AskYesNo(this, QStringLiteral("Delete all entries, confirm?"))) return;
    if (m_pDoc->RowCount() == 0) {
        Prompts().Tell(this, QStringLiteral("No entry to delete"));
        return;
    }
    m_pDoc->DeleteAll();
}

// ---------------------------------------------------------------------------------------------
// Search

void CQuillmereDlg::OnSearch() {
    if (m_pReview) m_pReview->ClearNote();  // Enter in a search box runs it without a button
    DoDataExchange(true);
    if (m_radioGlobalId->isChecked())
        SearchByGlobalId();
    else if (m_radioTextString->isChecked())
        SearchByText();
}

void CQuillmereDlg::SearchByGlobalId() {
    const std::vector<int> matches = m_pDoc->FindGlobalId(m_strSearchId.toStdString(), ShownRows());
    m_list->SetSelectedRows(matches);
    if (!matches.empty()) {
        m_list->SetRowFocused(matches.back());
        m_list->EnsureRowVisible(matches.back());
    }
}

void CQuillmereDlg::SearchByText() {
    const int rows = m_pDoc->RowCount();
    // No match from the remembered position on: the next search starts at the top again.
    const int found = m_pDoc->FindText(m_strSearchText.toStdString(), m_nSearchPos, ShownRows());
    if (found >= 0) {
        m_nSearchPos = found;
        m_list->SetSelectedRows({found});
        m_list->SetRowFocused(found);
        m_list->EnsureRowVisible(found);
    } else {
        m_nSearchPos = rows;
    }
    ++m_nSearchPos;
    if (m_nSearchPos >= rows) m_nSearchPos = 0;
}
