// The window under random use: 10,000 commands (buttons, menu items, keys, header clicks, view
// switches, dialogs answered with random fields, undo and redo, typing and the keys of the
// Translate view) on random documents. After each
// command the table shows exactly the document; at the end of each round a save read back gives
// the same table. The seed is fixed (QM_MONKEY_SEED overrides it) and printed on failure.
#include <QtTest>
#include <QtWidgets>
#include <memory>
#include <random>

#include "WindowTestSupport.h"
#include "app/QuillmereDlg.h"
#include "app/TranslateView.h"
#include "app/TranslationEditor.h"
#include "listview/RowStoreModel.h"
#include "listview/TranslatePairModel.h"
#include "res/resource.h"

class TestMonkey : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_settingsDir, m_dir;
    std::mt19937 m_rng;
    unsigned m_seed = 20261207;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<CQuillmereDlg> m_dlg;
    QString m_last;  // the command being checked, for the failure message

    int Pick(int n) { return static_cast<int>(m_rng() % static_cast<unsigned>(n)); }
    bool Coin() { return m_rng() % 2; }
    QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QWidget* Ctl(int id) { return m_dlg->Control(id); }
    void Click(int id) { QTest::mouseClick(qobject_cast<QAbstractButton*>(Ctl(id)), Qt::LeftButton); }
    QString RandomText() {
        static const char* pieces[] = {"ab", "x", " ", "é", "Open", "Д", "%s", "&"};
        QString t;
        for (int n = Pick(4); n > 0; --n) t += QString::fromUtf8(pieces[Pick(8)]);
        return t;
    }
    // Runs `script` on the dialog of class `type` the next command opens (a command refused
    // opens none).
    void OnDialog(const char* type, const std::function<void(QDialog*)>& script) {
        QTimer::singleShot(0, [script, type] {
            QPointer<QDialog> d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d || qstrcmp(d->metaObject()->className(), type) != 0) return;
            script(d);
            if (QDialog* still = d.data(); still != nullptr && still->isVisible()) still->reject();
        });
    }
    template <class W>
    static W* Field(QDialog* d, int id) {
        return d->findChild<W*>(QStringLiteral("ctl%1").arg(id));
    }
    void EntryFields(QDialog* d) {
        Field<QLineEdit>(d, IDC_GROUPNAME)->setText(Coin() ? QStringLiteral("Menu") : RandomText());
        Field<QPlainTextEdit>(d, IDC_TEXT)->setPlainText(RandomText());
        QTest::mouseClick(Field<QPushButton>(d, IDC_ENTRYOK), Qt::LeftButton);
    }
    void Answers() {
        m_prompts->yesNo.clear();
        m_prompts->yesNoCancel.clear();
        for (int i = 0; i < 3; ++i) {
            m_prompts->yesNo << Coin();
            m_prompts->yesNoCancel << UserPrompts::Answer(Pick(3));
        }
    }

    void RandomFiles() {
        const bool latin1Txr = Coin(), latin1Txl = Coin();
        const auto in = [](bool latin1, const QString& s) {
            return latin1 ? std::string(s.toLatin1().constData()) : s.toStdString();
        };
        Rows txr, txl;
        for (int i = 1, n = Pick(25); i <= n; ++i) {
            const std::string id = std::to_string(i);
            txr.push_back({id, in(latin1Txr, QStringLiteral("Menü")), id,
                           in(latin1Txr, QStringLiteral("Open é %1").arg(i))});
            if (i < n - 1)
                txl.push_back({id, "Menu", id, in(latin1Txl, QStringLiteral("Ouvrir à %1").arg(i))});
        }
        WriteDocument(Path("m.txr"), QString(), txr, false);
        WriteDocument(Path("m.txl"), QString(), txl, false);
    }

    // The table shows exactly the document: rows, cells in their files' encodings, colours.
    void CheckView() {
        const Document& doc = m_dlg->Doc();
        const QAbstractItemModel* model = m_dlg->m_list->model();
        QVERIFY2(model->rowCount() == doc.RowCount(), qPrintable(m_last));
        // The reader numbers the entries of each group again: the Group ID column is its own.
        for (int r = 0; r < doc.RowCount(); ++r)
            for (int c : {0, 1, 3})
                QVERIFY2(model->index(r, c).data().toString() == QString::fromStdString(doc.CellUtf8(r, c)),
                         qPrintable(m_last));
        QVERIFY2(m_dlg->m_list->Model()->AlternateColours() == doc.PairView(), qPrintable(m_last));
        // The window shows the document's own history: the `*`, and Undo / Redo with their steps.
        QVERIFY2(m_dlg->isWindowModified() == doc.IsModified(), qPrintable(m_last));
        const QAction* undo = m_dlg->MenuAction(ID_ENTRY_UNDO);
        const QAction* redo = m_dlg->MenuAction(ID_ENTRY_REDO);
        QVERIFY2(undo->isEnabled() == doc.CanUndo() && redo->isEnabled() == doc.CanRedo(),
                 qPrintable(m_last));
        QVERIFY2(
            undo->text() == QString::fromStdString(doc.CanUndo() ? "Undo " + doc.UndoName() : "Undo") &&
                redo->text() == QString::fromStdString(doc.CanRedo() ? "Redo " + doc.RedoName() : "Redo"),
            qPrintable(m_last));
        if (!m_dlg->Translating()) return;
        // The Translate view: one row per pair shown, each side by side with the document; the
        // box holds the entry's translation unless typing is pending.
        const TranslateView& view = *m_dlg->Translate();
        const TranslatePairModel& pairs = *view.Model();
        QVERIFY2(doc.PairView(), qPrintable(m_last));
        if (!m_dlg->m_list->Model()->Filtered())
            QVERIFY2(pairs.rowCount() == doc.RowCount() / 2, qPrintable(m_last));
        for (int e = 0; e < pairs.rowCount(); ++e) {
            const int r = pairs.OriginalRow(e);
            QVERIFY2(pairs.index(e, TranslatePairModel::Original).data().toString() ==
                             QString::fromStdString(doc.CellUtf8(r, ColText)) &&
                         pairs.index(e, TranslatePairModel::Translation).data().toString() ==
                             QString::fromStdString(doc.CellUtf8(r + 1, ColText)),
                     qPrintable(m_last));
        }
        const int row = view.EntryRow();
        if (row < 0) return;
        QVERIFY2(row % 2 == 0 && row + 1 < doc.RowCount(), qPrintable(m_last));
        QVERIFY2(view.Editor()->Original() == QString::fromStdString(doc.CellUtf8(row, ColText)),
                 qPrintable(m_last));
        if (!view.Pending())
            QVERIFY2(view.Editor()->Translation() == QString::fromStdString(doc.CellUtf8(row + 1, ColText)),
                     qPrintable(m_last));
    }

    void RunCommand() {
        Answers();
        CSortListCtrl& list = *m_dlg->m_list;
        const int rows = list.GetRowCount();
        const int what = Pick(24);
        m_last = QStringLiteral("seed %1, command %2").arg(m_seed).arg(what);
        switch (what) {
            case 0:
            case 1:
                OnDialog("CAddDlg", [this](QDialog* d) { EntryFields(d); });
                Click(IDC_ADD);
                break;
            case 2:
            case 3:
                if (rows) list.selectRow(Pick(rows));
                OnDialog("CEditDlg", [this](QDialog* d) { EntryFields(d); });
                QTest::keyClick(&list, Qt::Key_E, Qt::ControlModifier);
                break;
            case 4:
                list.SetSelectedRows(rows ? std::vector<int>{Pick(rows)} : std::vector<int>{});
                Click(IDC_DELETE);
                break;
            case 5:
                if (Pick(4) == 0) m_dlg->MenuAction(ID_ENTRY_DELETEALL)->trigger();
                break;
            case 6:
                OnDialog("CRepDlg", [this](QDialog* d) {
                    Field<QLineEdit>(d, IDC_SEARCHFOR)->setText(RandomText());
                    Field<QLineEdit>(d, IDC_REPLACEWITH)->setText(RandomText());
                    QTest::mouseClick(Field<QPushButton>(d, Coin() ? IDOK : IDC_REPLACEALL), Qt::LeftButton);
                });
                m_dlg->MenuAction(ID_SEARCH_REPLACE)->trigger();
                break;
            case 7: {
                QHeaderView* header = list.horizontalHeader();
                const int column = Pick(4);
                QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                                  QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
                break;
            }
            case 8:
                if (Pick(3) == 0) Click(IDC_LOCALIZE);
                break;
            case 9:
                if (Ctl(IDC_SHOWBOTH)->isEnabled()) {
                    const int views[] = {IDC_SHOWORIGINAL, IDC_SHOWLOCALIZED, IDC_SHOWBOTH};
                    Click(views[Pick(3)]);
                }
                break;
            case 10:
                if (Pick(3) == 0) QTest::keyClick(&list, Qt::Key_S, Qt::ControlModifier);
                break;
            case 11:
                (Coin() ? m_dlg->m_radioGlobalId : m_dlg->m_radioTextString)->click();
                qobject_cast<QLineEdit*>(Ctl(IDC_SEARCHTEXT))->setText(RandomText());
                qobject_cast<QLineEdit*>(Ctl(IDC_SEARCHID))->setText(QString::number(Pick(30)));
                Click(IDC_SEARCH);
                break;
            case 12:
            case 13:
            case 14:
                QTest::keyClick(Pick(2) ? static_cast<QWidget*>(&list) : Ctl(IDC_SEARCHTEXT), Qt::Key_Z,
                                Qt::ControlModifier);
                break;
            case 20:
                if (Pick(2) == 0) QTest::keyClick(&list, Qt::Key_T, Qt::ControlModifier);
                break;
            case 21:
            case 22:
            case 23: {
                if (!m_dlg->Translating()) break;
                QPlainTextEdit* box = m_dlg->Translate()->Editor()->Box();
                box->setFocus();
                if (Coin()) box->insertPlainText(RandomText());  // as typed or pasted
                const QKeySequence keys[] = {
                    QKeySequence(Qt::CTRL | Qt::Key_Return),
                    QKeySequence(Qt::CTRL | Qt::Key_Up),
                    QKeySequence(Qt::CTRL | Qt::Key_Down),
                    QKeySequence(Qt::CTRL | Qt::Key_B),
                    QKeySequence(Qt::Key_Escape),
                    QKeySequence(Qt::CTRL | Qt::Key_Z),
                    QKeySequence(Qt::CTRL | Qt::Key_Y),
                    QKeySequence(Qt::Key_Return),
                    QKeySequence(Qt::Key_X),
                };
                QTest::keySequence(box, keys[Pick(9)]);
                if (Coin()) QTest::keyClick(m_dlg->Translate()->Table(), Pick(2) ? Qt::Key_Down : Qt::Key_F2);
                break;
            }
            default:
                QTest::keyClick(&list, Qt::Key_Z,
                                Coin() ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
                if (Coin()) QTest::keyClick(&list, Qt::Key_Y, Qt::ControlModifier);
                break;
        }
    }

    // Undoes back to a table that can be saved, saves it, and reads it back the same way.
    void SaveAndReadBack() {
        Document& doc = m_dlg->Doc();
        while (!doc.SaveProblem().empty() && doc.CanUndo()) doc.Undo();
        if (!doc.SaveProblem().empty()) return;
        m_prompts->warnings.clear();
        m_prompts->yesNo = {true, true};
        m_dlg->MenuAction(ID_FILE_SAVE)->trigger();
        QVERIFY2(m_prompts->warnings.isEmpty(), qPrintable(m_prompts->warnings.value(0) + " " + m_last));
        const ReadMode mode = doc.Source() == RowSource::Pairs       ? ModeShowBoth
                              : doc.Source() == RowSource::Localized ? ModeShowLocalized
                                                                     : ModeOpen;
        Document back;
        QVERIFY(back.Read(Path("m.txr").toStdString(), Path("m.txl").toStdString(), mode).ok());
        QCOMPARE(back.RowCount(), doc.RowCount());
        // The reader numbers the entries of each group again: the Group ID column is its own.
        for (int r = 0; r < doc.RowCount(); ++r)
            for (int c : {0, 1, 3})
                QVERIFY2(back.CellUtf8(r, c) == doc.CellUtf8(r, c),
                         qPrintable(QStringLiteral("%1: row %2 column %3 read back as '%4', was '%5'")
                                        .arg(m_last)
                                        .arg(r)
                                        .arg(c)
                                        .arg(QString::fromStdString(back.CellUtf8(r, c)),
                                             QString::fromStdString(doc.CellUtf8(r, c)))));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_settingsDir.isValid() && m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        if (qEnvironmentVariableIsSet("QM_MONKEY_SEED"))
            m_seed = qEnvironmentVariableIntValue("QM_MONKEY_SEED");
        m_rng.seed(m_seed);
    }

    void randomCommandsKeepTheViewOnTheDocument() {
        constexpr int kRounds = 50, kCommands = 200;
        for (int round = 0; round < kRounds; ++round) {
            RandomFiles();
            m_prompts = std::make_unique<ScriptedPrompts>();
            m_dlg = std::make_unique<CQuillmereDlg>(nullptr, m_prompts.get());
            m_dlg->show();
            m_dlg->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
            m_prompts->fileNames << Path("m.txr") << Path("m.txl");
            m_dlg->MenuAction(ID_FILE_OPEN)->trigger();
            if (Coin()) m_dlg->MenuAction(ID_FILE_OPENLOCALIZED)->trigger();
            for (int i = 0; i < kCommands; ++i) {
                RunCommand();
                QCoreApplication::processEvents();  // a script whose dialog never came goes
                if (QApplication::activeWindow() != m_dlg.get()) {
                    m_dlg->activateWindow();
                    QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
                }
                CheckView();
                if (QTest::currentTestFailed()) return;
            }
            SaveAndReadBack();
            if (QTest::currentTestFailed()) return;
            m_prompts->yesNoCancel = {UserPrompts::No};
            m_dlg.reset();
        }
    }
};

QTEST_MAIN(TestMonkey)
#include "tst_Monkey.moc"
