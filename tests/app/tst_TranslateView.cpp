// The Translate view driven with real keys: typing, accepting and moving, the box's own undo
// before the history's, the originals out of reach of Search, sorting by whole pairs, the
// encodings and stand-ins, and what Save writes.
#include <QtTest>
#include <QtWidgets>
#include <memory>

#include "WindowTestSupport.h"
#include "app/QuillmereDlg.h"
#include "app/TranslateView.h"
#include "app/TranslationEditor.h"
#include "app/TranslationReview.h"
#include "listview/RowStoreModel.h"
#include "listview/TranslatePairModel.h"
#include "res/resource.h"

class TestTranslateView : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_settingsDir;
    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<CQuillmereDlg> m_dlg;

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    TranslateView& View() { return *m_dlg->Translate(); }
    TranslationEditor& Editor() { return *View().Editor(); }
    QPlainTextEdit* Box() { return Editor().Box(); }
    QString DocText(int row) { return m_dlg->m_list->GetCellText(row, ColText); }
    QString Undo() { return m_dlg->MenuAction(ID_ENTRY_UNDO)->text(); }

    void Open(const Rows& rows = kReviewPairs) {
        m_dlg.reset();
        WriteDocument(Path("t.txr"), Path("t.txl"), rows, true);
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_dlg = std::make_unique<CQuillmereDlg>(nullptr, m_prompts.get());
        m_dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
        QVERIFY(m_dlg->OpenFiles({Path("t.txr"), Path("t.txl")}));
        m_dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
        Keys(m_dlg.get(), QKeySequence(Qt::CTRL | Qt::Key_T));
        QVERIFY(m_dlg->Translating());
        QVERIFY(View().isVisible() && !m_dlg->m_list->isVisible());
    }
    void Keys(QWidget* to, QKeySequence keys) {
        QTest::keySequence(to, keys);
        QCoreApplication::processEvents();
    }
    void Type(const QString& text) {
        Box()->setFocus();
        // Characters beyond ASCII have no key code here: sent as the text of a key press.
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClicks(Box(), QString(c));
                continue;
            }
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(Box(), &press);
        }
    }
    void SelectAllAndType(const QString& text) {
        Box()->selectAll();
        Type(text);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_settingsDir.isValid() && m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    }
    void cleanup() { m_dlg.reset(); }

    void rowsAreEntriesWithTheirStatus() {
        Open();
        const TranslatePairModel& model = *View().Model();
        QCOMPARE(model.rowCount(), 5);
        struct {
            int entry;
            QString original, translation, status;
            bool problem;
        } const rows[] = {
            {0, "Open file", "Ouvrir le fichier", "translated", false},
            {1, "Save", "Save", "same", false},
            {3, "Disk %s full", "Disque plein", "translated", true},
            {4, "Quit", "Quit", "missing", false},
        };
        for (const auto& r : rows) {
            QCOMPARE(model.index(r.entry, TranslatePairModel::Original).data().toString(), r.original);
            QCOMPARE(model.index(r.entry, TranslatePairModel::Translation).data().toString(), r.translation);
            const QModelIndex status = model.index(r.entry, TranslatePairModel::StatusColumn);
            QCOMPARE(status.data().toString(), r.status);
            QCOMPARE(!status.data(Qt::DecorationRole).isNull(), r.problem);
            QCOMPARE(status.data(Qt::ToolTipRole).toString().contains(QStringLiteral("placeholder")),
                     r.problem);
        }
        // The filter row narrows the entries; an entry is shown whole.
        QTest::keyClicks(m_dlg->Review().FilterText(), QStringLiteral("error"));
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.index(1, TranslatePairModel::Id).data().toString(), QStringLiteral("5"));
        m_dlg->Review().FilterText()->clear();
        QCOMPARE(model.rowCount(), 5);

        // Every control of the view has a name for assistive tools.
        for (QWidget* w : View().findChildren<QWidget*>()) {
            if (w->focusPolicy() == Qt::NoFocus || !w->isVisible()) continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            QVERIFY2(a && !a->text(QAccessible::Name).isEmpty(), qPrintable(w->objectName()));
        }
    }

    void typingAcceptingAndMovingWithKeys() {
        Open();
        QCOMPARE(m_dlg->Review().Progress()->value(), 60);
        // Next Not Translated, then F2 into the box: the entry "Save".
        Keys(View().Table(), QKeySequence(Qt::CTRL | Qt::Key_U));
        QCOMPARE(View().EntryRow(), 2);
        for (const int key : {Qt::Key_Return, Qt::Key_F2}) {
            View().Table()->setFocus();
            Keys(View().Table(), QKeySequence(key));
            QVERIFY(Box()->hasFocus());
            QCOMPARE(View().EntryRow(), 2);
        }
        SelectAllAndType(QStringLiteral("Enregistrer"));
        QCOMPARE(DocText(3), QStringLiteral("Save"));  // not yet in the history
        QVERIFY(View().Pending());

        // Accept: one step, and on to the next entry to do (the lost placeholder).
        Keys(Box(), QKeySequence(Qt::CTRL | Qt::Key_Return));
        QCOMPARE(DocText(3), QStringLiteral("Enregistrer"));
        QCOMPARE(Undo(), QStringLiteral("Undo Translate entry 2"));
        QCOMPARE(View().EntryRow(), 6);
        QVERIFY(Box()->hasFocus());
        QCOMPARE(m_dlg->Review().Progress()->value(), 80);
        QCOMPARE(Editor().Problems().size(), 1);
        QVERIFY(Editor().Problems().front().startsWith(QStringLiteral("placeholder")));

        // Live checks as the placeholder is typed back.
        SelectAllAndType(QStringLiteral("Disque %s plein"));
        QCOMPARE(Editor().Problems(), QStringList());
        // Ctrl+Down keeps the box and enters the typing; Ctrl+Up comes back.
        Keys(Box(), QKeySequence(Qt::CTRL | Qt::Key_Down));
        QCOMPARE(View().EntryRow(), 8);
        QVERIFY(Box()->hasFocus());
        QCOMPARE(DocText(7), QStringLiteral("Disque %s plein"));
        QCOMPARE(Undo(), QStringLiteral("Undo Translate entry 4"));
        Keys(Box(), QKeySequence(Qt::CTRL | Qt::Key_Up));
        QCOMPARE(View().EntryRow(), 6);
        QCOMPARE(Box()->toPlainText(), QStringLiteral("Disque %s plein"));

        // Escape puts back the translation as it was when the entry was selected.
        Type(QStringLiteral(" !"));
        Keys(Box(), QKeySequence(Qt::Key_Escape));
        QCOMPARE(Box()->toPlainText(), QStringLiteral("Disque %s plein"));
        QVERIFY(m_dlg->isVisible());  // Escape did not reach the window
        QVERIFY(!View().Pending());

        // Ctrl+Z undoes the box's typing first, then the history; Ctrl+Y the other way.
        Type(QStringLiteral("xy"));
        Keys(Box(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(Box()->toPlainText(), QStringLiteral("Disque %s plein"));
        QCOMPARE(DocText(7), QStringLiteral("Disque %s plein"));
        Keys(Box(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(DocText(7), QStringLiteral("Disque plein"));
        QCOMPARE(Box()->toPlainText(), QStringLiteral("Disque plein"));
        QCOMPARE(Undo(), QStringLiteral("Undo Translate entry 2"));
        Keys(Box(), QKeySequence(Qt::CTRL | Qt::Key_Y));
        QCOMPARE(DocText(7), QStringLiteral("Disque %s plein"));
        QCOMPARE(Box()->toPlainText(), QStringLiteral("Disque %s plein"));

        // Ctrl+B copies the original; a line break is refused where it is typed.
        Keys(Box(), QKeySequence(Qt::CTRL | Qt::Key_B));
        QCOMPARE(Box()->toPlainText(), QStringLiteral("Disk %s full"));
        Keys(Box(), QKeySequence(Qt::Key_Return));
        QCOMPARE(Box()->toPlainText(), QStringLiteral("Disk %s full"));
        QVERIFY(Editor().Note().contains(QStringLiteral("line break")));
        Keys(Box(), QKeySequence(Qt::CTRL | Qt::Key_Z));  // the copy, in the box
        QCOMPARE(Box()->toPlainText(), QStringLiteral("Disque %s plein"));

        // The missing entry: typing makes it the .txl's own; Save writes exactly that.
        Keys(Box(), QKeySequence(Qt::CTRL | Qt::Key_Return));
        QCOMPARE(View().EntryRow(), 8);
        SelectAllAndType(QStringLiteral("Quitter « vite »"));
        Keys(m_dlg.get(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(m_prompts->warnings, QStringList());
        const Rows saved = ReadDocument(Path("t.txr"), Path("t.txl"), ModeOpenPaired);
        Rows expected = kReviewPairs;
        expected[3][3] = "Enregistrer";
        expected[7][3] = "Disque %s plein";
        expected.push_back({"5", "Error", "2", "Quitter « vite »"});
        QCOMPARE(saved, expected);
        QCOMPARE(m_dlg->Review().Progress()->value(), 100);
        // Nothing left to do: Ctrl+Return says so and stays.
        Keys(Box(), QKeySequence(Qt::CTRL | Qt::Key_Return));
        QCOMPARE(View().EntryRow(), 8);
        QCOMPARE(m_dlg->Review().Note(), QStringLiteral("Every entry is translated, without problems"));
    }

    void originalsAreOutOfReachAndSortsKeepPairs() {
        Open();
        // A search for a text only an original holds finds nothing; a translation's is found.
        auto* searchText = m_dlg->findChild<QLineEdit*>(QStringLiteral("ctl%1").arg(IDC_SEARCHTEXT));
        m_dlg->m_radioTextString->setChecked(true);
        searchText->setText(QStringLiteral("Open file"));
        const int before = View().EntryRow();
        m_dlg->OnSearch();
        QCOMPARE(View().EntryRow(), before);
        searchText->setText(QStringLiteral("Fermer"));
        m_dlg->OnSearch();
        QCOMPARE(View().EntryRow(), 4);
        QCOMPARE(Editor().Original(), QStringLiteral("Close"));
        const RowScope scope = m_dlg->ShownRows();
        QVERIFY(!scope.All());
        for (int r : scope.Rows()) QVERIFY(r & 1);

        // Two clicks on Global ID: descending, the pairs whole, the entry still selected.
        QHeaderView* header = View().Table()->horizontalHeader();
        for (int i = 0; i < 2; ++i)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
        QCOMPARE(View().Model()->index(0, TranslatePairModel::Id).data().toString(), QStringLiteral("5"));
        for (int r = 0; r + 1 < m_dlg->Doc().RowCount(); r += 2)
            QCOMPARE(m_dlg->m_list->GetCellText(r + 1, ColGlobalId),
                     m_dlg->m_list->GetCellText(r, ColGlobalId));
        QCOMPARE(Editor().Original(), QStringLiteral("Close"));
        QCOMPARE(Editor().Translation(), QStringLiteral("Fermer"));
        QCOMPARE(header->sortIndicatorSection(), 0);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    }

    void latin1TranslationAsksBeforeConverting() {
        Open({{"1", "Menu", "1", "Coffee"}, {"1", "Menu", "1", "Caf\xe9"}});
        QCOMPARE(m_dlg->Doc().FileEncoding(DocFile::Txl), Encoding::Latin1);
        SelectAllAndType(QStringLiteral("Café €"));
        m_prompts->yesNo = {false};
        Keys(Box(), QKeySequence(Qt::CTRL | Qt::Key_Return));
        QCOMPARE(m_prompts->questions.size(), 1);
        QVERIFY(m_prompts->questions.front().contains(QStringLiteral("cannot hold '€'")));
        // Declined: nothing changed, the typing is still there to mend.
        QCOMPARE(DocText(1), QStringLiteral("Café"));
        QCOMPARE(Box()->toPlainText(), QStringLiteral("Café €"));
        QVERIFY(!m_dlg->Doc().CanUndo());
        m_prompts->yesNo = {true};
        Keys(Box(), QKeySequence(Qt::CTRL | Qt::Key_Return));
        QCOMPARE(DocText(1), QStringLiteral("Café €"));
        QCOMPARE(m_dlg->Doc().FileEncoding(DocFile::Txl), Encoding::Utf8);
        QCOMPARE(Undo(), QStringLiteral("Undo Translate entry 1"));
    }

    void splitterAndColumnWidthsAreKept() {
        Open();
        View().Table()->setColumnWidth(TranslatePairModel::Original, 321);
        View().setSizes({200, 150});
        const QList<int> sizes = View().sizes();
        m_dlg.reset();
        Open();
        QCOMPARE(View().Table()->columnWidth(TranslatePairModel::Original), 321);
        QCOMPARE(View().sizes(), sizes);
    }
};

QTEST_MAIN(TestTranslateView)
#include "tst_TranslateView.moc"
