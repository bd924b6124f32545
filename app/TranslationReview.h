#pragma once
// The translator's part of the main window: the filter row (a text box and All / Not translated
// / With problems), the progress row ("N entries, T translated (P%), ...", a progress bar and a
// short note), the marks and tooltips of rows not translated or with problems, and going to the
// next or previous such entry. The checks run again after every change of the document.
//
// The filter only hides rows: the document keeps every row, commands act on the rows shown and
// selected, and an empty text with All shows every row in the document's order. Rows edited
// while a filter is on stay shown until the filter changes; rows added are shown.
#include <QLabel>
#include <QObject>
#include <QString>
#include <QWidget>

#include "document/model/DocumentObserver.h"
#include "document/review/DocumentReview.h"

class QComboBox;
class QLineEdit;
class QProgressBar;
class CSortListCtrl;
class Document;

class TranslationReview : public QObject, private DocumentObserver {
    Q_OBJECT
public:
    // The two rows are children of `window`; the caller places them.
    TranslationReview(QWidget* window, Document& doc, CSortListCtrl* list);
    ~TranslationReview() override;

    QWidget* FilterRow() const { return m_filterRow; }
    QWidget* ProgressRow() const { return m_progressRow; }
    QLineEdit* FilterText() const { return m_filterText; }
    QComboBox* FilterShowBox() const { return m_show; }
    QProgressBar* Progress() const { return m_progress; }
    QString Summary() const { return m_summary->text(); }
    QString Note() const { return m_note->text(); }
    const DocumentReview& Review() const { return m_review; }

    // Checks and counts again now (normally done once the change is over).
    void Refresh();
    // Shows the rows the filter row asks for.
    void ApplyFilter();
    // Selects the next / previous entry (among the rows shown) that is not translated or has a
    // problem, wrapping around with a note; a note too when there is none.
    void GoTo(bool forward, bool problem) {
        GoTo(forward, problem ? FilterShow::WithProblems : FilterShow::NotTranslated);
    }
    // The same for entries not translated (NotTranslated), with a problem (WithProblems) or
    // either (All: the next entry still to do).
    void GoTo(bool forward, FilterShow show);
    // The note of the last GoTo goes at the next command.
    void ClearNote() { m_note->clear(); }

private:
    void RowsInserted() override { ScheduleAll(); }
    void RowsRemoved() override { ScheduleAll(); }
    void RowsChanged(int first, int last) override;
    void RowsReordered(const std::vector<int>& order) override;
    void ScheduleAll();
    void Reset() override;
    void Schedule();
    // The figures, and with a filter how many entries it shows.
    void ShowSummary();

    Document& m_doc;
    CSortListCtrl* m_list;
    DocumentReview m_review;
    QWidget* m_filterRow;
    QLineEdit* m_filterText;
    QComboBox* m_show;
    QWidget* m_progressRow;
    QLabel* m_summary;
    QProgressBar* m_progress;
    QLabel* m_note;
    bool m_scheduled = false;
    bool m_all = false;                           // rows came, went or moved: check everything
    int m_changedFirst = -1, m_changedLast = -1;  // else the rows changed in place
};
