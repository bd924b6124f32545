#include "app/TranslateView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QSettings>
#include <QTableView>
#include <QTextBrowser>
#include <QTextCursor>

#include "app/TranslationEditor.h"
#include "app/TranslationReview.h"
#include "dialogs/UserPrompts.h"
#include "document/ListBoxSafe.h"
#include "document/model/Document.h"
#include "document/model/EntryTable.h"
#include "document/review/EntryChecker.h"
#include "listview/RowStoreModel.h"
#include "listview/SortHeaderCtrl.h"
#include "listview/SortListCtrl.h"
#include "listview/TranslatePairModel.h"

namespace {

bool Is(const QKeyEvent* key, Qt::KeyboardModifiers modifiers, std::initializer_list<int> keys) {
    const Qt::KeyboardModifiers pressed = key->modifiers() & ~Qt::KeypadModifier;
    if (pressed != modifiers) return false;
    for (int k : keys)
        if (key->key() == k) return true;
    return false;
}

}  // namespace

TranslateView::TranslateView(QWidget* parent, Document& doc, CSortListCtrl* list, TranslationReview& review,
                             UserPrompts& prompts, std::function<void(bool)> history)
    : QSplitter(Qt::Vertical, parent),
      m_doc(doc),
      m_list(list),
      m_review(review),
      m_prompts(prompts),
      m_history(std::move(history)) {
    setObjectName(QStringLiteral("translateView"));
    setAccessibleName(QStringLiteral("Translate view"));
    setChildrenCollapsible(false);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("translateList"));
    m_table->setAccessibleName(QStringLiteral("Entries to translate"));
    m_model = new TranslatePairModel(m_list->Model(), this);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->setWordWrap(false);
    m_table->horizontalHeader()->setSectionsClickable(true);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->horizontalHeader()->setHighlightSections(false);
    const int widths[] = {70, 90, 60, 240, 240, 90};
    for (int c = 0; c < TranslatePairModel::ColumnCount; ++c) m_table->setColumnWidth(c, widths[c]);
    m_editor = new TranslationEditor(this);
    m_editor->setAccessibleName(QStringLiteral("Editor"));
    addWidget(m_table);
    addWidget(m_editor);
    setStretchFactor(0, 3);
    setStretchFactor(1, 2);
    RestoreLayout();

    m_model->SetMarks([this](int original, bool words) {
        const DocumentReview& r = m_review.Review();
        TranslatePairModel::Mark mark;
        mark.problem = r.HasProblem(original) || r.HasProblem(original + 1);
        if (words) {
            std::string text = r.InWords(original + 1);
            const std::string own = r.InWords(original);
            if (!own.empty()) text += (text.empty() ? "" : "\n") + own;
            mark.words = QString::fromStdString(text);
        }
        return mark;
    });

    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (m_syncing || !current.isValid()) return;
                if (!SelectRow(m_model->OriginalRow(current.row()))) {
                    // The typing could not be kept: the entry stays.
                    m_syncing = true;
                    m_table->setCurrentIndex(previous);
                    m_syncing = false;
                }
            });
    const auto fromList = [this] {
        if (m_active && !m_syncing) FromList();
    };
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this, fromList);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, fromList);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        // Rows came, went or moved: the entry is found again through the list's selection.
        m_row = -1;
        if (m_active) FromList();
        ShowSortState();
    });
    connect(m_model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) {
                const int entry = m_row < 0 ? -1 : m_model->EntryOf(m_row / 2);
                if (entry < from.row() || entry > to.row() || to.column() < TranslatePairModel::Original)
                    return;
                // The history or a command changed the entry: the box follows unless typing is pending.
                if (const QString original = m_list->Model()->CellText(m_row, ColText);
                    original != m_editor->Original()) {
                    m_editor->SetOriginal(original);
                    CheckTyped();
                }
                const QString now = m_list->Model()->CellText(m_row + 1, ColText);
                if (now == m_loadedText) return;
                const bool pending = Pending();
                m_loadedText = now;
                if (!pending) {
                    m_editor->SetTranslation(now);
                    m_typed = false;
                    CheckTyped();
                }
            });
    connect(m_table->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column > TranslatePairModel::Original || !Commit()) {
            ShowSortState();
            return;
        }
        m_list->OnHeaderClicked(column);  // the document's pair sort, whole pairs
        ShowSortState();
    });
    connect(m_editor->Box(), &QPlainTextEdit::textChanged, this, [this] {
        m_typed = true;
        CheckTyped();
    });
    m_editor->Box()->installEventFilter(this);
    m_table->installEventFilter(this);
    ShowSortState();
}

TranslateView::~TranslateView() {
    SaveLayout();
}

void TranslateView::Activate(bool on) {
    if (on == m_active) return;
    m_active = on;
    setVisible(on);
    if (!on) {
        Commit();
        return;
    }
    m_row = -1;
    FromList();
    if (m_row < 0 && m_model->rowCount() > 0) SelectRow(m_model->OriginalRow(0));
    if (m_row < 0) Load(-1);
    ShowSortState();
    // Translators start typing at once.
    m_editor->Box()->setFocus();
}

bool TranslateView::Pending() const {
    if (m_row < 0) return false;
    return m_editor->Translation() != m_loadedText || (m_typed && m_doc.IsStandIn(m_row + 1));
}

bool TranslateView::Commit() {
    if (!Pending()) return true;
    const QString typed = m_editor->Translation();
    const Status s = m_doc.Translate(m_row + 1, typed.toStdString(), m_typed);
    if (!s) {
        if (!s.message().empty()) m_prompts.Warn(this, QString::fromStdString(s.message()));
        return false;
    }
    m_loadedText = m_list->Model()->CellText(m_row + 1, ColText);
    m_typed = false;
    return true;
}

bool TranslateView::SelectRow(int row) {
    if (row == m_row && row >= 0) return true;
    if (!Commit()) return false;
    Load(row);
    const int entry = row < 0 ? -1 : m_model->EntryOf(row / 2);
    m_syncing = true;
    if (entry >= 0) {
        const QModelIndex index = m_model->index(entry, TranslatePairModel::Translation);
        m_table->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_table->scrollTo(index);
    }
    m_syncing = false;
    ToList();
    return true;
}

void TranslateView::Load(int row) {
    const bool valid = row >= 0 && row + 1 < m_doc.RowCount() && m_doc.PairView();
    m_row = valid ? row : -1;
    m_editor->SetEntryEnabled(valid);
    m_typed = false;
    if (!valid) {
        m_asSelected.clear();
        m_loadedText.clear();
        return;
    }
    m_asSelected = m_loadedText = m_list->Model()->CellText(row + 1, ColText);
    m_editor->SetOriginal(m_list->Model()->CellText(row, ColText));
    m_editor->SetTranslation(m_asSelected);
    m_editor->SetNote(QString());
    CheckTyped();
}

void TranslateView::FromList() {
    const QList<int> selected = m_list->GetSelectedRows();
    const int row = selected.isEmpty() ? m_list->GetSelectionMark() : selected.front();
    if (row < 0 || row >= m_doc.RowCount()) return;
    const int original = row - row % 2;
    if (original == m_row || m_model->EntryOf(original / 2) < 0) return;
    SelectRow(original);
}

void TranslateView::ToList() {
    if (m_row < 0) return;
    const int translation = m_row + 1;
    if (m_list->GetSelectedRows() == QList<int>{translation}) return;
    m_syncing = true;
    m_list->SetSelectedRows({translation});
    m_list->SetRowFocused(translation);
    m_list->SetSelectionMark(translation);
    m_syncing = false;
}

void TranslateView::Accept() {
    if (!Commit()) return;
    m_review.GoTo(true, FilterShow::All);
    m_editor->Box()->setFocus();
}

void TranslateView::Move(int delta) {
    if (m_row < 0 || !Commit()) return;
    const int entry = m_model->EntryOf(m_row / 2) + delta;
    if (entry < 0 || entry >= m_model->rowCount()) return;
    SelectRow(m_model->OriginalRow(entry));
}

void TranslateView::CopyOriginal() {
    if (m_row < 0) return;
    // One edit of the box: Ctrl+Z in it takes the copy back.
    QTextCursor cursor(m_editor->Box()->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(m_editor->Original());
    cursor.endEditBlock();
    m_editor->Box()->setTextCursor(cursor);
}

void TranslateView::Revert() {
    if (m_row < 0) return;
    m_editor->SetTranslation(m_asSelected);
    m_editor->SetNote(QString());
    m_typed = false;
    CheckTyped();
}

void TranslateView::CheckTyped() {
    if (m_row < 0) return;
    // The entry as typed, checked on its own: two rows of UTF-8 text.
    ResourceTable pair;
    pair.DefineColumns(kEntryColumnSpec);
    const std::string id(m_doc.Cell(m_row, ColGlobalId));
    pair.AppendRow({id, "", "", m_editor->Original().toStdString()});
    pair.AppendRow({id, "", "", m_editor->Translation().toStdString()});
    const EntryTable table(pair, {}, true, Encoding::Utf8, Encoding::Utf8);
    const CheckMask problems = EntryChecker().CheckPair(table, 0);
    QStringList words;
    for (int k = 0; k < kEntryCheckCount; ++k) {
        const auto check = static_cast<EntryCheck>(k);
        if (problems & MaskOf(check))
            words << QString::fromStdString(std::string(CheckName(check)) + ": " +
                                            EntryChecker::Describe(table, 1, check));
    }
    m_editor->SetProblems(words);
}

bool TranslateView::eventFilter(QObject* watched, QEvent* event) {
    const bool override = event->type() == QEvent::ShortcutOverride;
    if (!override && event->type() != QEvent::KeyPress) return QSplitter::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == m_table) {
        if (!Is(key, Qt::NoModifier, {Qt::Key_F2, Qt::Key_Return, Qt::Key_Enter})) return false;
        if (override) {
            event->accept();
            return true;
        }
        m_editor->Box()->setFocus();
        return true;
    }
    if (watched != m_editor->Box()) return false;
    TranslationBox* box = m_editor->Box();
    QTextDocument* text = box->document();
    std::function<void()> action;
    if (Is(key, Qt::ControlModifier, {Qt::Key_Return, Qt::Key_Enter}))
        action = [this] { Accept(); };
    else if (Is(key, Qt::ControlModifier, {Qt::Key_Up}))
        action = [this] { Move(-1); };
    else if (Is(key, Qt::ControlModifier, {Qt::Key_Down}))
        action = [this] { Move(1); };
    else if (Is(key, Qt::ControlModifier, {Qt::Key_B}))
        action = [this] { CopyOriginal(); };
    else if (Is(key, Qt::NoModifier, {Qt::Key_Escape}))
        action = [this] { Revert(); };
    else if (Is(key, Qt::ControlModifier, {Qt::Key_Z}))
        action = [this, box, text] { text->isUndoAvailable() ? box->undo() : m_history(true); };
    else if (Is(key, Qt::ControlModifier, {Qt::Key_Y}) ||
             Is(key, Qt::ControlModifier | Qt::ShiftModifier, {Qt::Key_Z}))
        action = [this, box, text] { text->isRedoAvailable() ? box->redo() : m_history(false); };
    if (!action) return false;
    if (override) {
        event->accept();  // the box takes these keys before the window's shortcuts
        return true;
    }
    action();
    return true;
}

void TranslateView::ShowSortState() {
    QHeaderView* header = m_table->horizontalHeader();
    const int column = m_doc.SortColumn();
    header->setSortIndicatorShown(column >= 0 && column <= TranslatePairModel::Original);
    if (column >= 0)
        header->setSortIndicator(column, m_doc.SortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TranslateView::RestoreLayout() {
    QSettings settings(QStringLiteral("Ardwen"), QStringLiteral("Quillmere"));
    m_table->horizontalHeader()->restoreState(
        settings.value(QStringLiteral("ListCtrls/translate")).toByteArray());
    restoreState(settings.value(QStringLiteral("Window/translateSplitter")).toByteArray());
}

void TranslateView::SaveLayout() const {
    QSettings settings(QStringLiteral("Ardwen"), QStringLiteral("Quillmere"));
    settings.setValue(QStringLiteral("ListCtrls/translate"), m_table->horizontalHeader()->saveState());
    settings.setValue(QStringLiteral("Window/translateSplitter"), saveState());
}
