#include "listview/RowStoreModel.h"

#include <QBrush>
#include <QPixmap>
#include <algorithm>

RowStoreModel::RowStoreModel(QObject* parent)
    : QAbstractTableModel(parent), m_own(std::make_unique<Document>()), m_doc(m_own.get()) {
    m_doc->AddObserver(this);
}

RowStoreModel::~RowStoreModel() {
    m_doc->RemoveObserver(this);
}

void RowStoreModel::SetDocument(Document* doc) {
    beginResetModel();
    m_doc->RemoveObserver(this);
    m_doc = doc ? doc : m_own.get();
    m_doc->AddObserver(this);
    endResetModel();
}

int RowStoreModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return m_filtered ? static_cast<int>(m_shown.size()) : m_doc->RowCount();
}

int RowStoreModel::ViewRow(int docRow) const {
    if (!m_filtered) return docRow >= 0 && docRow < m_doc->RowCount() ? docRow : -1;
    const auto it = std::lower_bound(m_shown.begin(), m_shown.end(), docRow);
    return it != m_shown.end() && *it == docRow ? static_cast<int>(it - m_shown.begin()) : -1;
}

void RowStoreModel::ShowRows(std::vector<int> rows) {
    beginResetModel();
    m_shown = std::move(rows);
    m_filtered = true;
    endResetModel();
}

void RowStoreModel::ShowAllRows() {
    if (!m_filtered) return;
    beginResetModel();
    m_shown.clear();
    m_shown.shrink_to_fit();
    m_filtered = false;
    endResetModel();
}

void RowStoreModel::SetMarks(std::function<RowMark(int)> marks) {
    m_marks = std::move(marks);
    MarksChanged();
}

void RowStoreModel::MarksChanged() {
    if (rowCount() > 0 && columnCount() > ColText)
        emit dataChanged(index(0, ColText), index(rowCount() - 1, ColText),
                         {Qt::DecorationRole, Qt::ToolTipRole});
}

int RowStoreModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_doc->Rows().ColumnCount();
}

QColor RowStoreModel::TextColour(int row, bool alternate) {
    if (alternate && (row % 2) == 1) return QColor(255, 255, 255);
    return QColor(255, 0, 0);
}

QColor RowStoreModel::BackColour(int row, bool alternate) {
    if (alternate && (row % 2) == 1) return QColor(95, 158, 160);
    return QColor(255, 248, 220);
}

QString RowStoreModel::CellText(int row, int column) const {
    const std::string_view bytes = m_doc->Cell(row, column);
    const auto size = static_cast<qsizetype>(bytes.size());
    return m_doc->RowEncoding(row) == Encoding::Utf8 ? QString::fromUtf8(bytes.data(), size)
                                                     : QString::fromLatin1(bytes.data(), size);
}

QVariant RowStoreModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
    const int row = DocRow(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return CellText(row, index.column());
        case Qt::ForegroundRole:
            return QBrush(TextColour(row, m_bAlternate));
        case Qt::BackgroundRole:
            return QBrush(BackColour(row, m_bAlternate));
        case Qt::DecorationRole:
        case Qt::ToolTipRole: {
            if (index.column() != ColText || !m_marks) return {};
            const RowMark mark = m_marks(row);
            if (role == Qt::ToolTipRole) return mark.tooltip.isEmpty() ? QVariant() : QVariant(mark.tooltip);
            if (!mark.problem && !mark.notTranslated) return {};
            // A small square: orange for a problem, grey-blue for a text still to translate.
            QPixmap square(8, 8);
            square.fill(mark.problem ? QColor(230, 120, 0) : QColor(70, 90, 160));
            return square;
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        default:
            return {};
    }
}

QVariant RowStoreModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const auto& columns = m_doc->Rows().Columns();
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(columns.size()))
        return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(columns[static_cast<size_t>(section)].heading);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags RowStoreModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void RowStoreModel::SetAlternateColours(bool alternate) {
    if (alternate == m_bAlternate) return;
    m_bAlternate = alternate;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::ForegroundRole, Qt::BackgroundRole});
}

void RowStoreModel::RowsAboutToBeInserted(int first, int last) {
    if (!m_filtered) {
        beginInsertRows(QModelIndex(), first, last);
        return;
    }
    // The new rows are shown, where they fall among the rows shown.
    m_pendingFirst = first;
    m_pendingLast = last;
    m_pendingViewFirst =
        static_cast<int>(std::lower_bound(m_shown.begin(), m_shown.end(), first) - m_shown.begin());
    beginInsertRows(QModelIndex(), m_pendingViewFirst, m_pendingViewFirst + last - first);
}

void RowStoreModel::RowsInserted() {
    if (m_filtered) {
        const int count = m_pendingLast - m_pendingFirst + 1;
        const auto at = m_shown.begin() + m_pendingViewFirst;
        for (auto it = at; it != m_shown.end(); ++it) *it += count;
        std::vector<int> added(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) added[static_cast<size_t>(i)] = m_pendingFirst + i;
        m_shown.insert(at, added.begin(), added.end());
    }
    endInsertRows();
}

void RowStoreModel::RowsAboutToBeRemoved(int first, int last) {
    if (!m_filtered) {
        beginRemoveRows(QModelIndex(), first, last);
        return;
    }
    m_pendingFirst = first;
    m_pendingLast = last;
    const auto from = std::lower_bound(m_shown.begin(), m_shown.end(), first);
    const auto to = std::upper_bound(from, m_shown.end(), last);
    m_pendingViewFirst = static_cast<int>(from - m_shown.begin());
    m_pendingViewCount = static_cast<int>(to - from);
    if (m_pendingViewCount > 0)
        beginRemoveRows(QModelIndex(), m_pendingViewFirst, m_pendingViewFirst + m_pendingViewCount - 1);
}

void RowStoreModel::RowsRemoved() {
    if (!m_filtered) {
        endRemoveRows();
        return;
    }
    const auto from = m_shown.begin() + m_pendingViewFirst;
    const auto rest = m_shown.erase(from, from + m_pendingViewCount);
    const int count = m_pendingLast - m_pendingFirst + 1;
    for (auto it = rest; it != m_shown.end(); ++it) *it -= count;
    if (m_pendingViewCount > 0) endRemoveRows();
}

void RowStoreModel::RowsChanged(int first, int last) {
    if (columnCount() == 0) return;
    if (m_filtered) {
        const auto from = std::lower_bound(m_shown.begin(), m_shown.end(), first);
        const auto to = std::upper_bound(from, m_shown.end(), last);
        if (from == to) return;
        first = static_cast<int>(from - m_shown.begin());
        last = static_cast<int>(to - m_shown.begin()) - 1;
    }
    emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::DisplayRole});
}

void RowStoreModel::RowsAboutToBeReordered() {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RowStoreModel::RowsReordered(const std::vector<int>& order) {
    // The views keep their selection and current row on the same entries.
    std::vector<int> newIndexOf(order.size());
    for (size_t i = 0; i < order.size(); ++i) newIndexOf[static_cast<size_t>(order[i])] = static_cast<int>(i);
    std::vector<int> oldShown;
    if (m_filtered) {
        // The same entries stay shown, in their new order.
        oldShown = m_shown;
        for (int& r : m_shown) r = newIndexOf[static_cast<size_t>(r)];
        std::sort(m_shown.begin(), m_shown.end());
    }
    const QModelIndexList from = persistentIndexList();
    if (!from.isEmpty()) {
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& p : from) {
            const int oldDoc = m_filtered ? (static_cast<size_t>(p.row()) < oldShown.size()
                                                 ? oldShown[static_cast<size_t>(p.row())]
                                                 : -1)
                                          : p.row();
            const int newDoc = oldDoc >= 0 && static_cast<size_t>(oldDoc) < newIndexOf.size()
                                   ? newIndexOf[static_cast<size_t>(oldDoc)]
                                   : -1;
            const int view = newDoc < 0 ? -1 : ViewRow(newDoc);
            to.append(view >= 0 ? index(view, p.column()) : QModelIndex());
        }
        changePersistentIndexList(from, to);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RowStoreModel::AboutToReset() {
    beginResetModel();
}

void RowStoreModel::Reset() {
    m_filtered = false;
    m_shown.clear();
    endResetModel();
}
