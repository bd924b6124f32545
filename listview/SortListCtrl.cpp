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

std::string SpecOf(const std::vector<ColumnSpec>& columns) {
    std::string spec;
    for (const ColumnSpec& c : columns) {
        if (!spec.empty()) spec += ';';
        spec += c.heading + ',' + std::to_string(c.width);
    }
    return spec;
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
}

CSortListCtrl::~CSortListCtrl() = default;

RowStore& CSortListCtrl::Store() {
    return m_pModel->Store();
}
const RowStore& CSortListCtrl::Store() const {
    return m_pModel->Store();
}

bool CSortListCtrl::DefineColumns(std::string_view spec) {
    const int before = Store().ColumnCount();
    const bool ok = m_pModel->DefineColumns(spec);
    const auto& columns = Store().Columns();
    for (int c = before; c < static_cast<int>(columns.size()); ++c)
        m_header->resizeSection(c, columns[static_cast<size_t>(c)].width);
    return ok;
}

int CSortListCtrl::AppendRow(const QStringList& texts) {
    for (const QString& t : texts) EnsureEncodable(t);
    std::vector<std::string> bytes;
    bytes.reserve(static_cast<size_t>(texts.size()));
    for (const QString& t : texts) bytes.push_back(Encode(t));
    const int row = m_pModel->AppendRow(bytes);
    emit ContentsChanged();
    return row;
}

bool CSortListCtrl::SetCellText(int row, int column, const QString& text) {
    if (row < 0 || row >= GetRowCount() || column < 0 || column >= Store().ColumnCount()) return false;
    EnsureEncodable(text);
    if (!m_pModel->SetCellText(row, column, Encode(text))) return false;
    emit ContentsChanged();
    return true;
}

QString CSortListCtrl::GetCellText(int row, int column) const {
    if (row < 0 || row >= GetRowCount() || column < 0 || column >= Store().ColumnCount()) return {};
    return Decode(Store().Cell(row, column));
}

bool CSortListCtrl::DeleteRow(int row) {
    if (!m_pModel->DeleteRow(row)) return false;
    emit ContentsChanged();
    return true;
}

void CSortListCtrl::DeleteRows(const QList<int>& rows) {
    const int before = GetRowCount();
    m_pModel->DeleteRows(std::vector<int>(rows.begin(), rows.end()));
    if (GetRowCount() != before) emit ContentsChanged();
}

bool CSortListCtrl::DeleteAllRows() {
    const bool hadRows = GetRowCount() > 0;
    const bool ok = m_pModel->DeleteAllRows();
    if (hadRows) emit ContentsChanged();
    return ok;
}

int CSortListCtrl::GetRowCount() const {
    return Store().GetRowCount();
}

void CSortListCtrl::NotifyRowsChanged(int firstRow, int lastRow) {
    m_pModel->NotifyRowsChanged(firstRow, lastRow);
    emit ContentsChanged();
}

int CSortListCtrl::GetSelectionMark() const {
    return m_markIndex.isValid() ? m_markIndex.row() : -1;
}

void CSortListCtrl::SetSelectionMark(int row) {
    m_markIndex = (row >= 0 && row < GetRowCount()) ? QPersistentModelIndex(m_pModel->index(row, 0))
                                                    : QPersistentModelIndex();
}

QList<int> CSortListCtrl::GetSelectedRows() const {
    QList<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r) rows.append(r);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool CSortListCtrl::IsRowSelected(int row) const {
    if (row < 0 || row >= GetRowCount()) return false;
    return selectionModel()->isSelected(m_pModel->index(row, 0));
}

void CSortListCtrl::SetRowSelected(int row, bool selected) {
    if (row < 0 || row >= GetRowCount()) return;
    selectionModel()->select(
        m_pModel->index(row, 0),
        (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) | QItemSelectionModel::Rows);
}

void CSortListCtrl::SetRowFocused(int row) {
    if (row < 0 || row >= GetRowCount()) return;
    selectionModel()->setCurrentIndex(m_pModel->index(row, 0), QItemSelectionModel::NoUpdate);
}

void CSortListCtrl::EnsureRowVisible(int row) {
    if (row < 0 || row >= GetRowCount()) return;
    // Only vertical scrolling: the columns stay where the user put them.
    const int x = horizontalScrollBar()->value();
    scrollTo(m_pModel->index(row, 0), QAbstractItemView::EnsureVisible);
    horizontalScrollBar()->setValue(x);
}

void CSortListCtrl::SetSelectedRows(const std::vector<int>& rows) {
    QItemSelection selection;
    const int last = m_pModel->columnCount() - 1;
    size_t i = 0;
    while (i < rows.size()) {
        size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
        if (rows[i] >= 0 && rows[j] < GetRowCount() && last >= 0)
            selection.append(
                QItemSelectionRange(m_pModel->index(rows[i], 0), m_pModel->index(rows[j], last)));
        i = j + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CSortListCtrl::SortByColumn(int column, bool ascending) {
    if (column < 0 || column >= Store().ColumnCount()) return;
    m_header->SetSortIndicator(column, ascending);
    m_pModel->Sort(column, ascending, m_bPairSort);
    if (GetRowCount() > 1) emit ContentsChanged();
}

void CSortListCtrl::ClearSortIndicator() {
    Store().m_nSortColumn = -1;
    Store().m_bAscending = true;
    m_header->SetSortIndicator(-1, true);
}

void CSortListCtrl::OnHeaderClicked(int column) {
    SortByColumn(column, Store().NextSortAscending(column));
}

void CSortListCtrl::keyboardSearch(const QString& search) {
    const int rows = GetRowCount();
    if (search.isEmpty() || rows == 0) return;
    if (!m_typedTimer.isValid() || m_typedTimer.elapsed() > QApplication::keyboardInputInterval())
        m_strTyped.clear();
    m_typedTimer.start();
    m_strTyped += search;

    // A new search, or the same key again, starts after the current row; more keys refine
    // the search from the current row.
    const bool sameKey = m_strTyped.count(m_strTyped.back()) == m_strTyped.size();
    const QString key = sameKey ? QString(m_strTyped.back()) : m_strTyped;
    if (!CanEncode(key)) return;
    const std::string bytes = Encode(key);
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    const int start = (sameKey || current < 0) ? current + 1 : current;
    for (int i = 0; i < rows; ++i) {
        const int row = (start + i) % rows;
        if (StartsWithFolded(Store().Cell(row, ColGlobalId), bytes)) {
            const QModelIndex index = m_pModel->index(row, 0);
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
    const int rows = GetRowCount();
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
            EnsureRowVisible(target.row());
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

void CSortListCtrl::ResetGroupList() {
    Store().ResetGroupList();
}
bool CSortListCtrl::IncrementLastGlobalId() {
    return Store().IncrementLastGlobalId();
}
bool CSortListCtrl::DecrementLastGlobalId() {
    return Store().DecrementLastGlobalId();
}
int32_t CSortListCtrl::GetLastGlobalId() const {
    return Store().GetLastGlobalId();
}
void CSortListCtrl::SetLastGlobalId(int32_t value) {
    Store().SetLastGlobalId(value);
}
void CSortListCtrl::ResetLastGlobalId() {
    Store().ResetLastGlobalId();
}

Status CSortListCtrl::Reload(const std::function<Status(RowStore&)>& load) {
    // The read fills a fresh table that replaces the current one only when it succeeded.
    RowStore fresh;
    fresh.DefineColumns(SpecOf(Store().Columns()));
    Status status = load(fresh);
    if (!status) return status;
    m_pModel->TakeContents(fresh);
    ClearSortIndicator();
    SetUtf8(m_pModel->AllCellsUtf8());
    return status;
}

void CSortListCtrl::SetUtf8(bool utf8) {
    m_bUtf8 = utf8;
    m_pModel->SetUtf8(utf8);
    viewport()->update();
}

std::string CSortListCtrl::Encode(const QString& text) const {
    return m_pModel->Encode(text);
}
QString CSortListCtrl::Decode(std::string_view bytes) const {
    return m_pModel->Decode(bytes);
}
bool CSortListCtrl::CanEncode(const QString& text) const {
    return m_pModel->CanEncode(text);
}

void CSortListCtrl::EnsureEncodable(const QString& text) {
    if (CanEncode(text)) return;
    m_pModel->ConvertToUtf8();
    m_bUtf8 = true;
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
