#include "core/SortArrow.h"

#include <cstdlib>

HeaderItemLayout LayoutHeaderItem(const HeaderRect& item, bool pressed, bool isSortColumn, bool ascending) {
    HeaderItemLayout layout;
    HeaderRect& text = layout.text;
    text = item;
    if (pressed) {
        text.left += 1;
        text.top += 2;
        text.right += 1;
    }
    const int o = (item.bottom - item.top) / 4;
    if (isSortColumn) text.right -= 3 * o;
    text.left += o;
    text.right -= o;
    layout.drawText = text.left < text.right;

    if (isSortColumn) {
        // Placed from the item itself (not the text), with heights counted from the header's top.
        const int r = item.right;
        const int b = item.bottom;
        if (ascending) {
            layout.arrow.push_back({true, {{r - 2 * o, o}, {r - o, b - o - 1}, {r - 3 * o - 2, b - o - 1}}});
            layout.arrow.push_back({false, {{r - 3 * o - 1, b - o - 1}, {r - 2 * o, o - 1}}});
        } else {
            layout.arrow.push_back({true, {{r - o - 1, o}, {r - 2 * o - 1, b - o}}});
            layout.arrow.push_back({false, {{r - 2 * o - 2, b - o}, {r - 3 * o - 1, o}, {r - o - 1, o}}});
        }
    }
    return layout;
}

std::vector<HeaderPoint> RasterizePolyline(const ArrowPolyline& line) {
    std::vector<HeaderPoint> pixels;
    for (size_t i = 1; i < line.points.size(); ++i) {
        // One segment: every pixel from its start up to, not including, its end. The next segment
        // starts on that end, so joints are painted once and only the last end stays unpainted.
        const HeaderPoint from = line.points[i - 1];
        const HeaderPoint to = line.points[i];
        const int dx = std::abs(to.x - from.x);
        const int dy = std::abs(to.y - from.y);
        const int sx = to.x > from.x ? 1 : -1;
        const int sy = to.y > from.y ? 1 : -1;
        const int steps = dx > dy ? dx : dy;
        // Step along the longer axis; the shorter one advances when the error passes half a step.
        int x = from.x, y = from.y;
        int error = 0;
        for (int k = 0; k < steps; ++k) {
            pixels.push_back({x, y});
            if (dx >= dy) {
                x += sx;
                error += 2 * dy;
                if (error > dx) {
                    y += sy;
                    error -= 2 * dx;
                }
            } else {
                y += sy;
                error += 2 * dx;
                if (error > dy) {
                    x += sx;
                    error -= 2 * dy;
                }
            }
        }
    }
    return pixels;
}
