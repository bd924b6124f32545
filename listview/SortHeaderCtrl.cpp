#include "listview/SortHeaderCtrl.h"

#include <QDebug>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <string_view>

#include "core/SortArrow.h"

namespace {
constexpr int kMaxHeaderText = 254;
}

CSortHeaderCtrl::CSortHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setMinimumSectionSize(0);
    setStretchLastSection(false);
    setSectionResizeMode(QHeaderView::Interactive);
}

void CSortHeaderCtrl::SetSortIndicator(int column, bool ascending) {
    m_nSortColumn = column;
    m_bAscending = ascending;
    if (column >= 0) m_ownerDrawn.insert(column);
    viewport()->update();
}

void CSortHeaderCtrl::SetExtraWidth(int extra) {
    if (extra == m_nExtra) return;
    const bool shown = m_nStretch >= 0 && m_nStretch < count();
    const int own = shown ? OwnWidth(m_nStretch) : 0;
    m_nExtra = extra;
    if (shown) resizeSection(m_nStretch, own + extra);
}

int CSortHeaderCtrl::OwnWidth(int logicalIndex) const {
    const int shown = sectionSize(logicalIndex);
    return logicalIndex == m_nStretch ? qMax(0, shown - m_nExtra) : shown;
}

void CSortHeaderCtrl::SetOwnWidth(int logicalIndex, int width) {
    resizeSection(logicalIndex, logicalIndex == m_nStretch ? width + m_nExtra : width);
}

QByteArray CSortHeaderCtrl::SerializeWidths() const {
    std::vector<int32_t> widths;
    widths.reserve(static_cast<size_t>(count()));
    for (int i = 0; i < count(); ++i) widths.push_back(OwnWidth(i));
    const std::string bytes = ::SerializeWidths(widths);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

StoredWidths::Result CSortHeaderCtrl::DeserializeWidths(const QByteArray& bytes) {
    const StoredWidths stored =
        ::DeserializeWidths(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), count());
    switch (stored.result) {
        case StoredWidths::Applied:
            for (int i = 0; i < count() && static_cast<size_t>(i) < stored.widths.size(); ++i)
                SetOwnWidth(i, stored.widths[static_cast<size_t>(i)]);
            viewport()->update();
            break;
        case StoredWidths::CountMismatch:
            qDebug("Different number of columns in registry.");
            break;
        case StoredWidths::NoValue:
        case StoredWidths::TooShort:
            break;
    }
    return stored.result;
}

void CSortHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (m_ownerDrawn.contains(logicalIndex))
        PaintOwnerDrawn(painter, rect, logicalIndex);
    else
        QHeaderView::paintSection(painter, rect, logicalIndex);
}

void CSortHeaderCtrl::PaintOwnerDrawn(QPainter* painter, const QRect& rect, int logicalIndex) const {
    painter->save();
    painter->setClipRect(rect);
    painter->fillRect(rect, palette().color(QPalette::Button));

    QString text;
    Qt::Alignment align = defaultAlignment();
    if (model()) {
        text =
            model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString().left(kMaxHeaderText);
        const QVariant a = model()->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole);
        if (a.isValid()) align = a.value<Qt::Alignment>();
    }
    int horizontal = Qt::AlignLeft;
    if (align & Qt::AlignHCenter)
        horizontal = Qt::AlignHCenter;
    else if (align & Qt::AlignRight)
        horizontal = Qt::AlignRight;

    // Edges as left/top inclusive, right/bottom exclusive.
    const HeaderRect item{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
    const bool isSortColumn = logicalIndex == m_nSortColumn;
    const HeaderItemLayout layout =
        LayoutHeaderItem(item, logicalIndex == m_nPressed, isSortColumn, m_bAscending);

    if (layout.drawText) {
        const QRect textRect(QPoint(layout.text.left, layout.text.top),
                             QPoint(layout.text.right - 1, layout.text.bottom - 1));
        const QString shown = fontMetrics().elidedText(text, Qt::ElideRight, textRect.width());
        painter->setPen(palette().color(QPalette::ButtonText));
        painter->drawText(textRect, horizontal | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                          shown);
    }

    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    for (const ArrowPolyline& line : layout.arrow) {
        const QColor& colour = line.light ? light : dark;
        for (const HeaderPoint& p : RasterizePolyline(line)) painter->fillRect(QRect(p.x, p.y, 1, 1), colour);
    }
    painter->restore();
}

void CSortHeaderCtrl::mousePressEvent(QMouseEvent* event) {
    m_nPressed = -1;
    if (event->button() == Qt::LeftButton && sectionsClickable()) {
        const int x = event->position().toPoint().x();
        const int logical = logicalIndexAt(x);
        if (logical >= 0) {
            // A press on a divider resizes the column; it does not press the item.
            const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
            const int left = sectionViewportPosition(logical);
            const int right = left + sectionSize(logical);
            if (x - left > grip && right - x > grip) m_nPressed = logical;
        }
    }
    QHeaderView::mousePressEvent(event);
    viewport()->update();
}

void CSortHeaderCtrl::mouseReleaseEvent(QMouseEvent* event) {
    QHeaderView::mouseReleaseEvent(event);
    m_nPressed = -1;
    viewport()->update();
}
