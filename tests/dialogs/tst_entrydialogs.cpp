// The Add, Edit and Replace dialogs, driven through their widgets over a real main window.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <limits>
#include <memory>

#include "DialogTestSupport.h"
#include "app/QuillmereDlg.h"
#include "dialogs/AddDlg.h"
#include "dialogs/EditDlg.h"
#include "dialogs/RepDlg.h"
#include "document/format/ResourceTable.h"
#include "document/linklist.h"
#include "listview/SortListCtrl.h"

class EntryDialogsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_settingsDir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<CQuillmereDlg> m_win;

    static QLineEdit* Line(QDialog* dlg, int id) { return Ctl<QLineEdit>(dlg, id); }
    static QPlainTextEdit* Multi(QDialog* dlg, int id) { return Ctl<QPlainTextEdit>(dlg, id); }
    static QPushButton* Button(QDialog* dlg, int id) { return Ctl<QPushButton>(dlg, id); }
    static void Click(QDialog* dlg, int id) { QTest::mouseClick(Button(dlg, id), Qt::LeftButton); }
    static void Press(QWidget* w, Qt::Key key) { QTest::keyClick(w, key); }
    static void Type(QWidget* w, const QString& text) {
        for (QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    static void TypeEntry(QDialog* d, const QString& group, const QString& text) {
        Type(Line(d, IDC_GROUPNAME), group);
        Type(Multi(d, IDC_TEXT), text);
    }
    // A refused entry: the dialog stays open with the focus on the field at fault.
    static void ExpectRefused(QDialog* d, QWidget* field) {
        QVERIFY(d->isVisible());
        QCOMPARE(QApplication::focusWidget(), field);
    }
    static void SetSearch(QDialog* d, const QString& search, const QString& replacement) {
        Line(d, IDC_SEARCHFOR)->setText(search);
        Line(d, IDC_REPLACEWITH)->setText(replacement);
    }

    CSortListCtrl& List() { return *m_win->m_list; }
    std::string Stored(int row, int column) { return List().Store().GetCellText(row, column); }
    int AddVia(const QString& group, const QString& text) {
        return Run<CAddDlg>([&](QDialog* d) {
            TypeEntry(d, group, text);
            Click(d, IDC_ENTRYOK);
        });
    }
    template <class Dlg>
    int Run(const std::function<void(QDialog*)>& script) {
        Dlg dlg(m_win.get());
        return RunModal(dlg, script);
    }
    void ClickWindowButton(int id) {
        QTest::mouseClick(qobject_cast<QPushButton*>(m_win->Control(id)), Qt::LeftButton);
    }
    // Loads a Latin-1 document of one row (last Global ID 1), with its group unless `group` is null.
    void LoadLatin1(std::initializer_list<std::string_view> row, const char* group) {
        const std::vector<std::string_view> cells(row);
        const Status loaded = List().Reload([&](ResourceTable& store) {
            store.AppendRow(cells);
            if (group) store.Groups().Append(group);
            store.SetLastGlobalId(1);
            return Status::Ok();
        });
        QVERIFY(loaded.ok());
        QVERIFY(!List().IsUtf8());
    }
    QStringList Row(int row) {
        QStringList cells;
        for (int c = 0; c < 4; ++c) cells << List().GetCellText(row, c);
        return cells;
    }
    void AddRow(const QStringList& cells) { List().AppendRow(cells); }
    // The Texts Replace works on: rows (n, Menu, n, text).
    void AddTexts(const QStringList& texts) {
        for (const QString& t : texts) {
            const QString n = QString::number(List().GetRowCount() + 1);
            AddRow({n, "Menu", n, t});
        }
    }
    QStringList Texts() {
        QStringList texts;
        for (int r = 0; r < List().GetRowCount(); ++r) texts << List().GetCellText(r, 3);
        return texts;
    }

private slots:
    void initTestCase() { UseSettingsIn(m_settingsDir); }
    void init() {
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_win = std::make_unique<CQuillmereDlg>(nullptr, m_prompts.get());
        m_win->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_win.get()));
        m_win->SetModified(false);
    }
    void cleanup() {
        m_win->SetModified(false);  // nothing to ask about when the window goes
        m_win.reset();
        m_prompts.reset();
    }

    void addProposesTheNextIdAndEveryWayOfCancellingGivesItBack() {
        List().SetLastGlobalId(41);
        for (Finish way : {Finish::CancelButton, Finish::Escape, Finish::CloseBox}) {
            CAddDlg dlg(m_win.get());
            QString shown;
            const int result = RunModal(dlg, [&](QDialog* d) {
                shown = Line(d, IDC_GLOBALID)->text();
                QCOMPARE(d->windowTitle(), QString("Add"));
                QCOMPARE(QApplication::focusWidget(), Button(d, IDC_ENTRYOK));
                QCOMPARE(List().GetLastGlobalId(), 42);
                Type(Line(d, IDC_GROUPNAME), "Menu");
                Type(Line(d, IDC_GLOBALID), "99");
                FinishBy(d, way, Line(d, IDC_GROUPNAME), IDC_ENTRYOK);
            });
            QCOMPARE(result, int(QDialog::Rejected));
            QCOMPARE(shown, QString("42"));
            QCOMPARE(List().GetLastGlobalId(), 41);
        }
        QCOMPARE(List().GetRowCount(), 0);
        QCOMPARE(List().Groups().Count(), 0);
        QVERIFY(!m_win->IsModified());
        QVERIFY(m_prompts->warnings.isEmpty());
    }

    void addThroughTheWindowNumbersWithinTheGroup() {
        List().SetLastGlobalId(41);
        List().Groups().Append("Menu");
        List().Groups().SetCounter("Menu", 3);
        WhenModal([&](QDialog* d) {
            QVERIFY(qobject_cast<CAddDlg*>(d));
            TypeEntry(d, "Menu", "Open file");
            Click(d, IDC_ENTRYOK);
        });
        ClickWindowButton(IDC_ADD);
        QCOMPARE(List().GetRowCount(), 1);
        QCOMPARE(Row(0), QStringList({"42", "Menu", "4", "Open file"}));
        QCOMPARE(List().Groups().GetCounter("Menu"), 4);
        QCOMPARE(List().GetLastGlobalId(), 42);
        QVERIFY(m_win->IsModified());

        // Enter in the Text field confirms; "menu" is a group of its own, numbered from 1.
        const int result = Run<CAddDlg>([&](QDialog* d) {
            TypeEntry(d, "menu", "Close");
            Press(Multi(d, IDC_TEXT), Qt::Key_Return);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(Row(1), QStringList({"43", "menu", "1", "Close"}));
        QCOMPARE(List().Groups().Find("menu"), 2);

        // Enter in the Group Name field confirms too; empty fields make the group "".
        QCOMPARE(Run<CAddDlg>([&](QDialog* d) { Press(Line(d, IDC_GROUPNAME), Qt::Key_Enter); }),
                 int(QDialog::Accepted));
        QCOMPARE(Row(2), QStringList({"44", "", "1", ""}));
        QCOMPARE(List().Groups().Count(), 3);
    }

    void addInLocalizeModeAppendsTheTwin() {
        m_win->SetLocalize(true);
        for (const char* text : {"Open", "Close"}) AddVia("Menu", text);
        QCOMPARE(List().GetRowCount(), 4);
        QCOMPARE(Row(0), Row(1));
        QCOMPARE(Row(2), QStringList({"2", "Menu", "2", "Close"}));
        QCOMPARE(Row(3), Row(2));
        QCOMPARE(List().Groups().GetCounter("Menu"), 2);
        QCOMPARE(List().GetLastGlobalId(), 2);
    }

    // A Global ID that is not a 32-bit integer is refused, the dialog stays open and the
    // entry is added only once it is corrected.
    void addRefusesAGlobalIdThatIsNotAnInteger() {
        List().SetLastGlobalId(5);
        const int result = Run<CAddDlg>([&](QDialog* d) {
            TypeEntry(d, "Menu", "Save");
            for (const char* bad : {"abc", "2147483648", "", "4 2", "1.5"}) {
                Line(d, IDC_GLOBALID)->setText(bad);
                Click(d, IDC_ENTRYOK);
                ExpectRefused(d, Line(d, IDC_GLOBALID));
                QCOMPARE(m_prompts->warnings.value(m_prompts->warnings.size() - 1),
                         QString("Please enter an integer."));
                QCOMPARE(List().GetRowCount(), 0);
                QCOMPARE(List().Groups().Count(), 0);
            }
            QCOMPARE(m_prompts->warnings.size(), 5);
            Line(d, IDC_GLOBALID)->setText(" -5  ");  // stored as typed, the proposed ID stays reserved
            Press(Line(d, IDC_GLOBALID), Qt::Key_Return);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(List().GetRowCount(), 1);
        QCOMPARE(Row(0), QStringList({"-5", "Menu", "1", "Save"}));
        QCOMPARE(List().GetLastGlobalId(), 6);
    }

    // "|" or a line break in the Group Name, a line break in the Text: refused, dialog open.
    void addRefusesWhatTheFileCannotCarry() {
        const int result = Run<CAddDlg>([&](QDialog* d) {
            TypeEntry(d, "Me|nu", "a|b is fine in a Text");
            Click(d, IDC_ENTRYOK);
            ExpectRefused(d, Line(d, IDC_GROUPNAME));
            QCOMPARE(m_prompts->warnings.size(), 1);
            QVERIFY(m_prompts->warnings[0].contains("Group Name"));

            Line(d, IDC_GROUPNAME)->setText("Menu\nBar");  // as pasted
            Click(d, IDC_ENTRYOK);
            QCOMPARE(m_prompts->warnings.size(), 2);

            Line(d, IDC_GROUPNAME)->setText("Menu");
            Multi(d, IDC_TEXT)->setPlainText("two\nlines");  // as pasted
            Click(d, IDC_ENTRYOK);
            ExpectRefused(d, Multi(d, IDC_TEXT));
            QCOMPARE(m_prompts->warnings.size(), 3);
            QVERIFY(m_prompts->warnings[2].contains("Text"));
            QCOMPARE(List().GetRowCount(), 0);
            QCOMPARE(List().Groups().Count(), 0);
            QCOMPARE(List().GetLastGlobalId(), 1);

            Multi(d, IDC_TEXT)->setPlainText("a|b");
            Click(d, IDC_ENTRYOK);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(Row(0), QStringList({"1", "Menu", "1", "a|b"}));
    }

    // With the last Global ID at the largest 32-bit value, Add says so and adds nothing.
    void addWithNoGlobalIdLeftAddsNothing() {
        const int32_t max = std::numeric_limits<int32_t>::max();
        List().SetLastGlobalId(max);
        CAddDlg dlg(m_win.get());
        QTimer::singleShot(3000, &dlg, [&dlg] { dlg.done(kLeftOpen); });  // no hang if it stays open
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QCOMPARE(m_prompts->warnings.size(), 1);
        QVERIFY(m_prompts->warnings[0].contains("No more Global IDs"));
        QCOMPARE(List().GetLastGlobalId(), max);
        QCOMPARE(List().GetRowCount(), 0);
        QVERIFY(!m_win->IsModified());
    }

    // Characters go into the cells exactly: a non-breaking space stays one. A Latin-1 document
    // meeting a character beyond Latin-1 becomes UTF-8 as a whole, its other texts unchanged,
    // when the user agrees; declined, the entry is refused and the dialog stays.
    void addStoresTheTextExactly() {
        LoadLatin1({"1", "Men\xfc", "1", "caf\xe9"}, "Men\xfc");
        AddVia(QString::fromUtf8("Men\u00fc"), QString::fromUtf8("a\u00a0b"));
        QCOMPARE(Stored(1, ColText), std::string("a\xa0") + "b");
        QCOMPARE(Stored(1, ColGroupId), std::string("2"));

        m_prompts->yesNo = {false};
        QCOMPARE(AddVia(QString::fromUtf8("Men\u00fc"), QString::fromUtf8("\u00e9\u20ac")), kLeftOpen);
        QCOMPARE(m_prompts->questions,
                 QStringList{QString::fromUtf8(
                     "The text resource file is Latin-1 and cannot hold '\u20ac'. Save it as "
                     "UTF-8 from now on?")});
        QCOMPARE(List().GetRowCount(), 2);
        QVERIFY(!List().IsUtf8());
        QCOMPARE(List().GetLastGlobalId(), 2);
        m_prompts->yesNo = {true};
        QCOMPARE(AddVia(QString::fromUtf8("Men\u00fc"), QString::fromUtf8("\u00e9\u20ac")),
                 int(QDialog::Accepted));
        QVERIFY(m_prompts->warnings.isEmpty());
        QVERIFY(List().IsUtf8());
        QCOMPARE(Stored(2, ColText), std::string("\xc3\xa9\xe2\x82\xac"));
        QCOMPARE(List().GetCellText(0, 3), QString::fromUtf8("caf\u00e9"));
        QCOMPARE(List().GetCellText(1, 3), QString::fromUtf8("a\u00a0b"));
        // The group list changed its names with the cells: the entry joined its group.
        QCOMPARE(Stored(2, ColGroupId), std::string("3"));
        QCOMPARE(List().Groups().Count(), 1);
        QCOMPARE(List().Groups().head()->name, std::string("Men\xc3\xbc"));
        QCOMPARE(List().Groups().GetCounter("Men\xc3\xbc"), 3);
    }

    void editChangesGroupNameAndTextOfTheMarkedRowOnly() {
        AddRow({"11", "Menu", "2", "Open"});
        AddRow({"12", "Menu", "3", "Open file"});
        AddRow({"13", "Menu", "4", "Quit"});
        List().Groups().Append("Menu");
        List().Groups().SetCounter("Menu", 4);
        for (int r = 0; r < 3; ++r) List().SetRowSelected(r, true);
        List().SetSelectionMark(1);
        m_win->SetModified(false);

        WhenModal([&](QDialog* d) {
            QVERIFY(qobject_cast<CEditDlg*>(d));
            QCOMPARE(d->windowTitle(), QString("Edit"));
            QCOMPARE(Line(d, IDC_GROUPNAME)->text(), QString("Menu"));
            QCOMPARE(Line(d, IDC_GROUPID)->text(), QString("3"));
            QCOMPARE(Multi(d, IDC_TEXT)->toPlainText(), QString("Open file"));
            QCOMPARE(QApplication::focusWidget(), Button(d, IDC_ENTRYOK));
            Line(d, IDC_GROUPNAME)->setText("Dialog");
            Type(Line(d, IDC_GROUPID), "9");  // read-only: its value is never used
            QCOMPARE(Line(d, IDC_GROUPID)->text(), QString("3"));
            Multi(d, IDC_TEXT)->setPlainText("Close file");
            Click(d, IDC_ENTRYOK);
        });
        ClickWindowButton(IDC_EDIT);
        QCOMPARE(Row(1), QStringList({"12", "Dialog", "3", "Close file"}));
        QCOMPARE(Row(0), QStringList({"11", "Menu", "2", "Open"}));
        QCOMPARE(Row(2), QStringList({"13", "Menu", "4", "Quit"}));
        QCOMPARE(List().Groups().Find("Dialog"), 0);
        QCOMPARE(List().Groups().GetCounter("Menu"), 4);
        QVERIFY(m_win->IsModified());

        const int result = Run<CEditDlg>([&](QDialog* d) {
            QTest::keyClick(Multi(d, IDC_TEXT), Qt::Key_End, Qt::ControlModifier);
            Type(Multi(d, IDC_TEXT), "!");
            Press(Multi(d, IDC_TEXT), Qt::Key_Enter);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(List().GetCellText(1, 3), QString("Close file!"));
    }

    // Trailing white space of a typed Group Name is dropped, as the reader drops it: "Menu "
    // joins "Menu" instead of making a second group that reads back as the same one.
    void groupNameLosesTrailingWhiteSpaceInAddAndEdit() {
        AddRow({"1", "Menu", "1", "Open"});
        List().Groups().Append("Menu");
        List().Groups().SetCounter("Menu", 1);
        List().SetLastGlobalId(1);
        QCOMPARE(AddVia("Menu \t", "Close"), int(QDialog::Accepted));
        QCOMPARE(Row(1), QStringList({"2", "Menu", "2", "Close"}));
        QCOMPARE(AddVia(" Tool  ", "Cut"), int(QDialog::Accepted));
        QCOMPARE(Row(2), QStringList({"3", " Tool", "1", "Cut"}));  // leading blanks are the name's
        QCOMPARE(List().Groups().Count(), 2);

        List().SetSelectionMark(0);
        const int result = Run<CEditDlg>([&](QDialog* d) {
            Line(d, IDC_GROUPNAME)->setText(" Tool \t ");
            Click(d, IDC_ENTRYOK);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(Stored(0, ColGroupName), std::string(" Tool"));
    }

    // Cancelling in any way, or confirming without a selection mark, changes nothing.
    void editCancelledOrWithoutSelectionMarkChangesNothing() {
        AddRow({"1", "Menu", "1", "Open"});
        List().SetSelectionMark(0);
        m_win->SetModified(false);
        for (Finish way : {Finish::CancelButton, Finish::Escape, Finish::CloseBox}) {
            const int result = Run<CEditDlg>([&](QDialog* d) {
                TypeEntry(d, "X", "Y");
                FinishBy(d, way, Line(d, IDC_GROUPNAME), IDC_ENTRYOK);
            });
            QCOMPARE(result, int(QDialog::Rejected));
        }
        List().SetSelectionMark(-1);
        const int result = Run<CEditDlg>([&](QDialog* d) {
            QVERIFY(Line(d, IDC_GROUPNAME)->text().isEmpty());
            QVERIFY(Multi(d, IDC_TEXT)->toPlainText().isEmpty());
            Type(Multi(d, IDC_TEXT), "typed");
            Click(d, IDC_ENTRYOK);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(List().GetRowCount(), 1);
        QCOMPARE(Row(0), QStringList({"1", "Menu", "1", "Open"}));
        QVERIFY(!m_win->IsModified());
    }

    // Edit refuses what the file format cannot carry, and a cell the user did not touch keeps
    // its exact bytes (Latin-1 document).
    void editRefusesWhatTheFileCannotCarryAndKeepsUntouchedBytes() {
        LoadLatin1({"1", "Menu", "1", "caf\xe9\xa0ok"}, "Menu");
        List().SetSelectionMark(0);
        const int result = Run<CEditDlg>([&](QDialog* d) {
            Line(d, IDC_GROUPNAME)->setText("Me|nu");
            Click(d, IDC_ENTRYOK);
            ExpectRefused(d, Line(d, IDC_GROUPNAME));
            Line(d, IDC_GROUPNAME)->setText(QString::fromUtf8("M\u00e9nu"));
            Multi(d, IDC_TEXT)->setPlainText("x\ny");
            Click(d, IDC_ENTRYOK);
            ExpectRefused(d, Multi(d, IDC_TEXT));
            QCOMPARE(Stored(0, ColGroupName), std::string("Menu"));
            Multi(d, IDC_TEXT)->setPlainText(QString::fromUtf8("caf\u00e9\u00a0ok"));
            Click(d, IDC_ENTRYOK);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(m_prompts->warnings.size(), 2);
        QCOMPARE(Stored(0, ColGroupName), std::string("M\xe9nu"));
        QCOMPARE(Stored(0, ColText), std::string("caf\xe9\xa0ok"));
    }

    void replaceChangesOneRowPerPressAndNeverCloses() {
        AddTexts({"File", "Open file", "Save file"});
        List().SetLastGlobalId(3);
        List().SetCellText(0, 1, "file");
        m_win->SetModified(false);
        WhenModal([&](QDialog* d) {
            QVERIFY(qobject_cast<CRepDlg*>(d));
            QCOMPARE(d->windowTitle(), QString("Replace"));
            QCOMPARE(QApplication::focusWidget(), Button(d, IDOK));
            Type(Line(d, IDC_SEARCHFOR), "file");
            Type(Line(d, IDC_REPLACEWITH), "document");
            Click(d, IDOK);
            QCOMPARE(Texts(), QStringList({"File", "Open document", "Save file"}));
            QVERIFY(d->isVisible());
            Click(d, IDOK);
            QCOMPARE(Texts(), QStringList({"File", "Open document", "Save document"}));
            Click(d, IDOK);
            QCOMPARE(Texts(), QStringList({"File", "Open document", "Save document"}));
            QCOMPARE(Line(d, IDC_SEARCHFOR)->text(), QString("file"));
            Click(d, IDCANCEL);
        });
        ClickWindowButton(IDC_REPLACE);
        QCOMPARE(Row(0), QStringList({"1", "file", "1", "File"}));
        QVERIFY(m_win->IsModified());
    }

    // Replace and Replace All reach every row, also past 2 x the last Global ID.
    void replaceReachesEveryRowWhateverTheLastGlobalId() {
        AddTexts({"x", "Open file", "x", "x", "Save file", "file"});
        List().SetLastGlobalId(1);
        Run<CRepDlg>([&](QDialog* d) {
            SetSearch(d, "file", "doc");
            Click(d, IDOK);
            Click(d, IDOK);
            QCOMPARE(Texts(), QStringList({"x", "Open doc", "x", "x", "Save doc", "file"}));
            Click(d, IDC_REPLACEALL);
            QCOMPARE(Texts(), QStringList({"x", "Open doc", "x", "x", "Save doc", "doc"}));
            // Replace All leaves the scan at the end: a later Replace changes nothing.
            Line(d, IDC_SEARCHFOR)->setText("x");
            Click(d, IDOK);
            QCOMPARE(Texts().count("x"), 3);
            Click(d, IDC_REPLACEALL);
            QCOMPARE(Texts().count("x"), 0);
            Click(d, IDCANCEL);
        });
        QCOMPARE(Texts(), QStringList({"doc", "Open doc", "doc", "doc", "Save doc", "doc"}));
    }

    void replaceScansBothRowsOfEachPairAndOnlyTheTextColumn() {
        AddRow({"1", "file", "1", "Open file"});
        AddRow({"1", "file", "1", "Ouvrir file"});
        AddRow({"file", "Menu", "2", "Close"});
        AddRow({"file", "Menu", "2", "Fermer"});
        m_win->SetLocalize(true);
        Run<CRepDlg>([&](QDialog* d) {
            SetSearch(d, "file", "fichier");
            Click(d, IDC_REPLACEALL);
        });
        QCOMPARE(Row(0), QStringList({"1", "file", "1", "Open fichier"}));
        QCOMPARE(Row(1), QStringList({"1", "file", "1", "Ouvrir fichier"}));
        QCOMPARE(Row(2), QStringList({"file", "Menu", "2", "Close"}));
        QCOMPARE(Row(3), QStringList({"file", "Menu", "2", "Fermer"}));
    }

    // Enter in a field presses Replace, the dialog's OK action, never Replace All; Escape closes
    // and keeps what was replaced.
    void enterPressesReplaceAndEscapeKeepsTheChanges() {
        AddTexts({"file", "file"});
        const int result = Run<CRepDlg>([&](QDialog* d) {
            Type(Line(d, IDC_SEARCHFOR), "file");
            Press(Line(d, IDC_SEARCHFOR), Qt::Key_Return);
            QVERIFY(d->isVisible());
            QCOMPARE(Texts(), QStringList({"", "file"}));
            Press(Line(d, IDC_REPLACEWITH), Qt::Key_Escape);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(Texts(), QStringList({"", "file"}));
    }

    // An empty search changes nothing. A replacement holding a line break would split its Text's
    // line in the file: refused with a message, nothing replaced. A search text a Latin-1 document cannot
    // hold matches nothing.
    void replaceRefusesALineBreakAndMatchesOnlyStorableText() {
        AddTexts({"file"});
        m_win->SetModified(false);
        Run<CRepDlg>([&](QDialog* d) {
            Line(d, IDC_REPLACEWITH)->setText("file");  // an empty search text replaces nothing
            Click(d, IDOK);
            Click(d, IDC_REPLACEALL);
            QCOMPARE(Texts(), QStringList({"file"}));
            SetSearch(d, "file", "two\nlines");
            Click(d, IDC_REPLACEALL);
            Click(d, IDOK);
            QCOMPARE(m_prompts->warnings.size(), 2);
            QVERIFY(m_prompts->warnings[0].contains("line break"));
            QCOMPARE(Texts(), QStringList({"file"}));
            QVERIFY(!m_win->IsModified());

            List().SetCellText(0, 3, "f?le");
            List().SetUtf8(false);
            Line(d, IDC_SEARCHFOR)->setText(QString::fromUtf8("f\u0131le"));  // dotless i
            Line(d, IDC_REPLACEWITH)->setText("x");
            Click(d, IDC_REPLACEALL);
            QCOMPARE(Texts(), QStringList({"f?le"}));
            QVERIFY(!List().IsUtf8());

            SetSearch(d, "?", QString::fromUtf8("\u0131"));
            m_prompts->yesNo = {true};
            Click(d, IDC_REPLACEALL);
            QCOMPARE(Texts(), QStringList({QString::fromUtf8("f\u0131le")}));
            QVERIFY(List().IsUtf8());
        });
        QCOMPARE(m_prompts->warnings.size(), 2);
    }

    // A replacement beyond Latin-1 turns a Latin-1 document into UTF-8; the search text still
    // finds its characters there.
    void replaceWithANewCharacterInALatin1Document() {
        LoadLatin1({"1", "Men\xfc", "1", "caf\xe9 cr\xe8me"}, nullptr);
        m_prompts->yesNo = {true};
        Run<CRepDlg>([&](QDialog* d) {
            SetSearch(d, QString::fromUtf8("\u00e9"), QString::fromUtf8("\u20ac"));
            Click(d, IDOK);
        });
        QVERIFY(List().IsUtf8());
        QCOMPARE(Stored(0, ColText), std::string("caf\xe2\x82\xac cr\xc3\xa8me"));
        QCOMPARE(Stored(0, ColGroupName), std::string("Men\xc3\xbc"));
    }
};

QTEST_MAIN(EntryDialogsTest)
#include "tst_entrydialogs.moc"
