#include "listview/TranslatePairModel.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>

#include "document/review/EntryStatus.h"
#include "listview/RowStoreModel.h"

TranslatePairModel::TranslatePairModel(RowStoreModel* source, QObject* parent)
    : QAbstractTableModel(parent), m_source(source) {
    // Another filter shows other entries; a cell changed in place changes its entry.
    const auto rebuild = [this] {
        if (m_resetting) return;  // a change of the document's rows: End rebuilds
        Begin();
        End();
    };
    connect(m_source, &QAbstractItemModel::modelReset, this, rebuild);
    connect(m_source, &QAbstractItemModel::layoutChanged, this, rebuild);
    m_source->Doc().AddObserver(this);
    connect(m_source, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) {
                if (!from.isValid() || !to.isValid()) return;
                const int first = EntryOf(m_source->DocRow(from.row()) / 2);
                const int last = EntryOf(m_source->DocRow(to.row()) / 2);
                if (first < 0 || last < 0 || to.row() - from.row() > 64) {
                    // Many rows at once (a Replace All): every entry may have changed.
                    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
                    return;
                }
                emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
            });
    Rebuild();
}

TranslatePairModel::~TranslatePairModel() {
    m_source->Doc().RemoveObserver(this);
}

void TranslatePairModel::Begin() {
    if (m_resetting) return;
    m_resetting = true;
    beginResetModel();
}

void TranslatePairModel::End() {
    if (!m_resetting) return;
    Rebuild();
    m_resetting = false;
    endResetModel();
}

int TranslatePairModel::Pairs() const {
    return m_source->Doc().RowCount() / 2;
}

void TranslatePairModel::Rebuild() {
    m_all = !m_source->Filtered();
    m_pairs.clear();
    if (m_all) return;
    const int pairs = Pairs();
    for (int v = 0; v < m_source->rowCount(); ++v) {
        const int pair = m_source->DocRow(v) / 2;
        if (pair < pairs && (m_pairs.empty() || m_pairs.back() != pair)) m_pairs.push_back(pair);
    }
}

int TranslatePairModel::Pair(int entry) const {
    if (entry < 0 || entry >= rowCount()) return -1;
    return m_all ? entry : m_pairs[static_cast<size_t>(entry)];
}

int TranslatePairModel::EntryOf(int pair) const {
    if (pair < 0 || pair >= Pairs()) return -1;
    if (m_all) return pair;
    const auto it = std::lower_bound(m_pairs.begin(), m_pairs.end(), pair);
    return it != m_pairs.end() && *it == pair ? static_cast<int>(it - m_pairs.begin()) : -1;
}

int TranslatePairModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || m_resetting) return 0;
    return m_all ? Pairs() : static_cast<int>(m_pairs.size());
}

int TranslatePairModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TranslatePairModel::data(const QModelIndex& index, int role) const {
    const int original = OriginalRow(index.row());
    if (!index.isValid() || original < 0) return {};
    const Document& doc = m_source->Doc();
    const int translation = original + 1;
    if (index.column() == StatusColumn) {
        const Mark mark = m_marks ? m_marks(original, role == Qt::ToolTipRole) : Mark();
        if (role == Qt::DisplayRole) {
            const EntryStatus status = StatusOf(doc.Cell(original, ColText), doc.RowEncoding(original),
                                                doc.Cell(translation, ColText), doc.RowEncoding(translation),
                                                doc.IsStandIn(translation));
            return QString::fromLatin1(StatusName(status));
        }
        if (role == Qt::DecorationRole && mark.problem)
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        if (role == Qt::ToolTipRole && !mark.words.isEmpty()) return mark.words;
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (role == Qt::ToolTipRole && index.column() < Original) return {};
    switch (index.column()) {
        case Id:
            return m_source->CellText(original, ColGlobalId);
        case GroupName:
            return m_source->CellText(original, ColGroupName);
        case GroupId:
            return m_source->CellText(original, ColGroupId);
        case Original:
            return m_source->CellText(original, ColText);
        case Translation:
            return m_source->CellText(translation, ColText);
        default:
            return {};
    }
}

QVariant TranslatePairModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const names[] = {"Global ID", "Group Name",  "Group ID",
                                        "Original",  "Translation", "Status"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

void TranslatePairModel::MarksChanged() {
    if (rowCount() > 0) emit dataChanged(index(0, StatusColumn), index(rowCount() - 1, StatusColumn));
}
