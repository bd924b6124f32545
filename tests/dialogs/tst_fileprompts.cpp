// The New and New Localized Version prompts, driven through their widgets.
#include <QLineEdit>
#include <memory>

#include "DialogTestSupport.h"
#include "app/QuillmereDlg.h"
#include "dialogs/NewDlg.h"
#include "dialogs/NewloDlg.h"

namespace {

// Types `typed` into the prompt's field and finishes it the given way; returns the result.
int Prompt(QDialog& dlg, const QString& typed, Finish finish) {
    return RunModal(dlg, [&](QDialog* d) {
        QLineEdit* name = Ctl<QLineEdit>(d, IDC_FILENAME);
        QVERIFY(name->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), Ctl<QPushButton>(d, IDOK));
        QTest::keyClicks(name, typed);
        FinishBy(d, finish, name, IDOK);
    });
}

}  // namespace

class FilePromptsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_settingsDir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<CQuillmereDlg> m_win;

private slots:
    void initTestCase() { UseSettingsIn(m_settingsDir); }
    void init() {
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_win = std::make_unique<CQuillmereDlg>(nullptr, m_prompts.get());
        m_win->m_strFileName = "/data/old.txr";
        m_win->m_strLocFileName = "/data/old.txl";
    }
    void cleanup() {
        m_win.reset();
        m_prompts.reset();
    }

    void newPromptAddsTheExtensionToTheNameAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("finish");
        const auto row = [](const char* tag, const char* typed, const char* name, Finish finish) {
            QTest::newRow(tag) << QString(typed) << QString(name) << int(finish);
        };
        row("bare", "strings", "strings.txr", Finish::OkButton);
        row("extension kept", "strings.txr", "strings.txr.txr", Finish::OkButton);
        row("empty", "", ".txr", Finish::OkButton);
        row("folder kept", "work/strings", "work/strings.txr", Finish::Enter);
        row("blanks kept", " a b ", " a b .txr", Finish::Enter);
    }
    void newPromptAddsTheExtensionToTheNameAsTyped() {
        QFETCH(QString, typed);
        QFETCH(QString, name);
        QFETCH(int, finish);
        CNewDlg dlg(m_win.get());
        QCOMPARE(dlg.windowTitle(), QString("New"));
        QCOMPARE(Prompt(dlg, typed, Finish(finish)), int(QDialog::Accepted));
        QCOMPARE(m_win->m_strFileName, name);
        QCOMPARE(dlg.m_strName, typed);
        QCOMPARE(m_win->m_strLocFileName, QString("/data/old.txl"));
    }

    void newLocalizedPromptNamesOnlyTheLocalizedFile_data() {
        newPromptAddsTheExtensionToTheNameAsTyped_data();
    }
    void newLocalizedPromptNamesOnlyTheLocalizedFile() {
        QFETCH(QString, typed);
        QFETCH(QString, name);
        QFETCH(int, finish);
        name.chop(4);  // the prompt adds ".txl" instead of ".txr" and keeps what was typed
        name += ".txl";
        CNewloDlg dlg(m_win.get());
        QCOMPARE(dlg.windowTitle(), QString("New Locailized Version"));
        QCOMPARE(Prompt(dlg, typed, Finish(finish)), int(QDialog::Accepted));
        QCOMPARE(m_win->m_strLocFileName, name);
        QCOMPARE(m_win->m_strFileName, QString("/data/old.txr"));
    }

    void cancellingLeavesBothNames() {
        for (Finish way : {Finish::CancelButton, Finish::Escape, Finish::CloseBox}) {
            CNewDlg newDlg(m_win.get());
            QCOMPARE(Prompt(newDlg, "strings", way), int(QDialog::Rejected));
            CNewloDlg newloDlg(m_win.get());
            QCOMPARE(Prompt(newloDlg, "strings", way), int(QDialog::Rejected));
        }
        QCOMPARE(m_win->m_strFileName, QString("/data/old.txr"));
        QCOMPARE(m_win->m_strLocFileName, QString("/data/old.txl"));
        QVERIFY(m_prompts->warnings.isEmpty());
    }
};

QTEST_MAIN(FilePromptsTest)
#include "tst_fileprompts.moc"
