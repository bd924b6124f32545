#pragma once
// Geometry of one sort header item: where its text goes and the lines of the etched arrow.
// Lines follow the platform line rule: each segment is drawn from its start point up to,
// not including, its end point; a polyline continues from the previous end point.
#include <vector>

struct HeaderPoint {
    int x = 0, y = 0;
    bool operator==(const HeaderPoint&) const = default;
};
struct HeaderRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const HeaderRect&) const = default;
};
struct ArrowPolyline {
    bool light = true;  // light pen (3D highlight) or dark pen (3D shadow)
    std::vector<HeaderPoint> points;
};
struct HeaderItemLayout {
    HeaderRect text;                   // where the text is drawn
    bool drawText = true;              // false when the indents leave no room
    std::vector<ArrowPolyline> arrow;  // empty unless this item is the sort column
};

HeaderItemLayout LayoutHeaderItem(const HeaderRect& item, bool pressed, bool isSortColumn, bool ascending);
// The pixels a polyline paints under the line rule (end point of the last segment excluded).
std::vector<HeaderPoint> RasterizePolyline(const ArrowPolyline& line);
