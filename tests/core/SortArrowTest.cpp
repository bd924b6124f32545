#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <vector>

#include "core/SortArrow.h"

namespace {

using Points = std::vector<HeaderPoint>;

void ExpectArrow(const HeaderItemLayout& layout, const Points& light, const Points& dark) {
    ASSERT_EQ(layout.arrow.size(), 2u);
    EXPECT_TRUE(layout.arrow[0].light);
    EXPECT_EQ(layout.arrow[0].points, light);
    EXPECT_FALSE(layout.arrow[1].light);
    EXPECT_EQ(layout.arrow[1].points, dark);
}

TEST(HeaderLayout, TextRectOfATwentyPixelItemAndPressing) {
    const HeaderRect item{10, 0, 100, 20};
    const HeaderItemLayout sorted = LayoutHeaderItem(item, false, true, false);
    EXPECT_EQ(sorted.text, (HeaderRect{15, 0, 80, 20}));
    EXPECT_EQ(LayoutHeaderItem(item, false, false, true).text, (HeaderRect{15, 0, 95, 20}));
    EXPECT_TRUE(LayoutHeaderItem(item, false, false, true).arrow.empty());
    // Pressed: the text moves 1 right and 2 down, the arrow stays.
    const HeaderItemLayout down = LayoutHeaderItem(item, true, true, false);
    EXPECT_EQ(down.text, (HeaderRect{16, 2, 81, 20}));
    ExpectArrow(down, sorted.arrow.at(0).points, sorted.arrow.at(1).points);
}

TEST(HeaderLayout, NarrowItemsDrawNoText) {
    // o = 5: a plain item needs more than 10 pixels, the sort column more than 25.
    EXPECT_FALSE(LayoutHeaderItem({0, 0, 10, 20}, false, false, true).drawText);
    EXPECT_TRUE(LayoutHeaderItem({0, 0, 11, 20}, false, false, true).drawText);
    EXPECT_FALSE(LayoutHeaderItem({0, 0, 25, 20}, false, true, true).drawText);
    EXPECT_TRUE(LayoutHeaderItem({0, 0, 26, 20}, false, true, true).drawText);
    EXPECT_EQ(LayoutHeaderItem({0, 0, 0, 20}, false, true, true).arrow.size(), 2u);
    // A flat item has no indents at all.
    EXPECT_TRUE(LayoutHeaderItem({0, 0, 1, 3}, false, true, true).drawText);
}

TEST(HeaderLayout, ArrowLinesOfATwentyPixelItem) {
    const HeaderRect item{0, 0, 100, 20};
    ExpectArrow(LayoutHeaderItem(item, false, true, true), {{90, 5}, {95, 14}, {83, 14}},
                {{84, 14}, {90, 4}});
    ExpectArrow(LayoutHeaderItem(item, false, true, false), {{94, 5}, {89, 15}},
                {{88, 15}, {84, 5}, {94, 5}});
}

TEST(HeaderRaster, EndPointsExcludedJointsPaintedOnce) {
    const ArrowPolyline line{true, {{84, 14}, {90, 4}}};
    const Points px = RasterizePolyline(line);
    ASSERT_EQ(px.size(), 10u);  // the longer axis spans 10 pixels, the end one left out
    EXPECT_EQ(px.front(), (HeaderPoint{84, 14}));
    EXPECT_EQ(std::count(px.begin(), px.end(), HeaderPoint{90, 4}), 0);

    const ArrowPolyline tri{false, {{88, 15}, {84, 5}, {94, 5}}};
    const Points t = RasterizePolyline(tri);
    EXPECT_EQ(t.size(), 20u);
    EXPECT_EQ(std::count(t.begin(), t.end(), HeaderPoint{84, 5}), 1);  // the joint
    EXPECT_EQ(std::count(t.begin(), t.end(), HeaderPoint{94, 5}), 0);  // the final end
    EXPECT_EQ(t.back(), (HeaderPoint{93, 5}));

    EXPECT_TRUE(RasterizePolyline({true, {{3, 3}}}).empty());
    EXPECT_TRUE(RasterizePolyline({true, {{3, 3}, {3, 3}}}).empty());
    EXPECT_EQ(RasterizePolyline({true, {{3, 3}, {4, 3}}}), (Points{{3, 3}}));
}

TEST(HeaderRaster, LinesAreConnectedAndReachTheirEnds) {
    // Every direction and slope: consecutive pixels touch, no pixel repeats, and the last one
    // touches the end point; every pixel lies within half a pixel of the ideal line.
    for (int ex = -7; ex <= 7; ++ex) {
        for (int ey = -7; ey <= 7; ++ey) {
            const HeaderPoint start{20, 20};
            const HeaderPoint end{20 + ex, 20 + ey};
            const Points px = RasterizePolyline({true, {start, end}});
            const int steps = std::max(std::abs(ex), std::abs(ey));
            ASSERT_EQ(px.size(), static_cast<size_t>(steps));
            if (steps == 0) continue;
            EXPECT_EQ(px.front(), start);
            HeaderPoint prev = px.front();
            std::set<std::pair<int, int>> seen;
            for (const HeaderPoint& p : px) {
                EXPECT_TRUE(seen.insert({p.x, p.y}).second);
                EXPECT_LE(std::abs(p.x - prev.x), 1);
                EXPECT_LE(std::abs(p.y - prev.y), 1);
                // Distance along the minor axis from the ideal line, times the major length.
                const long cross =
                    static_cast<long>(p.x - start.x) * ey - static_cast<long>(p.y - start.y) * ex;
                EXPECT_LE(2 * std::abs(cross), static_cast<long>(steps)) << ex << "," << ey;
                prev = p;
            }
            EXPECT_LE(std::abs(end.x - prev.x), 1) << ex << "," << ey;
            EXPECT_LE(std::abs(end.y - prev.y), 1) << ex << "," << ey;
            EXPECT_FALSE(prev == end);
        }
    }
}

}  // namespace
