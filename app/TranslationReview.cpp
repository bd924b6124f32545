#include "app/TranslationReview.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>

#include "document/model/Document.h"
#include "listview/RowStoreModel.h"
#include "listview/SortListCtrl.h"

TranslationReview::TranslationReview(QWidget* window, Document& doc, CSortListCtrl* list)
    : QObject(window), m_doc(doc), m_list(list), m_review(doc) {
    m_filterRow = new QWidget(window);
    auto* filterLayout = new QHBoxLayout(m_filterRow);
    filterLayout->setContentsMargins(0, 0, 0, 0);
    m_filterText = new QLineEdit(m_filterRow);
    m_filterText->setObjectName(QStringLiteral("filterText"));
    m_filterText->setPlaceholderText(QStringLiteral("Filter"));
    m_filterText->setToolTip(
        QStringLiteral("Shows the entries whose Global ID, Group Name or Text holds this"));
    m_filterText->setClearButtonEnabled(true);
    m_show = new QComboBox(m_filterRow);
    m_show->setObjectName(QStringLiteral("filterShow"));
    m_show->addItems(
        {QStringLiteral("All"), QStringLiteral("Not translated"), QStringLiteral("With problems")});
    filterLayout->addWidget(m_filterText, 3);
    filterLayout->addWidget(m_show, 2);

    m_progressRow = new QWidget(window);
    auto* progressLayout = new QHBoxLayout(m_progressRow);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    m_summary = new QLabel(m_progressRow);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_note = new QLabel(m_progressRow);
    m_note->setObjectName(QStringLiteral("note"));
    m_progress = new QProgressBar(m_progressRow);
    m_progress->setRange(0, 100);
    m_progress->setMaximumWidth(120);
    progressLayout->addWidget(m_summary, 1);
    progressLayout->addWidget(m_note);
    progressLayout->addWidget(m_progress);

    connect(m_filterText, &QLineEdit::textChanged, this, &TranslationReview::ApplyFilter);
    connect(m_show, &QComboBox::currentIndexChanged, this, &TranslationReview::ApplyFilter);
    m_list->Model()->SetMarks([this](int row) {
        RowStoreModel::RowMark mark;
        mark.notTranslated = (row & 1) && m_review.NotTranslated(row);
        mark.problem = m_review.HasProblem(row);
        if (mark.notTranslated || mark.problem) mark.tooltip = QString::fromStdString(m_review.InWords(row));
        return mark;
    });
    m_doc.AddObserver(this);
    Refresh();
}

TranslationReview::~TranslationReview() {
    m_list->Model()->SetMarks({});
    m_doc.RemoveObserver(this);
}

void TranslationReview::Schedule() {
    if (m_scheduled) return;
    m_scheduled = true;
    // Once the change is over: a command may change the rows several times in a row.
    QTimer::singleShot(0, this, [this] {
        if (m_scheduled) Refresh();
    });
}

void TranslationReview::ScheduleAll() {
    m_all = true;
    Schedule();
}

void TranslationReview::RowsChanged(int first, int last) {
    m_changedFirst = m_changedFirst < 0 ? first : std::min(m_changedFirst, first);
    m_changedLast = std::max(m_changedLast, last);
    Schedule();
}

void TranslationReview::RowsReordered(const std::vector<int>& order) {
    // A sort (or its undo) moves the problems with their rows: checking a large document again
    // would hold up every header click and every undo of one.
    if (!m_scheduled && m_review.Reordered(order)) {
        m_list->Model()->MarksChanged();
        return;
    }
    ScheduleAll();
}

void TranslationReview::Reset() {
    // A read or Delete All shows every row: the filter is applied to the new rows.
    Refresh();
    if (!EntryFilter::ShowsAll(m_filterText->text().toStdString(), FilterShow::All) ||
        m_show->currentIndex() != 0)
        ApplyFilter();
}

void TranslationReview::Refresh() {
    m_scheduled = false;
    // Changed cells are checked on their own, however many: a whole check of a large document
    // (the Global ID checks above all) would hold up every edit, Replace All and their undo.
    const bool cellsOnly = !m_all && m_changedFirst >= 0;
    if (!cellsOnly || !m_review.RecheckChanged(m_changedFirst, m_changedLast)) m_review.Recheck();
    m_all = false;
    m_changedFirst = m_changedLast = -1;
    const EntryCounts& counts = m_review.Counts();
    ShowSummary();
    m_progress->setVisible(m_review.Paired());
    m_progress->setValue(counts.TranslatedPercent());
    m_list->Model()->MarksChanged();
}

void TranslationReview::ApplyFilter() {
    ClearNote();
    const std::string text = m_filterText->text().toStdString();
    const auto show = static_cast<FilterShow>(m_show->currentIndex());
    if (m_scheduled) Refresh();
    if (EntryFilter::ShowsAll(text, show))
        m_list->Model()->ShowAllRows();
    else
        m_list->Model()->ShowRows(m_review.Filter(text, show));
    ShowSummary();
}

void TranslationReview::ShowSummary() {
    const RowScope shown = m_list->Model()->Shown();
    const int64_t entries = shown.All() ? -1 : m_doc.EntriesIn(shown);
    m_summary->setText(QString::fromStdString(m_review.Counts().Summary(m_review.Paired(), entries)));
}

void TranslationReview::GoTo(bool forward, FilterShow show) {
    if (m_scheduled) Refresh();
    const RowScope shown = m_list->Model()->Shown();
    const QList<int> selected = m_list->GetSelectedRows();
    const int from =
        selected.isEmpty() ? m_list->GetSelectionMark() : (forward ? selected.back() : selected.front());
    bool wrapped = false;
    const int row = m_review.Next(from, forward, show, shown, wrapped);
    const bool filtered = !shown.All();
    const bool problem = show == FilterShow::WithProblems;
    const bool either = show == FilterShow::All;
    if (row < 0) {
        m_note->setText(either    ? (filtered ? QStringLiteral("Every entry shown is done")
                                              : QStringLiteral("Every entry is translated, without problems"))
                        : problem ? (filtered ? QStringLiteral("No entry shown has problems")
                                              : QStringLiteral("No entry with problems"))
                                  : (filtered ? QStringLiteral("Every entry shown is translated")
                                              : QStringLiteral("Every entry is translated")));
        return;
    }
    // Round to where it started: the entry selected is the only one.
    const int step = m_review.Paired() ? 2 : 1;
    if (wrapped && from >= 0 && row == from - from % step) {
        m_note->setText(either    ? QStringLiteral("No other entry is left to do")
                        : problem ? QStringLiteral("No other entry has problems")
                                  : QStringLiteral("No other entry is left to translate"));
        return;
    }
    // The translation row of a pair is where the work is.
    const int target = m_review.Paired() && row + 1 < m_doc.RowCount() ? row + 1 : row;
    m_list->SetSelectedRows({target});
    m_list->SetRowFocused(target);
    m_list->SetSelectionMark(target);
    m_list->EnsureRowVisible(target);
    m_note->setText(wrapped ? (forward ? QStringLiteral("Went on from the top")
                                       : QStringLiteral("Went on from the bottom"))
                            : QString());
}
