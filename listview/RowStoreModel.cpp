#include "listview/RowStoreModel.h"

#include <QBrush>
#include <algorithm>
#include <cstring>
#include <memory>

#include "document/TextEncoding.h"

RowStoreModel::RowStoreModel(QObject* parent) : QAbstractTableModel(parent) {}

int RowStoreModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_store.GetRowCount();
}

int RowStoreModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_store.ColumnCount();
}

QColor RowStoreModel::TextColour(int row, bool alternate) {
    if (alternate && (row % 2) == 1) return QColor(255, 255, 255);
    return QColor(255, 0, 0);
}

QColor RowStoreModel::BackColour(int row, bool alternate) {
    if (alternate && (row % 2) == 1) return QColor(95, 158, 160);
    return QColor(255, 248, 220);
}

QVariant RowStoreModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
    switch (role) {
        case Qt::DisplayRole:
            return Decode(m_store.Cell(index.row(), index.column()));
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
    if (orientation != Qt::Horizontal || section < 0 || section >= m_store.ColumnCount()) return {};
    if (role == Qt::DisplayRole) {
        const std::string& heading = m_store.Columns()[static_cast<size_t>(section)].heading;
        return Decode(heading);
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags RowStoreModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QString RowStoreModel::Decode(std::string_view bytes) const {
    const auto size = static_cast<qsizetype>(bytes.size());
    return m_bUtf8 ? QString::fromUtf8(bytes.data(), size) : QString::fromLatin1(bytes.data(), size);
}

std::string RowStoreModel::Encode(const QString& text) const {
    const QByteArray bytes = m_bUtf8 ? text.toUtf8() : text.toLatin1();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool RowStoreModel::CanEncode(const QString& text) const {
    if (m_bUtf8) return true;
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
}

bool RowStoreModel::AllCellsUtf8() const {
    // Group names count too: an entry typed later must find its group under the same bytes.
    for (const GroupNode* g = m_store.Groups().head(); g; g = g->next)
        if (!IsValidUtf8(g->name)) return false;
    const int rows = m_store.GetRowCount();
    const int columns = m_store.ColumnCount();
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (!IsValidUtf8(m_store.Cell(r, c))) return false;
    return true;
}

void RowStoreModel::ConvertToUtf8() {
    if (m_bUtf8) return;
    const int rows = m_store.GetRowCount();
    const int columns = m_store.ColumnCount();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const std::string_view cell = m_store.Cell(r, c);
            if (std::none_of(cell.begin(), cell.end(),
                             [](char ch) { return static_cast<unsigned char>(ch) >= 0x80; }))
                continue;
            const QByteArray utf8 =
                QString::fromLatin1(cell.data(), static_cast<qsizetype>(cell.size())).toUtf8();
            m_store.SetCellText(r, c, std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
        }
    }
    // The group list names the groups of the Group Name cells: its names change with them, or a
    // later Add would not find its group and the file would mix both encodings.
    const auto toUtf8 = [](const std::string& latin1) {
        const QByteArray utf8 =
            QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size())).toUtf8();
        return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
    };
    auto groups = std::make_unique<GroupList>();
    for (const GroupNode* g = m_store.Groups().head(); g; g = g->next) {
        groups->Append(toUtf8(g->name));
        // Counters are copied node by node: a repeated name's later group keeps its own counter.
        if (const GroupNode* added = groups->tail()) const_cast<GroupNode*>(added)->counter = g->counter;
    }
    m_store.SwapGroupList(groups);
    m_bUtf8 = true;
    // The characters shown are the same; the views need no notice.
}

void RowStoreModel::SetAlternateColours(bool alternate) {
    if (alternate == m_bAlternate) return;
    m_bAlternate = alternate;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::ForegroundRole, Qt::BackgroundRole});
}

bool RowStoreModel::DefineColumns(std::string_view spec) {
    beginResetModel();
    const bool ok = m_store.DefineColumns(spec);
    endResetModel();
    return ok;
}

int RowStoreModel::AppendRow(const std::vector<std::string>& texts) {
    const int row = m_store.GetRowCount();
    std::vector<std::string_view> views(texts.begin(), texts.end());
    views.resize(static_cast<size_t>(m_store.ColumnCount()));
    beginInsertRows(QModelIndex(), row, row);
    const int index = m_store.AppendRow(std::span<const std::string_view>(views));
    endInsertRows();
    return index;
}

bool RowStoreModel::SetCellText(int row, int column, std::string_view bytes) {
    if (!m_store.SetCellText(row, column, bytes)) return false;
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
    return true;
}

bool RowStoreModel::DeleteRow(int row) {
    if (row < 0 || row >= m_store.GetRowCount()) return false;
    beginRemoveRows(QModelIndex(), row, row);
    const bool ok = m_store.DeleteRow(row);
    endRemoveRows();
    return ok;
}

void RowStoreModel::DeleteRows(std::vector<int> rows) {
    const int count = m_store.GetRowCount();
    std::erase_if(rows, [count](int r) { return r < 0 || r >= count; });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty()) return;

    // Contiguous runs of rows, each announced on its own while there are few of them; a
    // scattered selection of many runs is removed in one pass and announced as a reset.
    std::vector<std::pair<int, int>> runs;
    for (int r : rows) {
        if (!runs.empty() && runs.back().second + 1 == r)
            runs.back().second = r;
        else
            runs.emplace_back(r, r);
    }
    constexpr size_t kMaxAnnouncedRuns = 32;
    if (runs.size() > kMaxAnnouncedRuns) {
        beginResetModel();
        m_store.DeleteRows(std::move(rows));
        endResetModel();
        return;
    }
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        beginRemoveRows(QModelIndex(), it->first, it->second);
        std::vector<int> run(static_cast<size_t>(it->second - it->first + 1));
        for (size_t i = 0; i < run.size(); ++i) run[i] = it->first + static_cast<int>(i);
        m_store.DeleteRows(std::move(run));
        endRemoveRows();
    }
}

bool RowStoreModel::DeleteAllRows() {
    beginResetModel();
    const bool ok = m_store.DeleteAllRows();
    endResetModel();
    return ok;
}

void RowStoreModel::Sort(int column, bool ascending, bool pairs) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<int> order =
        pairs ? m_store.SortPairsByColumn(column, ascending) : m_store.SortByColumn(column, ascending);
    Reorder(order);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RowStoreModel::Reorder(const std::vector<int>& order) {
    const QModelIndexList from = persistentIndexList();
    if (from.isEmpty()) return;
    std::vector<int> newIndexOf(order.size());
    for (size_t i = 0; i < order.size(); ++i) newIndexOf[static_cast<size_t>(order[i])] = static_cast<int>(i);
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& p : from) {
        const auto old = static_cast<size_t>(p.row());
        to.append(old < newIndexOf.size() ? index(newIndexOf[old], p.column()) : QModelIndex());
    }
    changePersistentIndexList(from, to);
}

void RowStoreModel::TakeContents(RowStore& other) {
    beginResetModel();
    m_store.TakeContents(other);
    endResetModel();
}

void RowStoreModel::NotifyRowsChanged(int firstRow, int lastRow) {
    const int rows = m_store.GetRowCount();
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, rows - 1);
    if (firstRow > lastRow || columnCount() == 0) return;
    emit dataChanged(index(firstRow, 0), index(lastRow, columnCount() - 1), {Qt::DisplayRole});
}
