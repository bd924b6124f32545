// Times the editor window on a large document: opening it to a painted table, sorting it by
// a header click, scrolling, the two searches, and undo and redo of Delete All, Replace All
// (every row changed) and a sort, with the memory each of those steps keeps in the history;
// with a .txl, the pair view's filter and moves, and the Translate view: switching to it, a
// keystroke in its translation box with the live checks, accepting and moving on.
//
//   QT_QPA_PLATFORM=offscreen window_timing FILE.txr [FILE.txl]
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "app/QuillmereDlg.h"
#include "app/TranslateView.h"
#include "app/TranslationEditor.h"
#include "app/TranslationReview.h"
#include "dialogs/UserPrompts.h"
#include "document/model/Document.h"
#include "res/resource.h"

namespace {

class FilePrompts : public UserPrompts {
public:
    QStringList files;
    bool AskYesNo(QWidget*, const QString&) override { return false; }
    Answer AskYesNoCancel(QWidget*, const QString&) override { return No; }
    void Tell(QWidget*, const QString&) override {}
    void Warn(QWidget*, const QString& text) override {
        std::fprintf(stderr, "warning: %s\n", qPrintable(text));
    }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
};

// The processor time of this thread: the machine may be shared, and waiting for a processor
// is not the editor's work.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Runs `step`, then paints the table at once; prints the seconds taken (wall clock and this
// thread's processor time) and returns the wall-clock seconds.
double Timed(const char* what, CQuillmereDlg& dlg, const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    const double cpu = ThreadSeconds();
    step();
    QApplication::processEvents();
    QTableView* shown = dlg.Translating() ? dlg.Translate()->Table() : dlg.m_list;
    shown->viewport()->repaint();
    shown->horizontalHeader()->viewport()->repaint();
    if (dlg.Translating()) dlg.Translate()->Editor()->repaint();
    const double s = timer.nsecsElapsed() / 1e9;
    std::printf("%-44s %8.3f s  (cpu %.3f s, %d rows)\n", what, s, ThreadSeconds() - cpu,
                dlg.m_list->GetRowCount());
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_timing FILE.txr [FILE.txl]\n");
        return 1;
    }
    FilePrompts prompts;
    CQuillmereDlg dlg(nullptr, &prompts);
    dlg.show();
    if (!QTest::qWaitForWindowExposed(&dlg)) return 1;
    QHeaderView* header = dlg.m_list->horizontalHeader();
    const auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
    };

    prompts.files << QString::fromLocal8Bit(argv[1]);
    Timed("Open (read, detect encoding, paint)", dlg, [&] { dlg.MenuAction(ID_FILE_OPEN)->trigger(); });
    if (qEnvironmentVariableIsSet("QM_STORE_ONLY")) {
        Timed("store only: sort by Text", dlg, [&] { dlg.m_list->Store().SortByColumn(3, true); });
        Timed("store only: sort by Text desc", dlg, [&] { dlg.m_list->Store().SortByColumn(3, false); });
        Timed("store only: sort by Global ID", dlg, [&] { dlg.m_list->Store().SortByColumn(0, true); });
    }
    Timed("header click: sort by Text", dlg, [&] { clickHeader(3); });
    Timed("header click: Text again (descending)", dlg, [&] { clickHeader(3); });
    Timed("header click: sort by Global ID", dlg, [&] { clickHeader(0); });
    Timed("header click: sort by Group Name", dlg, [&] { clickHeader(1); });
    QScrollBar* bar = dlg.m_list->verticalScrollBar();
    Timed("scroll: 100 page steps", dlg, [&] {
        for (int i = 0; i < 100; ++i) {
            bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
            dlg.m_list->viewport()->repaint();
        }
    });
    Timed("scroll: jump to the end and back to the middle", dlg, [&] {
        bar->setValue(bar->maximum());
        dlg.m_list->viewport()->repaint();
        bar->setValue(bar->maximum() / 2);
    });
    Timed("type-ahead in the list: a key with no match", dlg,
          [&] { dlg.m_list->keyboardSearch(QStringLiteral("x")); });
    dlg.m_radioTextString->setChecked(true);
    qobject_cast<QLineEdit*>(dlg.Control(IDC_SEARCHTEXT))->setText(QStringLiteral("no such text anywhere"));
    Timed("Search by text (no match: every row)", dlg, [&] { dlg.OnSearch(); });
    dlg.m_radioGlobalId->setChecked(true);
    qobject_cast<QLineEdit*>(dlg.Control(IDC_SEARCHID))->setText(QStringLiteral("500000"));
    Timed("Search by Global ID", dlg, [&] { dlg.OnSearch(); });
    // Undo and redo of the large changes. Each row's Text holds a space (the generator's texts
    // are words): Replace All of " " changes every row.
    Document& doc = dlg.Doc();
    const auto undoRedo = [&](const char* what, const std::function<void()>& change) {
        const size_t before = doc.HistoryBytes();
        Timed((std::string(what) + ": the change").c_str(), dlg, change);
        std::printf("%-44s %8.1f MiB\n", (std::string(what) + ": history").c_str(),
                    (doc.HistoryBytes() - before) / 1048576.0);
        Timed((std::string(what) + ": undo (Ctrl+Z)").c_str(), dlg,
              [&] { QTest::keyClick(dlg.m_list, Qt::Key_Z, Qt::ControlModifier); });
        Timed((std::string(what) + ": redo (Ctrl+Y)").c_str(), dlg,
              [&] { QTest::keyClick(dlg.m_list, Qt::Key_Y, Qt::ControlModifier); });
    };
    undoRedo("sort by Text", [&] { clickHeader(3); });
    undoRedo("Replace All, every row", [&] { doc.ReplaceAll(" ", "_"); });
    undoRedo("Delete All", [&] { doc.DeleteAll(); });
    std::printf("%-44s %8.1f MiB  (%zu steps)\n", "history in all", doc.HistoryBytes() / 1048576.0,
                doc.UndoCount());
    if (argc > 2) {
        prompts.files << QString::fromLocal8Bit(argv[2]);
        Timed("Open Localized Version (pairs)", dlg,
              [&] { dlg.MenuAction(ID_FILE_OPENLOCALIZED)->trigger(); });
        Timed("header click in the pair view: Text", dlg, [&] { clickHeader(3); });
        // The filter row: each keystroke refilters the pairs; clearing it shows every row.
        QLineEdit* filter = dlg.Review().FilterText();
        Timed("filter: type \"f\"", dlg, [&] { QTest::keyClick(filter, Qt::Key_F); });
        Timed("filter: then \"i\" (narrowing)", dlg, [&] { QTest::keyClick(filter, Qt::Key_I); });
        Timed("filter: then \"q\" (nothing left)", dlg, [&] { QTest::keyClick(filter, Qt::Key_Q); });
        Timed("filter: cleared", dlg, [&] { filter->clear(); });
        Timed("filter: Not translated", dlg, [&] { dlg.Review().FilterShowBox()->setCurrentIndex(1); });
        dlg.Review().FilterShowBox()->setCurrentIndex(0);
        Timed("Next Not Translated", dlg, [&] { dlg.MenuAction(ID_ENTRY_NEXTUNTRANSLATED)->trigger(); });
        Timed("edit one cell (checks and figures again)", dlg, [&] {
            dlg.m_list->SetCellText(1, 3, QStringLiteral("changed"));
            QApplication::processEvents();
        });
        // The Translate view, driven by its keys; the slowest of several tries is what a
        // translator would feel.
        Timed("Translate view: switch to it (Ctrl+T)", dlg,
              [&] { QTest::keyClick(dlg.m_list, Qt::Key_T, Qt::ControlModifier); });
        QPlainTextEdit* box = dlg.Translate()->Editor()->Box();
        box->setFocus();
        const auto slowest = [&](const char* what, int times, const std::function<void()>& step) {
            double worst = 0, worstCpu = 0;
            for (int i = 0; i < times; ++i) {
                const double cpu = ThreadSeconds();
                worst = std::max(worst, Timed(what, dlg, step));
                worstCpu = std::max(worstCpu, ThreadSeconds() - cpu);
            }
            std::printf("%-44s %8.3f s  (cpu %.3f s, slowest of %d)\n", what, worst, worstCpu, times);
        };
        slowest("Translate: a keystroke (live checks)", 10, [&] { QTest::keyClick(box, Qt::Key_A); });
        slowest("Translate: Ctrl+Return (accept, next to do)", 5,
                [&] { QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier); });
        slowest("Translate: Ctrl+Down (next entry)", 5,
                [&] { QTest::keyClick(box, Qt::Key_Down, Qt::ControlModifier); });
        slowest("Translate: type, then Ctrl+Down (commit)", 5, [&] {
            QTest::keyClick(box, Qt::Key_B);
            QTest::keyClick(box, Qt::Key_Down, Qt::ControlModifier);
        });
    }
    return 0;
}
