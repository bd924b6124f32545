#include "dialogs/DialogUnits.h"

#include <QFontMetrics>

namespace {
// Rounded a * b / c, as the platform's MulDiv.
int MulDiv(int a, int b, int c) {
    const long long p = static_cast<long long>(a) * b;
    return static_cast<int>((p >= 0 ? p + c / 2 : p - c / 2) / c);
}
}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics fm(font);
    // Average width of the 52 Latin letters, rounded as the platform does.
    const int width =
        fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nBaseX = (width / 26 + 1) / 2;
    m_nBaseY = fm.height();
}

int DialogUnits::X(int dlu) const {
    return MulDiv(dlu, m_nBaseX, 4);
}
int DialogUnits::Y(int dlu) const {
    return MulDiv(dlu, m_nBaseY, 8);
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    const int left = X(x), top = Y(y);
    return QRect(left, top, X(x + width) - left, Y(y + height) - top);
}
