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

    // "{e}" stands for the prompt's extension, "{E}" for it in capitals.
    void promptsAddTheExtensionToTheNameAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("finish");
        const auto row = [](const char* tag, const char* typed, const char* name, Finish finish) {
            QTest::newRow(tag) << QString(typed) << QString(name) << int(finish);
        };
        row("bare", "strings", "strings{e}", Finish::OkButton);
        row("extension typed", "strings{e}", "strings{e}", Finish::OkButton);
        row("extension typed in capitals", "Strings{E}", "Strings{E}", Finish::Enter);
        row("other extension", "strings.txt", "strings.txt{e}", Finish::OkButton);
        row("folder kept", "work/strings", "work/strings{e}", Finish::Enter);
        row("blanks kept", " a b ", " a b {e}", Finish::Enter);
    }
    void promptsAddTheExtensionToTheNameAsTyped() {
        QFETCH(QString, typed);
        QFETCH(QString, name);
        QFETCH(int, finish);
        for (const bool localized : {false, true}) {
            const QString e = localized ? ".txl" : ".txr";
            const auto expand = [&](QString s) { return s.replace("{e}", e).replace("{E}", e.toUpper()); };
            std::unique_ptr<QDialog> dlg;
            if (localized)
                dlg = std::make_unique<CNewloDlg>(m_win.get());
            else
                dlg = std::make_unique<CNewDlg>(m_win.get());
            QCOMPARE(dlg->windowTitle(), QString(localized ? "New Locailized Version" : "New"));
            QCOMPARE(Prompt(*dlg, expand(typed), Finish(finish)), int(QDialog::Accepted));
            // Each prompt names its own file only.
            QCOMPARE(localized ? m_win->m_strLocFileName : m_win->m_strFileName, expand(name));
            QCOMPARE(localized ? m_win->m_strFileName : m_win->m_strLocFileName,
                     QString(localized ? "/data/old.txr" : "/data/old.txl"));
            m_win->m_strFileName = "/data/old.txr";
            m_win->m_strLocFileName = "/data/old.txl";
        }
    }

    // No name (or the extension alone, which would be a hidden file) is refused: the prompt
    // stays open and says so.
    void emptyNamesAreRefused() {
        for (const QString& typed : {QString(), QString("  "), QString(".txr"), QString("work/.TXR")}) {
            m_prompts->Clear();
            CNewDlg dlg(m_win.get());
            QCOMPARE(Prompt(dlg, typed, Finish::OkButton), kLeftOpen);
            QCOMPARE(m_prompts->warnings, QStringList{"Please enter a file name."});
            QCOMPARE(m_win->m_strFileName, QString("/data/old.txr"));
        }
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
