#include "listview/SortListCtrl.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>
#include <algorithm>

#include "document/format/TextEncoding.h"
#include "document/model/Document.h"
#include "listview/RowStoreModel.h"
#include "listview/SortHeaderCtrl.h"

namespace {

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (FoldAscii(text[i]) != FoldAscii(prefix[i])) return false;
    return true;
}

// Paints cells without the focus mark of the current cell: the list draws one mark around
// the whole current row instead.
class RowFocusDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem cell(option);
        cell.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, cell, index);
    }
};

std::string Utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

CSortListCtrl::CSortListCtrl(QWidget* parent, int dlgCtrlId)
    : QTableView(parent),
      m_pModel(new RowStoreModel(this)),
      m_header(new CSortHeaderCtrl(this)),
      m_nDlgCtrlId(dlgCtrlId) {
    setHorizontalHeader(m_header);
    setModel(m_pModel);
    setItemDelegate(new RowFocusDelegate(this));

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);

    // Every row has the same height, so nothing is ever measured per row.
    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(0);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);

    connect(m_header, &QHeaderView::sectionClicked, this, &CSortListCtrl::OnHeaderClicked);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        // The mark stays where a range selection started; a plain or Ctrl move sets it.
        if (!current.isValid()) return;
        if (!(QApplication::keyboardModifiers() & Qt::ShiftModifier) || !m_markIndex.isValid())
            m_markIndex = m_pModel->index(current.row(), 0);
    });
    Doc().AddObserver(this);
}

CSortListCtrl::~CSortListCtrl() {
    Doc().RemoveObserver(this);
}

void CSortListCtrl::SetDocument(Document* doc) {
    Doc().RemoveObserver(this);
    m_pModel->SetDocument(doc);
    Doc().AddObserver(this);
    ShowSortState();
}

Document& CSortListCtrl::Doc() {
    return m_pModel->Doc();
}
const Document& CSortListCtrl::Doc() const {
    return m_pModel->Doc();
}

ResourceTable& CSortListCtrl::Store() {
    return m_pModel->Store();
}
const ResourceTable& CSortListCtrl::Store() const {
    return m_pModel->Store();
}

bool CSortListCtrl::DefineColumns(std::string_view spec) {
    ResourceTable columns;
    columns.DefineColumns(spec);
    const auto& widths = columns.Columns();
    for (int c = 0; c < static_cast<int>(widths.size()) && c < m_pModel->columnCount(); ++c)
        m_header->SetOwnWidth(c, widths[static_cast<size_t>(c)].width);
    return columns.ColumnCount() == m_pModel->columnCount();
}

int CSortListCtrl::AppendRow(const QStringList& texts) {
    std::vector<std::string> cells;
    for (const QString& t : texts) cells.push_back(Utf8(t));
    cells.resize(static_cast<size_t>(Store().ColumnCount()));
    if (!Doc().AppendRow(cells)) return -1;
    return GetRowCount() - 1;
}

bool CSortListCtrl::SetCellText(int row, int column, const QString& text) {
    return Doc().SetCell(row, column, Utf8(text)).ok();
}

QString CSortListCtrl::GetCellText(int row, int column) const {
    if (row < 0 || row >= GetRowCount() || column < 0 || column >= Store().ColumnCount()) return {};
    return m_pModel->CellText(row, column);
}

bool CSortListCtrl::DeleteRow(int row) {
    return Doc().DeleteRows({row});
}

void CSortListCtrl::DeleteRows(const QList<int>& rows) {
    Doc().DeleteRows(std::vector<int>(rows.begin(), rows.end()));
}

bool CSortListCtrl::DeleteAllRows() {
    Doc().DeleteAll();
    return true;
}

int CSortListCtrl::GetRowCount() const {
    return Doc().RowCount();
}

void CSortListCtrl::StepRecorded(const std::string&) {
    emit ContentsChanged();
}

void CSortListCtrl::RowsReordered(const std::vector<int>&) {
    ShowSortState();
}

void CSortListCtrl::Reset() {
    ShowSortState();
}

void CSortListCtrl::ShowSortState() {
    m_header->SetSortIndicator(Doc().SortColumn(), Doc().SortAscending());
}

QModelIndex CSortListCtrl::IndexOf(int row, int column) const {
    const int view = m_pModel->ViewRow(row);
    return view < 0 ? QModelIndex() : m_pModel->index(view, column);
}

int CSortListCtrl::GetSelectionMark() const {
    return m_markIndex.isValid() ? m_pModel->DocRow(m_markIndex.row()) : -1;
}

void CSortListCtrl::SetSelectionMark(int row) {
    m_markIndex = QPersistentModelIndex(IndexOf(row, 0));
}

QList<int> CSortListCtrl::GetSelectedRows() const {
    QList<int> rows;
    // Only rows shown can be selected: a filter hides the others from every command.
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r) rows.append(m_pModel->DocRow(r));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool CSortListCtrl::IsRowSelected(int row) const {
    const QModelIndex index = IndexOf(row, 0);
    return index.isValid() && selectionModel()->isSelected(index);
}

void CSortListCtrl::SetRowSelected(int row, bool selected) {
    const QModelIndex index = IndexOf(row, 0);
    if (!index.isValid()) return;
    selectionModel()->select(index, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                        QItemSelectionModel::Rows);
}

void CSortListCtrl::SetRowFocused(int row) {
    const QModelIndex index = IndexOf(row, 0);
    if (!index.isValid()) return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void CSortListCtrl::EnsureRowVisible(int row) {
    const QModelIndex index = IndexOf(row, 0);
    if (!index.isValid()) return;
    // Only vertical scrolling: the columns stay where the user put them.
    const int x = horizontalScrollBar()->value();
    scrollTo(index, QAbstractItemView::EnsureVisible);
    horizontalScrollBar()->setValue(x);
}

void CSortListCtrl::SetSelectedRows(const std::vector<int>& docRows) {
    // As model rows: rows not shown are left out.
    std::vector<int> rows;
    rows.reserve(docRows.size());
    for (const int r : docRows)
        if (const int view = m_pModel->ViewRow(r); view >= 0) rows.push_back(view);
    QItemSelection selection;
    const int last = m_pModel->columnCount() - 1;
    size_t i = 0;
    while (i < rows.size()) {
        size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
        if (last >= 0)
            selection.append(
                QItemSelectionRange(m_pModel->index(rows[i], 0), m_pModel->index(rows[j], last)));
        i = j + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CSortListCtrl::SortByColumn(int column, bool ascending) {
    if (column < 0 || column >= Store().ColumnCount()) return;
    // A table of fewer than two rows has no order to change, but shows the arrow clicked.
    if (!Doc().Sort(column, ascending)) m_header->SetSortIndicator(column, ascending);
}

void CSortListCtrl::ClearSortIndicator() {
    Doc().ClearSortState();
    m_header->SetSortIndicator(-1, true);
}

void CSortListCtrl::OnHeaderClicked(int column) {
    // As the arrow shows: the same column again flips the direction, another starts ascending.
    SortByColumn(column, m_header->SortColumn() == column ? !m_header->SortAscending() : true);
}

void CSortListCtrl::SetPairSort(bool pairs) {
    Doc().SetLocalize(pairs);
    Doc().SetSource(pairs ? RowSource::Pairs : RowSource::Original);
}

bool CSortListCtrl::PairSort() const {
    return Doc().PairView();
}

void CSortListCtrl::keyboardSearch(const QString& search) {
    const int rows = m_pModel->rowCount();
    if (search.isEmpty() || rows == 0) return;
    if (!m_typedTimer.isValid() || m_typedTimer.elapsed() > QApplication::keyboardInputInterval())
        m_strTyped.clear();
    m_typedTimer.start();
    m_strTyped += search;

    // A new search, or the same key again, starts after the current row; more keys refine
    // the search from the current row.
    const bool sameKey = m_strTyped.count(m_strTyped.back()) == m_strTyped.size();
    const QString key = sameKey ? QString(m_strTyped.back()) : m_strTyped;
    // The key as each file holds it; a file that cannot hold it has no row starting with it.
    const std::string utf8 = Utf8(key);
    std::string latin1;
    const bool latin1Ok = Utf8ToLatin1(utf8, latin1);
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    const int start = (sameKey || current < 0) ? current + 1 : current;
    for (int i = 0; i < rows; ++i) {
        const int view = (start + i) % rows;
        const int row = m_pModel->DocRow(view);
        const bool inUtf8 = Doc().RowEncoding(row) == Encoding::Utf8;
        if ((inUtf8 || latin1Ok) &&
            StartsWithFolded(Store().Cell(row, ColGlobalId), inUtf8 ? utf8 : latin1)) {
            const QModelIndex index = m_pModel->index(view, 0);
            selectionModel()->setCurrentIndex(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            EnsureRowVisible(row);
            return;
        }
    }
}

QModelIndex CSortListCtrl::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // The rows are the items here: the table's own Home and End go to the row's first and
    // last column, which the whole-row selection does not show.
    const int rows = m_pModel->rowCount();
    if ((action == MoveHome || action == MoveEnd) && rows > 0)
        return m_pModel->index(action == MoveHome ? 0 : rows - 1, qMax(currentIndex().column(), 0));
    return QTableView::moveCursor(action, modifiers);
}

void CSortListCtrl::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    // Ctrl would only move the focus mark (as Ctrl+arrows do): Ctrl+Home and Ctrl+End select too.
    if ((event->key() == Qt::Key_Home || event->key() == Qt::Key_End) && mods == Qt::ControlModifier) {
        const QModelIndex target = moveCursor(event->key() == Qt::Key_Home ? MoveHome : MoveEnd, mods);
        if (target.isValid()) {
            selectionModel()->setCurrentIndex(
                target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            EnsureRowVisible(m_pModel->DocRow(target.row()));
        }
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CSortListCtrl::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    const QModelIndex current = currentIndex();
    const int last = m_pModel->columnCount() - 1;
    if (!current.isValid() || last < 0 || !(hasFocus() || viewport()->hasFocus())) return;
    const int row = current.row();
    const int left = columnViewportPosition(0);
    const QRect rect(left, rowViewportPosition(row), columnViewportPosition(last) + columnWidth(last) - left,
                     rowHeight(row));
    if (!rect.intersects(event->rect())) return;

    // The mark the style draws around a focused cell, drawn around the row.
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect;
    focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item | QStyle::State_HasFocus;
    focus.backgroundColor =
        palette().color(isEnabled() ? QPalette::Normal : QPalette::Disabled,
                        selectionModel()->isSelected(current) ? QPalette::Highlight : QPalette::Window);
    QPainter painter(viewport());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

void CSortListCtrl::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    // Only the two cells would be repainted: the mark spans their whole rows.
    for (const QModelIndex& index : {previous, current})
        if (index.isValid())
            viewport()->update(
                QRect(0, rowViewportPosition(index.row()), viewport()->width(), rowHeight(index.row())));
}

int32_t CSortListCtrl::GetLastGlobalId() const {
    return Doc().LastGlobalId();
}
void CSortListCtrl::SetLastGlobalId(int32_t value) {
    Store().SetLastGlobalId(value);
}

Status CSortListCtrl::Reload(const std::function<Status(ResourceTable&)>& load) {
    return Doc().Load(load);
}

bool CSortListCtrl::IsUtf8() const {
    return Doc().AllUtf8();
}

void CSortListCtrl::SetUtf8(bool utf8) {
    for (DocFile f : {DocFile::Txr, DocFile::Txl})
        Doc().SetFileEncoding(f, utf8 ? Encoding::Utf8 : Encoding::Latin1);
}

void CSortListCtrl::RestoreColumnWidths() {
    QSettings settings(QStringLiteral("Ardwen"), QStringLiteral("Quillmere"));
    settings.beginGroup(QStringLiteral("ListCtrls"));
    const QByteArray value = settings.value(QString::number(m_nDlgCtrlId)).toByteArray();
    if (value.isEmpty()) return;
    m_header->DeserializeWidths(value);
}

void CSortListCtrl::SaveColumnWidths() {
    if (m_header->count() == 0) return;
    QSettings settings(QStringLiteral("Ardwen"), QStringLiteral("Quillmere"));
    settings.beginGroup(QStringLiteral("ListCtrls"));
    settings.setValue(QString::number(m_nDlgCtrlId), m_header->SerializeWidths());
}
