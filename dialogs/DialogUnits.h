#pragma once
// Dialog units to pixels, the way dialog templates are laid out: a horizontal unit is a
// quarter of the font's average character width, a vertical unit an eighth of its height.
#include <QFont>
#include <QRect>

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseX, int baseY) : m_nBaseX(baseX), m_nBaseY(baseY) {}

    int BaseX() const { return m_nBaseX; }
    int BaseY() const { return m_nBaseY; }
    int X(int dlu) const;
    int Y(int dlu) const;
    QRect Rect(int x, int y, int width, int height) const;

private:
    int m_nBaseX;
    int m_nBaseY;
};
