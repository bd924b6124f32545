// The editor as a desktop program: the command line, files dropped onto the window, Recent
// Files, the resizable window and its kept geometry, and files changed by other programs.
#include <QtTest>
#include <QtWidgets>
#include <memory>

#include "WindowTestSupport.h"
#include "app/CommandLine.h"
#include "app/FileWatcher.h"
#include "app/QuillmereDlg.h"
#include "app/RecentFiles.h"
#include "app/TranslationReview.h"
#include "app/WindowLayout.h"
#include "res/resource.h"

namespace {

const Rows kRows = {
    {"1", "Menu", "1", "Open file"}, {"2", "Menu", "2", "Close"}, {"3", "Error", "1", "Disk full"}};
const Rows kPairs = {{"1", "Menu", "1", "Open file"},
                     {"1", "Menu", "1", "Ouvrir"},
                     {"2", "Menu", "2", "Close"},
                     {"2", "Menu", "2", "Fermer"}};

QSettings Settings() {
    return QSettings(QStringLiteral("Ardwen"), QStringLiteral("Quillmere"));
}

}  // namespace

class TestDesktop : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_settingsDir;
    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<CQuillmereDlg> m_dlg;

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    CQuillmereDlg& Dlg() { return *m_dlg; }
    QStringList Texts() {
        QStringList texts;
        for (int r = 0; r < m_dlg->m_list->GetRowCount(); ++r) texts << m_dlg->m_list->GetCellText(r, 3);
        return texts;
    }
    void NewWindow() {
        m_dlg.reset();
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_dlg = std::make_unique<CQuillmereDlg>(nullptr, m_prompts.get());
        m_dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    }
    QStringList RecentCaptions() {
        emit Dlg().RecentMenu()->aboutToShow();
        QStringList captions;
        for (QAction* a : Dlg().RecentMenu()->actions()) captions << a->text();
        return captions;
    }
    // Drops `paths` onto the window; true when the window took the drag.
    bool Drop(const QStringList& paths, QWidget* target = nullptr) {
        if (!target) target = &Dlg();
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
        data.setUrls(urls);
        const QPoint at(20, Dlg().height() - 10);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QCoreApplication::processEvents();
        return true;
    }

    // Runs the window modally, exactly as the program does (exec()), with `script` run inside;
    // the window ends after the script whatever happened in it.
    void RunAsTheProgramDoes(const std::function<void()>& script) {
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, m_dlg.get(), [this] { m_dlg->done(QDialog::Rejected); });
        QTimer::singleShot(0, m_dlg.get(), [this, &script, &watchdog] {
            watchdog.start(30000);
            script();
            m_dlg->done(QDialog::Rejected);
        });
        m_dlg->hide();  // the program's window is first shown by exec(), which makes it modal
        m_dlg->exec();
        watchdog.stop();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_settingsDir.isValid() && m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        WriteDocument(Path("doc.txr"), Path("doc.txl"), kPairs, true);
    }
    void init() {
        Settings().clear();
        NewWindow();
    }
    void cleanup() {
        if (m_dlg) m_dlg->SetModified(false);
        m_dlg.reset();
    }

    void commandLineNamesTheFilesToOpen_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("txr");
        QTest::addColumn<QString>("txl");
        const QString cwd = QDir::currentPath();
        const auto row = [](const char* tag, QStringList args, CommandLine::Action action, QString txr = {},
                            QString txl = {}) {
            args.prepend("quillmere");
            QTest::newRow(tag) << args << int(action) << txr << txl;
        };
        row("nothing", {}, CommandLine::Run);
        row("txr, relative", {"a.txr"}, CommandLine::Run, cwd + "/a.txr");
        row("pair", {"/x/a.txr", "/y/b.TXL"}, CommandLine::Run, "/x/a.txr", "/y/b.TXL");
        row("pair, txl first", {"/y/b.txl", "/x/a.txr"}, CommandLine::Run, "/x/a.txr", "/y/b.txl");
        row("txl alone", {"/d.v2/menu.fr.txl"}, CommandLine::Run, "/d.v2/menu.txr", "/d.v2/menu.fr.txl");
        row("two txr", {"a.txr", "b.txr"}, CommandLine::Fail);
        row("two txl", {"a.txl", "b.txl"}, CommandLine::Fail);
        row("three files", {"a.txr", "b.txl", "c.txr"}, CommandLine::Fail);
        row("unknown option", {"--frob"}, CommandLine::Fail);
        row("help", {"--help"}, CommandLine::ShowHelp);
        row("version", {"--version"}, CommandLine::ShowVersion);
    }
    void commandLineNamesTheFilesToOpen() {
        QFETCH(QStringList, args);
        QFETCH(int, action);
        QFETCH(QString, txr);
        QFETCH(QString, txl);
        const CommandLine line(args);
        QCOMPARE(int(line.action()), action);
        QCOMPARE(line.files().txr, txr);
        QCOMPARE(line.files().txl, txl);
        if (action == CommandLine::Fail || action == CommandLine::ShowHelp)
            QVERIFY(line.text().contains("[FILE.txr [FILE.txl]]"));
    }

    // The program itself: the version on standard output, a bad command line refused; neither
    // needs a display (a build log or a package check has none).
    void programPrintsVersionAndRefusesBadCommandLines() {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        p.setProcessEnvironment(env);
        p.start(QUILLMERE_PATH, {"--version"});
        QVERIFY(p.waitForFinished(20000) && p.exitCode() == 0);
        QCOMPARE(p.readAllStandardOutput(), QByteArray("Quillmere 0.1\n"));
        p.start(QUILLMERE_PATH, {"--help"});
        QVERIFY(p.waitForFinished(20000) && p.exitCode() == 0);
        QVERIFY(p.readAllStandardOutput().startsWith("Usage: quillmere [options] [FILE.txr [FILE.txl]]"));
        p.start(QUILLMERE_PATH, {"a.txr", "b.txr"});
        QVERIFY(p.waitForFinished(20000) && p.exitCode() == 1);
        QVERIFY(p.readAllStandardError().contains("a.txr and b.txr are both .txr files"));
    }

    // Files given to the window open as Open and Open Localized Version open them; a file that
    // cannot be read gives Open's message and leaves the window empty.
    void filesOpenAsOpenAndOpenLocalizedVersionDo() {
        QVERIFY(Dlg().OpenFiles(CommandLine::Sort({Path("doc.txl")}, nullptr)));
        QCOMPARE(Texts(), (QStringList{"Open file", "Ouvrir", "Close", "Fermer"}));
        QVERIFY(Dlg().Localize() && Dlg().ShowBoth());
        QCOMPARE(Dlg().windowTitle(), QStringLiteral("Quillmere - doc.txr + doc.txl[*]"));

        QVERIFY(Dlg().OpenFiles({Path("doc.txr"), {}}));
        QCOMPARE(Texts(), (QStringList{"Open file", "Close"}));
        QVERIFY(!Dlg().Localize());

        NewWindow();
        QVERIFY(!Dlg().OpenFiles({Path("missing.txr"), {}}));
        m_prompts->fileNames << Path("missing.txr");
        Dlg().MenuAction(ID_FILE_OPEN)->trigger();
        QCOMPARE(m_prompts->warnings.size(), 2);
        QCOMPARE(m_prompts->warnings[0], m_prompts->warnings[1]);
        QVERIFY(m_prompts->warnings[0].contains("missing.txr"));
        QCOMPARE(Dlg().m_list->GetRowCount(), 0);
        QCOMPARE(Dlg().windowTitle(), QStringLiteral("Quillmere[*]"));
    }

    // A .txr or a .txr/.txl pair dropped on the window opens, after the unsaved-changes question.
    void droppedFilesOpen() {
        QVERIFY(!Drop({Path("notes.txt")}));
        QVERIFY(!Drop({Path("doc.txr"), Path("doc.txr")}));
        Dlg().m_list->AppendRow({"9", "Menu", "3", "typed"});
        m_prompts->yesNoCancel = {UserPrompts::Cancel};
        QVERIFY(Drop({Path("doc.txl"), Path("doc.txr")}));
        QCOMPARE(m_prompts->questions.size(), 1);
        QCOMPARE(Texts(), QStringList{"typed"});

        m_prompts->yesNoCancel = {UserPrompts::No};
        QVERIFY(Drop({Path("doc.txl"), Path("doc.txr")}));
        QCOMPARE(Texts(), (QStringList{"Open file", "Ouvrir", "Close", "Fermer"}));
        QVERIFY(Drop({Path("doc.txr")}, Dlg().Control(IDC_SEARCHTEXT)));  // not taken as text
        QCOMPARE(Texts(), (QStringList{"Open file", "Close"}));
        QVERIFY(qobject_cast<QLineEdit*>(Dlg().Control(IDC_SEARCHTEXT))->text().isEmpty());
    }

    // The last eight documents, newest first, kept in the settings; a missing one is removed
    // with a note when chosen.
    void recentFiles() {
        QVERIFY(!Dlg().RecentMenu()->isEnabled());
        for (int i = 0; i < 10; ++i) {
            WriteDocument(Path(QString("r%1.txr").arg(i)), QString(), kRows, false);
            QVERIFY(Dlg().OpenFiles({Path(QString("r%1.txr").arg(i)), {}}));
        }
        QVERIFY(Dlg().OpenFiles({Path("r5.txr"), {}}));  // again: moves up
        m_prompts->fileNames << Path("doc.txl");
        Dlg().MenuAction(ID_FILE_OPENLOCALIZED)->trigger();
        const QStringList expected = {"&1 r5.txr + doc.txl", "&2 r5.txr", "&3 r9.txr", "&4 r8.txr",
                                      "&5 r7.txr",           "&6 r6.txr", "&7 r4.txr", "&8 r3.txr"};
        QCOMPARE(RecentCaptions(), expected);

        NewWindow();
        QCOMPARE(RecentCaptions(), expected);
        Dlg().RecentMenu()->actions()[0]->trigger();
        QCOMPARE(Dlg().m_strLocFileName, Path("doc.txl"));
        QCOMPARE(Texts(), (QStringList{"Open file", "Ouvrir", "Close", "Fermer", "Disk full", "Disk full"}));

        QVERIFY(QFile::remove(Path("r9.txr")));
        Dlg().RecentMenu()->actions()[2]->trigger();
        QCOMPARE(m_prompts->tells,
                 QStringList{Path("r9.txr") + " no longer exists. It was removed from Recent Files."});
        QCOMPARE(Dlg().m_strFileName, Path("r5.txr"));
        QCOMPARE(RecentCaptions().size(), 7);
        QVERIFY(!RecentCaptions().join(' ').contains("r9"));
        QCOMPARE(RecentFiles().Entries().size(), 7);
    }

    // Larger than the template, the list takes the room, the buttons keep their distance from
    // the right edge, the rows above stay; never smaller; the geometry is kept.
    void windowResizesAroundTheList() {
        const QSize base = Dlg().size();
        QCOMPARE(Dlg().minimumSize(), base);
        QVERIFY(Dlg().maximumWidth() > 4000 && (Dlg().windowFlags() & Qt::WindowMaximizeButtonHint));
        QHash<int, QRect> before;
        for (int id : {IDC_LIST, IDC_ADD, IDCANCEL, IDC_SEARCH, IDC_SEARCHTEXT, IDC_SHOWBOTH, IDC_LOCALIZE})
            before[id] = Dlg().Control(id)->geometry();

        Dlg().resize(base + QSize(300, 200));
        QCOMPARE(Dlg().Control(IDC_LIST)->geometry(), before[IDC_LIST].adjusted(0, 0, 300, 200));
        for (int id : {IDC_ADD, IDCANCEL})
            QCOMPARE(Dlg().Control(id)->geometry(), before[id].translated(300, 0));
        for (int id : {IDC_SEARCH, IDC_SEARCHTEXT, IDC_SHOWBOTH, IDC_LOCALIZE})
            QCOMPARE(Dlg().Control(id)->geometry(), before[id]);
        QCOMPARE(Dlg().MenuBar()->width(), Dlg().width());

        Dlg().resize(base - QSize(100, 100));
        QCOMPARE(Dlg().size(), base);
        QCOMPARE(Dlg().Control(IDC_LIST)->geometry(), before[IDC_LIST]);

        Dlg().resize(base + QSize(120, 80));
        NewWindow();
        QCOMPARE(Dlg().size(), base + QSize(120, 80));
        QCOMPARE(Dlg().Control(IDC_ADD)->geometry(), before[IDC_ADD].translated(120, 0));
        Dlg().showMaximized();
        NewWindow();
        QVERIFY(Dlg().isMaximized());
    }

    // A larger window gives its extra width to the Text column (the other columns keep their
    // widths, and the settings keep the Text column's own width, not the one it is shown at),
    // and the filter row and the progress row reach to the right edge as the list does.
    void textColumnAndReviewRowsFollowTheRightEdge() {
        const auto widths = [this] {
            QHeaderView* header = Dlg().m_list->horizontalHeader();
            QList<int> w;
            for (int i = 0; i < header->count(); ++i) w << header->sectionSize(i);
            return w;
        };
        const QSize base = Dlg().size();
        const QList<int> columns = widths();
        QCOMPARE(columns.size(), 4);
        QWidget* filter = Dlg().Review().FilterRow();
        QWidget* progress = Dlg().Review().ProgressRow();
        const QRect filterAt = filter->geometry(), progressAt = progress->geometry();
        const QRect list = Dlg().Control(IDC_LIST)->geometry();
        QCOMPARE(filterAt.right(), list.right());
        QCOMPARE(progressAt.right(), list.right());

        const struct { int dw, dh; } sizes[] = {{300, 200}, {45, 0}, {0, 90}, {0, 0}};
        for (const auto& [dw, dh] : sizes) {
            Dlg().resize(base + QSize(dw, dh));
            QCOMPARE(widths(), (QList<int>{columns[0], columns[1], columns[2], columns[3] + dw}));
            QCOMPARE(filter->geometry(), filterAt.adjusted(0, 0, dw, 0));
            QCOMPARE(progress->geometry(), progressAt.adjusted(0, dh, dw, dh));
        }

        // The Text column made 50 pixels narrower in a window 120 wider: kept as its own width
        // less 50, shown 120 wider again when the window opens at that size.
        Dlg().resize(base + QSize(120, 0));
        Dlg().m_list->horizontalHeader()->resizeSection(3, columns[3] + 120 - 50);
        NewWindow();
        QCOMPARE(Dlg().size(), base + QSize(120, 0));
        QCOMPARE(widths(), (QList<int>{columns[0], columns[1], columns[2], columns[3] - 50 + 120}));
        Dlg().resize(base);
        QCOMPARE(widths(), (QList<int>{columns[0], columns[1], columns[2], columns[3] - 50}));
    }

    // The title names the file(s) Save writes: the .txl alone in Show Localized Text, the .txr
    // alone in Show Original Text and after Open, both for the pairs.
    void titleNamesTheFilesSaveWrites() {
        WriteDocument(Path("title.txr"), Path("title.txl"), kPairs, true);
        QVERIFY(Dlg().OpenFiles({Path("title.txr"), {}}));
        QCOMPARE(Dlg().windowTitle(), QStringLiteral("Quillmere - title.txr[*]"));
        QVERIFY(Dlg().OpenFiles({Path("title.txr"), Path("title.txl")}));
        QCOMPARE(Dlg().windowTitle(), QStringLiteral("Quillmere - title.txr + title.txl[*]"));
        const struct {
            int button;
            const char* title;
        } views[] = {{IDC_SHOWLOCALIZED, "Quillmere - title.txl[*]"},
                     {IDC_SHOWORIGINAL, "Quillmere - title.txr[*]"},
                     {IDC_SHOWBOTH, "Quillmere - title.txr + title.txl[*]"}};
        for (const auto& [button, title] : views) {
            QTest::mouseClick(qobject_cast<QAbstractButton*>(Dlg().Control(button)), Qt::LeftButton);
            QCOMPARE(Dlg().windowTitle(), QString::fromLatin1(title));
        }
    }

    // Another program changes the open file: with nothing unsaved a reload is offered; with
    // unsaved changes the user is told and Save asks first; the window's own saves are not
    // reported; a deleted file leaves the entries in the window, unsaved.
    void filesChangedByAnotherProgram() {
        const QString txr = Path("watched.txr");
        WriteDocument(txr, QString(), kRows, false);
        QVERIFY(Dlg().OpenFiles({txr, {}}));

        m_prompts->yesNo = {true};
        WriteDocument(txr, QString(), {kRows[0], {"2", "Menu", "2", "Shut"}}, false);  // by a rename
        QTRY_COMPARE(m_prompts->questions.size(), 1);
        QCOMPARE(
            m_prompts->questions[0],
            QStringLiteral("watched.txr was changed by another program. Reload the entries from the files?"));
        QCOMPARE(Texts(), (QStringList{"Open file", "Shut"}));
        QVERIFY(!Dlg().IsModified());

        // Changed again, now with unsaved changes here: told, and Save asks before replacing.
        Dlg().m_list->SetCellText(0, 3, "Open a file");
        QFile f(txr);
        QVERIFY(f.open(QIODevice::Append) && f.write("3|Error|1|Disk full\r\n") > 0);
        f.close();
        QTRY_COMPARE(m_prompts->tells.size(), 1);
        QVERIFY(m_prompts->tells[0].contains("watched.txr was changed by another program"));
        const QByteArray theirs = ReadBytes(txr);
        m_prompts->Clear();
        m_prompts->yesNo = {false};
        Dlg().MenuAction(ID_FILE_SAVE)->trigger();
        QCOMPARE(m_prompts->questions.size(), 1);
        QVERIFY(m_prompts->questions[0].contains("changed by another program since it was opened"));
        QCOMPARE(ReadBytes(txr), theirs);
        QVERIFY(Dlg().IsModified());
        m_prompts->yesNo = {true};
        Dlg().MenuAction(ID_FILE_SAVE)->trigger();
        QCOMPARE(ReadDocument(txr, QString(), ModeOpen)[0][3], "Open a file");

        // The window's own saves are not changes by another program.
        Dlg().m_list->SetCellText(1, 3, "Close");
        Dlg().MenuAction(ID_FILE_SAVE)->trigger();
        QTest::qWait(600);
        QCOMPARE(m_prompts->questions.size(), 2);
        QVERIFY(m_prompts->tells.isEmpty());

        QVERIFY(QFile::remove(txr));
        QTRY_COMPARE(m_prompts->tells.size(), 1);
        QVERIFY(m_prompts->tells[0].startsWith("watched.txr was deleted or moved by another program."));
        QVERIFY(Dlg().IsModified());
        QCOMPARE(Texts(), (QStringList{"Open a file", "Close"}));
        Dlg().MenuAction(ID_FILE_SAVE)->trigger();
        QCOMPARE(ReadDocument(txr, QString(), ModeOpen).size(), size_t(2));
        QCOMPARE(m_prompts->questions.size(), 2);  // nothing to overwrite: no question
    }

    // The same with the window run as the program runs it (modal, by exec()): another program
    // replaces the .txl by a rename (as `sed -i` does) or writes it in place. With nothing
    // unsaved the reload is offered; with unsaved changes the user is told, and Save asks
    // before replacing the other program's change, also when it comes just before the Save.
    void filesChangedWhileTheWindowRunsModally() {
        enum How { Renamed, InPlace };
        struct Case {
            const char* name;
            How how;
            bool unsaved, saveAtOnce;
        };
        const Case cases[] = {
            {"renamed, nothing unsaved", Renamed, false, false},
            {"in place, nothing unsaved", InPlace, false, false},
            {"renamed, unsaved changes", Renamed, true, false},
            {"in place, unsaved changes", InPlace, true, false},
            {"in place, saved at once", InPlace, true, true},
        };
        const QString txr = Path("modal.txr"), txl = Path("modal.txl");
        const QString reload =
            QStringLiteral("modal.txl was changed by another program. Reload the entries from the files?");
        const QString told = QStringLiteral(
            "modal.txl was changed by another program. Your unsaved changes stay here; Save will ask "
            "before replacing the other program's changes.");
        const QString saveAnyway = QStringLiteral(
            "modal.txl was changed by another program since it was opened. Save anyway, replacing those "
            "changes with the entries shown here?");
        for (const Case& c : cases) {
            NewWindow();
            WriteDocument(txr, txl, kPairs, true);
            QVERIFY(Dlg().OpenFiles({txr, txl}));
            QStringList questions, tells;
            QByteArray afterSave;
            RunAsTheProgramDoes([&] {
                QVERIFY(QApplication::activeModalWidget() == &Dlg());
                m_prompts->yesNo = {true};  // reload
                if (c.unsaved) Dlg().m_list->SetCellText(3, 3, "Fermer tout");
                const QByteArray bytes = ReadBytes(txl).replace("Ouvrir", "Ouvrir un fichier");
                if (c.how == Renamed) {
                    WriteBytes(txl + ".sed", bytes);
                    QVERIFY(::rename(QFile::encodeName(txl + ".sed").constData(),
                                     QFile::encodeName(txl).constData()) == 0);
                } else {
                    WriteBytes(txl, bytes);
                }
                if (!c.saveAtOnce) {
                    QTRY_COMPARE(m_prompts->questions.size() + m_prompts->tells.size(), 1);
                    QTest::qWait(300);  // asked once, not again and again
                }
                questions = m_prompts->questions;
                tells = m_prompts->tells;
                if (c.unsaved) {
                    m_prompts->Clear();
                    m_prompts->yesNo = {false};
                    Dlg().MenuAction(ID_FILE_SAVE)->trigger();
                    questions += m_prompts->questions;
                    afterSave = ReadBytes(txl);
                }
            });
            const QByteArray changed = ReadBytes(txl);
            if (!c.unsaved) {
                QVERIFY2(questions == QStringList{reload}, c.name);
                QVERIFY(tells.isEmpty());
                QCOMPARE(Texts()[1], QStringLiteral("Ouvrir un fichier"));
                continue;
            }
            QVERIFY2(questions == QStringList{saveAnyway}, c.name);
            QVERIFY2(tells == (c.saveAtOnce ? QStringList() : QStringList{told}), c.name);
            QCOMPARE(afterSave, changed);  // declined: the other program's change stays
            QVERIFY(changed.contains("Ouvrir un fichier"));
            QVERIFY(Dlg().IsModified());
        }
    }

    // The watcher on its own: a file replaced by a rename is followed, changes are reported
    // once, and a file that comes back after a deletion is noticed.
    void watcherFollowsRenamesAndReturns() {
        const QString path = Path("w.txr");
        WriteBytes(path, "one");
        FileWatcher watcher;
        QStringList seen;
        connect(&watcher, &FileWatcher::Changed, this,
                [&](const QString& p) { seen << "changed " + QFileInfo(p).fileName(); });
        connect(&watcher, &FileWatcher::Deleted, this,
                [&](const QString& p) { seen << "deleted " + QFileInfo(p).fileName(); });
        watcher.Watch({path});
        for (int i = 0; i < 2; ++i) {
            WriteBytes(Path("w.new"), QByteArray("two") + char('0' + i));
            QVERIFY(::rename(QFile::encodeName(Path("w.new")).constData(),
                             QFile::encodeName(path).constData()) == 0);
            QTRY_COMPARE(seen.size(), i + 1);
        }
        QVERIFY(QFile::remove(path));
        QTRY_COMPARE(seen.size(), 3);
        WriteBytes(path, "back");
        QTRY_COMPARE(seen.size(), 4);
        QCOMPARE(seen, (QStringList{"changed w.txr", "changed w.txr", "deleted w.txr", "changed w.txr"}));
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_Desktop.moc"
