#pragma once
// The column header of the entry table: shows the sort column and direction as an etched
// arrow, and turns the column widths into the stored bytes and back.
#include <QByteArray>
#include <QHeaderView>
#include <QSet>

#include "core/ColumnWidths.h"

class CSortHeaderCtrl : public QHeaderView {
    Q_OBJECT
public:
    explicit CSortHeaderCtrl(QWidget* parent = nullptr);

    void SetSortIndicator(int column, bool ascending);
    int SortColumn() const { return m_nSortColumn; }
    bool SortAscending() const { return m_bAscending; }
    // Items that have carried the arrow once are painted by this control from then on.
    bool IsOwnerDrawn(int logicalIndex) const { return m_ownerDrawn.contains(logicalIndex); }

    // The item that takes the room a window gives beyond its least size (-1: none). It is shown
    // `extra` pixels wider than its own width; its own width is what is stored and what
    // OwnWidth gives, whatever the window's size.
    void SetStretchSection(int logicalIndex) { m_nStretch = logicalIndex; }
    void SetExtraWidth(int extra);
    int OwnWidth(int logicalIndex) const;
    void SetOwnWidth(int logicalIndex, int width);

    // The own widths of all items as the stored value (count, then one width per item).
    QByteArray SerializeWidths() const;
    // Applies a stored value when it matches the items; otherwise leaves the widths alone.
    StoredWidths::Result DeserializeWidths(const QByteArray& bytes);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PaintOwnerDrawn(QPainter* painter, const QRect& rect, int logicalIndex) const;

    int m_nSortColumn = -1;
    bool m_bAscending = true;
    QSet<int> m_ownerDrawn;
    int m_nPressed = -1;  // item under a held mouse button
    int m_nStretch = -1;
    int m_nExtra = 0;
};
