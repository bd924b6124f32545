#include "listview/RowStoreModel.h"

#include <QBrush>

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
    return parent.isValid() ? 0 : m_doc->RowCount();
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
    switch (role) {
        case Qt::DisplayRole:
            return CellText(index.row(), index.column());
        case Qt::ForegroundRole:
            return QBrush(TextColour(index.row(), m_bAlternate));
        case Qt::BackgroundRole:
            return QBrush(BackColour(index.row(), m_bAlternate));
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
    beginInsertRows(QModelIndex(), first, last);
}

void RowStoreModel::RowsInserted() {
    endInsertRows();
}

void RowStoreModel::RowsAboutToBeRemoved(int first, int last) {
    beginRemoveRows(QModelIndex(), first, last);
}

void RowStoreModel::RowsRemoved() {
    endRemoveRows();
}

void RowStoreModel::RowsChanged(int first, int last) {
    if (columnCount() == 0) return;
    emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::DisplayRole});
}

void RowStoreModel::RowsAboutToBeReordered() {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RowStoreModel::RowsReordered(const std::vector<int>& order) {
    // The views keep their selection and current row on the same entries.
    const QModelIndexList from = persistentIndexList();
    if (!from.isEmpty()) {
        std::vector<int> newIndexOf(order.size());
        for (size_t i = 0; i < order.size(); ++i)
            newIndexOf[static_cast<size_t>(order[i])] = static_cast<int>(i);
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& p : from) {
            const auto old = static_cast<size_t>(p.row());
            to.append(old < newIndexOf.size() ? index(newIndexOf[old], p.column()) : QModelIndex());
        }
        changePersistentIndexList(from, to);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RowStoreModel::AboutToReset() {
    beginResetModel();
}

void RowStoreModel::Reset() {
    endResetModel();
}
