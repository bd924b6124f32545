// Translating in the window: the filter row hides rows without touching the document, the
// progress row follows every change, and the Entry menu goes to the next entry still to do.
#include <sys/stat.h>

#include <QtTest>
#include <QtWidgets>
#include <memory>

#include "WindowTestSupport.h"
#include "app/CommandLine.h"
#include "app/QuillmereDlg.h"
#include "app/TranslationReview.h"
#include "listview/RowStoreModel.h"
#include "res/resource.h"

class TestTranslating : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_settingsDir;
    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<CQuillmereDlg> m_dlg;
    ModalScript m_modal;

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    TranslationReview& Review() { return m_dlg->Review(); }
    RowStoreModel& Model() { return *m_dlg->m_list->Model(); }
    // The Text of every row shown, as document rows.
    QStringList Shown() {
        QStringList texts;
        for (int v = 0; v < Model().rowCount(); ++v) texts << Model().CellText(Model().DocRow(v), ColText);
        return texts;
    }
    QStringList DocumentTexts() {
        QStringList texts;
        for (int r = 0; r < m_dlg->Doc().RowCount(); ++r) texts << m_dlg->m_list->GetCellText(r, ColText);
        return texts;
    }
    void Open(const QString& name = QStringLiteral("t")) {
        m_dlg.reset();
        QVERIFY(QDir(m_dir.path()).mkpath(QFileInfo(Path(name)).path()));
        WriteDocument(Path(name + ".txr"), Path(name + ".txl"), kReviewPairs, true);
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_dlg = std::make_unique<CQuillmereDlg>(nullptr, m_prompts.get());
        m_dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
        QVERIFY(m_dlg->OpenFiles({Path(name + ".txr"), Path(name + ".txl")}));
        QCoreApplication::processEvents();
    }
    void Press(QKeySequence keys) {
        m_dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
        QTest::keySequence(m_dlg.get(), keys);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_settingsDir.isValid() && m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    }
    void cleanup() { m_dlg.reset(); }

    void filterHidesRowsAndCommandsActOnWhatIsShown() {
        Open();
        QCOMPARE(
            Review().Summary(),
            QStringLiteral("5 entries, 3 translated (60%), 1 missing, 1 same as original, 1 with problems"));
        QTest::keyClicks(Review().FilterText(), QStringLiteral("FI"));
        QCOMPARE(Shown(), (QStringList{"Open file", "Ouvrir le fichier"}));
        Review().FilterText()->clear();
        QTest::keyClicks(Review().FilterText(), QStringLiteral("menu"));  // Group Name
        QCOMPARE(Shown(), (QStringList{"Open file", "Ouvrir le fichier", "Save", "Save"}));

        // Delete the second pair shown: the document loses it and nothing else.
        m_dlg->m_list->SetSelectedRows({2});
        m_dlg->m_list->SetSelectionMark(2);
        m_prompts->yesNo = {true};
        m_dlg->OnDelete();
        QCOMPARE(Shown(), (QStringList{"Open file", "Ouvrir le fichier"}));
        QCOMPARE(DocumentTexts(), (QStringList{"Open file", "Ouvrir le fichier", "Close", "Fermer",
                                               "Disk %s full", "Disque plein", "Quit", "Quit"}));
        QCoreApplication::processEvents();
        QVERIFY(Review().Summary().startsWith(
            QStringLiteral("1 of 4 entries shown, 3 translated (75%), 1 missing, 0 same")));

        // A row hidden cannot be selected; clearing the filter shows every row in document order.
        m_dlg->m_list->SetSelectedRows({4, 5});
        QCOMPARE(m_dlg->m_list->GetSelectedRows(), QList<int>());
        Review().FilterText()->clear();
        QCOMPARE(Shown(), DocumentTexts());

        Review().FilterShowBox()->setCurrentIndex(static_cast<int>(FilterShow::NotTranslated));
        QCOMPARE(Shown(), (QStringList{"Quit", "Quit"}));
        Review().FilterShowBox()->setCurrentIndex(static_cast<int>(FilterShow::WithProblems));
        QCOMPARE(Shown(), (QStringList{"Disk %s full", "Disque plein"}));
        const QModelIndex problem = Model().index(1, ColText);
        QVERIFY(
            Model().data(problem, Qt::ToolTipRole).toString().startsWith(QStringLiteral("placeholder: ")));
        QVERIFY(!Model().data(problem, Qt::DecorationRole).isNull());
        QVERIFY(Model().data(Model().index(0, ColText), Qt::DecorationRole).isNull());

        // Save writes the whole document, whatever is shown.
        m_dlg->OnSave();
        QCOMPARE(ReadDocument(Path("t.txr"), Path("t.txl"), ModeOpenPaired).size(), size_t{8});
    }

    void nextNotTranslatedThenEditRaisesTheProgress() {
        Open();
        QCOMPARE(Review().Progress()->value(), 60);
        Press(QKeySequence(Qt::CTRL | Qt::Key_U));
        QCOMPARE(m_dlg->m_list->GetSelectedRows(), QList<int>{3});  // the translation of "Save"
        m_modal.Arm([](QDialog* d) {
            d->findChild<QPlainTextEdit*>(QStringLiteral("ctl%1").arg(IDC_TEXT))
                ->setPlainText(QStringLiteral("Enregistrer"));
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("ctl%1").arg(IDC_ENTRYOK)),
                              Qt::LeftButton);
        });
        m_dlg->OnEdit();
        QCoreApplication::processEvents();
        QCOMPARE(m_dlg->m_list->GetCellText(3, ColText), QStringLiteral("Enregistrer"));
        QCOMPARE(Review().Progress()->value(), 80);
        QVERIFY(Review().Summary().startsWith(
            QStringLiteral("5 entries, 4 translated (80%), 1 missing, 0 same")));

        // The next one is the missing translation; it is the only one left: the search comes
        // round to it and says so.
        Press(QKeySequence(Qt::CTRL | Qt::Key_U));
        QCOMPARE(m_dlg->m_list->GetSelectedRows(), QList<int>{9});
        QCOMPARE(Review().Note(), QString());
        Press(QKeySequence(Qt::CTRL | Qt::Key_U));
        QCOMPARE(m_dlg->m_list->GetSelectedRows(), QList<int>{9});
        QCOMPARE(Review().Note(), QStringLiteral("No other entry is left to translate"));
        Press(QKeySequence(Qt::SHIFT | Qt::Key_F8));
        QCOMPARE(m_dlg->m_list->GetSelectedRows(), QList<int>{7});
        QCOMPARE(Review().Note(), QString());

        // Undo takes the progress back.
        m_dlg->OnUndo();
        QCoreApplication::processEvents();
        QCOMPARE(Review().Progress()->value(), 60);

        if (const QByteArray shot = qgetenv("QM_SCREENSHOT"); !shot.isEmpty()) {
            m_dlg->OnRedo();
            QTest::keyClicks(Review().FilterText(), QStringLiteral("e"));
            QCoreApplication::processEvents();
            m_dlg->grab().save(QString::fromLocal8Bit(shot));
        }
    }

    // With the filter on, Replace, Replace All, Delete All and Search reach the rows shown and
    // no other; their questions and the status row say how many entries are shown.
    void commandsReachOnlyTheRowsShown() {
        Open();
        QTest::keyClicks(Review().FilterText(), QStringLiteral("menu"));
        QCOMPARE(Shown(), (QStringList{"Open file", "Ouvrir le fichier", "Save", "Save"}));
        QVERIFY(Review().Summary().startsWith(QStringLiteral("2 of 5 entries shown, 3 translated (60%)")));

        // Search by text: "e" is in hidden rows before and after the rows shown.
        auto* searchText = m_dlg->findChild<QLineEdit*>(QStringLiteral("ctl%1").arg(IDC_SEARCHTEXT));
        m_dlg->m_radioTextString->setChecked(true);
        searchText->setText(QStringLiteral("Fer"));
        m_dlg->OnSearch();
        QCOMPARE(m_dlg->m_list->GetSelectedRows(), QList<int>());  // "Fermer" is hidden
        searchText->setText(QStringLiteral("e"));
        QList<int> found;
        for (int i = 0; i < 4; ++i) {
            m_dlg->OnSearch();
            found << m_dlg->m_list->GetSelectedRows();
        }
        QCOMPARE(found, (QList<int>{0, 1, 2, 3}));
        m_dlg->m_radioGlobalId->setChecked(true);
        m_dlg->findChild<QLineEdit*>(QStringLiteral("ctl%1").arg(IDC_SEARCHID))->setText(QStringLiteral("3"));
        m_dlg->OnSearch();
        QCOMPARE(m_dlg->m_list->GetSelectedRows(), QList<int>());

        // Replace once, then Replace All: the shown rows change, "Close", "Fermer", "Disque
        // plein" and "Quit" stay; the dialog's title says what it reaches.
        QString title;
        m_modal.Arm([&title](QDialog* d) {
            title = d->windowTitle();
            d->findChild<QLineEdit*>(QStringLiteral("ctl%1").arg(IDC_SEARCHFOR))
                ->setText(QStringLiteral("e"));
            d->findChild<QLineEdit*>(QStringLiteral("ctl%1").arg(IDC_REPLACEWITH))
                ->setText(QStringLiteral("E"));
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("ctl%1").arg(IDOK)), Qt::LeftButton);
        });
        m_dlg->OnReplace();
        QCOMPARE(title, QStringLiteral("Replace in the 2 entries shown"));
        QCOMPARE(DocumentTexts(), (QStringList{"OpEn filE", "Ouvrir le fichier", "Save", "Save", "Close",
                                               "Fermer", "Disk %s full", "Disque plein", "Quit", "Quit"}));
        m_modal.Arm([](QDialog* d) {
            d->findChild<QLineEdit*>(QStringLiteral("ctl%1").arg(IDC_SEARCHFOR))
                ->setText(QStringLiteral("e"));
            d->findChild<QLineEdit*>(QStringLiteral("ctl%1").arg(IDC_REPLACEWITH))
                ->setText(QStringLiteral("E"));
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("ctl%1").arg(IDC_REPLACEALL)),
                              Qt::LeftButton);
        });
        m_dlg->OnReplace();
        QCOMPARE(DocumentTexts(), (QStringList{"OpEn filE", "Ouvrir lE fichiEr", "SavE", "SavE", "Close",
                                               "Fermer", "Disk %s full", "Disque plein", "Quit", "Quit"}));
        m_dlg->OnSave();
        const Rows saved = ReadDocument(Path("t.txr"), Path("t.txl"), ModeOpenPaired);
        QCOMPARE(saved[5][3], "Fermer");
        QCOMPARE(saved[7][3], "Disque plein");
        QCOMPARE(saved[1][3], "Ouvrir lE fichiEr");

        // Delete All asks about the entries shown and deletes those alone, as one step.
        m_prompts->yesNo = {true};
        m_dlg->OnDeleteAll();
        QCOMPARE(m_prompts->questions, QStringList{"Delete the 2 entries shown?"});
        QCOMPARE(DocumentTexts(),
                 (QStringList{"Close", "Fermer", "Disk %s full", "Disque plein", "Quit", "Quit"}));
        QCoreApplication::processEvents();
        QVERIFY(Review().Summary().startsWith(QStringLiteral("0 of 3 entries shown")));
        m_prompts->Clear();
        m_dlg->OnDeleteAll();
        QCOMPARE(m_prompts->tells, QStringList{"No entry shown to delete"});
        QCOMPARE(m_prompts->questions, QStringList());
        m_dlg->OnUndo();
        QCOMPARE(m_dlg->Doc().RowCount(), 10);

        // Without a filter the question and the reach are as ever.
        Review().FilterText()->clear();
        m_prompts->Clear();
        m_prompts->yesNo = {false};
        m_dlg->OnDeleteAll();
        QCOMPARE(m_prompts->questions, QStringList{"Delete all entries, confirm?"});
        QCOMPARE(Review().Summary().section(QLatin1Char(','), 0, 0), QStringLiteral("5 entries"));
    }

    // The note beside the progress bar: a wrap, an entry that is the only one, nothing to find
    // among the rows shown; a note goes at the next command.
    void notesOfNextAndPrevious() {
        Open();
        Press(QKeySequence(Qt::CTRL | Qt::Key_U));
        Press(QKeySequence(Qt::CTRL | Qt::Key_U));
        QCOMPARE(m_dlg->m_list->GetSelectedRows(), QList<int>{9});
        // Each of these commands takes the wrap note away.
        const std::vector<std::pair<const char*, std::function<void()>>> commands = {
            {"Search button", [&] { qobject_cast<QPushButton*>(m_dlg->Control(IDC_SEARCH))->click(); }},
            {"header click", [&] { m_dlg->m_list->OnHeaderClicked(ColText); }},
            {"Undo", [&] { m_dlg->MenuAction(ID_ENTRY_UNDO)->trigger(); }},
            {"filter typed", [&] { QTest::keyClicks(Review().FilterText(), QStringLiteral("x")); }},
            {"Search by Enter",
             [&] {
                 QTest::keyClick(m_dlg->findChild<QLineEdit*>(QStringLiteral("ctl%1").arg(IDC_SEARCHTEXT)),
                                 Qt::Key_Return);
             }},
        };
        for (const auto& [name, command] : commands) {
            Review().FilterText()->clear();
            m_dlg->m_list->SetSelectedRows({9});
            m_dlg->m_list->SetSelectionMark(9);
            Press(QKeySequence(Qt::CTRL | Qt::Key_U));
            QVERIFY2(Review().Note() == QStringLiteral("Went on from the top"), name);
            command();
            QCoreApplication::processEvents();
            QVERIFY2(Review().Note().isEmpty(), name);
        }
        const struct {
            const char* filter;
            int show;
            QKeySequence keys;
            const char* note;
            QList<int> selected;
        } cases[] = {
            // The filter shows no entry: nothing is selected, hidden rows are not reached.
            {"nowhere", 0, QKeySequence(Qt::CTRL | Qt::Key_U), "Every entry shown is translated", {}},
            {"nowhere", 0, QKeySequence(Qt::Key_F8), "No entry shown has problems", {}},
            // Shown but translated, or without problems.
            {"open", 0, QKeySequence(Qt::CTRL | Qt::Key_U), "Every entry shown is translated", {}},
            {"quit", 0, QKeySequence(Qt::SHIFT | Qt::Key_F8), "No entry shown has problems", {}},
            // The one problem, selected already.
            {"", 2, QKeySequence(Qt::Key_F8), "No other entry has problems", {7}},
        };
        // Typed in the filter box, the keys still reach the menu: the filter text stays.
        Review().FilterText()->clear();
        m_dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
        Review().FilterText()->setFocus();
        QTest::keyClicks(Review().FilterText(), QStringLiteral("nowhere"));
        // A text box claims the keys it has a use of before the shortcuts see them (Ctrl+A
        // selects all, and in X11 text boxes Ctrl+U erases to the start of the line): the
        // window must take the menu's keys first.
        for (const int key : {Qt::Key_A, Qt::Key_U}) {
            for (QWidget* box : {static_cast<QWidget*>(Review().FilterText()),
                                 static_cast<QWidget*>(Review().FilterShowBox())}) {
                QKeyEvent claim(QEvent::ShortcutOverride, key, Qt::ControlModifier);
                QApplication::sendEvent(box, &claim);
                QVERIFY(!claim.isAccepted());
            }
        }
        QTest::keySequence(Review().FilterText(), QKeySequence(Qt::CTRL | Qt::Key_U));
        QCOMPARE(Review().FilterText()->text(), QStringLiteral("nowhere"));
        QCOMPARE(Review().Note(), QStringLiteral("Every entry shown is translated"));
        for (const auto& c : cases) {
            Review().FilterText()->setText(QString::fromLatin1(c.filter));
            Review().FilterShowBox()->setCurrentIndex(c.show);
            m_dlg->m_list->clearSelection();
            if (!c.selected.isEmpty()) {
                m_dlg->m_list->SetSelectedRows({c.selected.front()});
                m_dlg->m_list->SetSelectionMark(c.selected.front());
            }
            Press(c.keys);
            QCOMPARE(Review().Note(), QString::fromLatin1(c.note));
            QCOMPARE(m_dlg->m_list->GetSelectedRows(), c.selected);
        }
    }

    // Export as PO, a translator changes one msgstr, Import brings it back as one undoable step.
    void exportThenImportChangedTranslation() {
        Open();
        m_prompts->fileNames << Path("t.po");
        m_dlg->MenuAction(ID_FILE_EXPORT)->trigger();
        QCOMPARE(m_prompts->warnings, QStringList());
        QFile file(Path("t.po"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray po = file.readAll();
        QVERIFY(po.contains("msgstr \"Fermer\""));
        po.replace("msgstr \"Fermer\"", "msgstr \"Clore\"");
        QFile changed(Path("back.po"));
        QVERIFY(changed.open(QIODevice::WriteOnly) && changed.write(po) == po.size());
        changed.close();

        m_prompts->Clear();
        m_prompts->fileNames << Path("back.po");
        m_dlg->MenuAction(ID_FILE_IMPORT)->trigger();
        QCOMPARE(m_prompts->warnings, QStringList());
        QCOMPARE(m_prompts->tells,
                 QStringList{QStringLiteral("1 updated, 2 unchanged, 2 skipped without a translation.")});
        QCOMPARE(DocumentTexts().value(5), QStringLiteral("Clore"));
        QVERIFY(m_dlg->IsModified());
        Press(QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(DocumentTexts().value(5), QStringLiteral("Fermer"));
        QVERIFY(!m_dlg->IsModified());
    }

    // The target language File > Export writes comes from the .txl's name or folder, as the
    // command line's does, and only from a real language code.
    void exportTakesTheLanguageFromANameThatEndsInACode() {
        const std::pair<QString, QByteArray> cases[] = {
            {QStringLiteral("t"), "und"},           {QStringLiteral("app"), "und"},
            {QStringLiteral("app_fr"), "fr"},       {QStringLiteral("app.pt_BR"), "pt-BR"},
            {QStringLiteral("pt-BR/app"), "pt-BR"}, {QStringLiteral("de/app"), "de"},
        };
        for (const auto& [name, language] : cases) {
            Open(name);
            QFile::remove(Path("lang.po"));
            m_prompts->fileNames << Path("lang.po");
            m_dlg->MenuAction(ID_FILE_EXPORT)->trigger();
            QCOMPARE(m_prompts->warnings, QStringList());
            QFile file(Path("lang.po"));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray po = file.readAll();
            QVERIFY2(po.contains("\"Language: " + language + "\\n\""),
                     qPrintable(name + ": " + po.left(400)));
        }
    }

    // After Save, and after an import is undone, the progress row says what reopening the
    // files says: a saved stand-in is the .txl's copy of the original ("same"), no longer
    // missing.
    void figuresAfterSaveAreThoseOfTheFiles() {
        const auto reopened = [this] {
            ScriptedPrompts prompts;
            CQuillmereDlg other(nullptr, &prompts);
            if (!other.OpenFiles({Path("t.txr"), Path("t.txl")})) return QStringLiteral("not read");
            other.Review().Refresh();
            return other.Review().Summary();
        };
        const auto summary = [this] {
            Review().Refresh();
            return Review().Summary();
        };
        Open();
        const QString missing = summary();
        QVERIFY2(missing.contains("1 missing"), qPrintable(missing));
        QCOMPARE(reopened(), missing);

        // Imported and undone: the entry is missing again, as the unchanged files say.
        WriteBytes(Path("quit.csv"), "Global ID,Group,Original,Translation\r\n5,Error,Quit,Quitter\r\n");
        m_prompts->fileNames << Path("quit.csv");
        m_dlg->MenuAction(ID_FILE_IMPORT)->trigger();
        QCOMPARE(m_prompts->warnings, QStringList());
        QVERIFY(summary().contains("0 missing"));
        m_dlg->OnUndo();
        QCOMPARE(summary(), reopened());

        // Saved: the stand-in is written as a copy of the original.
        m_dlg->MenuAction(ID_FILE_SAVE)->trigger();
        QCOMPARE(m_prompts->warnings, QStringList());
        QVERIFY2(reopened().contains("0 missing"), qPrintable(reopened()));
        QCOMPARE(summary(), reopened());
        QVERIFY(!m_dlg->IsModified());

        // Import, save, undo, save: still what the files say.
        m_prompts->fileNames << Path("quit.csv");
        m_dlg->MenuAction(ID_FILE_IMPORT)->trigger();
        m_dlg->MenuAction(ID_FILE_SAVE)->trigger();
        QCOMPARE(summary(), reopened());
        m_dlg->OnUndo();
        m_dlg->MenuAction(ID_FILE_SAVE)->trigger();
        QCOMPARE(summary(), reopened());
    }

    // A malformed file, or rows that are not side by side: told, and nothing changes.
    void importRefusalsChangeNothing() {
        Open();
        const QStringList texts = DocumentTexts();
        QFile bad(Path("bad.xlf"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(
            "<?xml version=\"1.0\"?>\n<xliff version=\"1.2\" "
            "xmlns=\"urn:oasis:names:tc:xliff:document:1.2\">\n<file>\n</xliff>\n");
        bad.close();
        m_prompts->fileNames << Path("bad.xlf");
        m_dlg->MenuAction(ID_FILE_IMPORT)->trigger();
        QCOMPARE(m_prompts->warnings,
                 QStringList{QStringLiteral("\"%1\": The XLIFF file is not well-formed XML, at line 5, "
                                            "column 1: Premature end of data in tag xliff line 2.")
                                 .arg(Path("bad.xlf"))});
        QCOMPARE(DocumentTexts(), texts);
        QCOMPARE(int(m_dlg->Doc().UndoCount()), 0);

        // A FIFO chosen by mistake is refused at once: no waiting for a writer that never comes.
        QVERIFY(::mkfifo(QFile::encodeName(Path("pipe.xlf")).constData(), 0600) == 0);
        m_prompts->Clear();
        m_prompts->fileNames << Path("pipe.xlf");
        m_dlg->MenuAction(ID_FILE_IMPORT)->trigger();
        QCOMPARE(
            m_prompts->warnings,
            QStringList{QStringLiteral("Cannot open \"%1\": not a regular file.").arg(Path("pipe.xlf"))});
        QCOMPARE(DocumentTexts(), texts);

        m_prompts->Clear();
        m_dlg->SetLocalize(false);
        m_dlg->MenuAction(ID_FILE_EXPORT)->trigger();
        QCOMPARE(m_prompts->tells,
                 QStringList{QStringLiteral("Export needs the original and localized texts "
                                            "side by side: check Localize and choose Show Both.")});
        QVERIFY(m_prompts->fileRequests.isEmpty());
    }
};

QTEST_MAIN(TestTranslating)
#include "tst_Translating.moc"
