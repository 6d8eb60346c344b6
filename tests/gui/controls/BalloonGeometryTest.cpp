#include "gui/controls/BalloonGeometry.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QRect& r, std::ostream* out) {
    *out << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << "x" << r.height() << ")";
}
inline void PrintTo(const QPoint& p, std::ostream* out) {
    *out << "(" << p.x() << ", " << p.y() << ")";
}
inline void PrintTo(const QPolygon& polygon, std::ostream* out) {
    *out << "{";
    for (const QPoint& p : polygon)
        *out << " (" << p.x() << ", " << p.y() << ")";
    *out << " }";
}
QT_END_NAMESPACE

namespace {

const QRect fullHd(0, 0, 1920, 1080);
const QSize box184x44(184, 44); // window 200 x 80, q = 45

struct PlaceCase {
    std::string name;
    QRect work;
    QSize box;
    QPoint anchor;
    QRect window;
    bool pointsUp;
    QPolygon stem; // tip, base point away from the edge, base point on the edge
    bool tipOnAnchor;
};

class Placement : public testing::TestWithParam<PlaceCase> {};

TEST_P(Placement, ShapesAndPlacesTheBalloon) {
    const PlaceCase& c = GetParam();
    const BalloonLayout layout = LayOutBalloon(c.box, c.anchor, c.work);
    EXPECT_EQ(layout.window, c.window);
    EXPECT_EQ(layout.pointsUp, c.pointsUp);
    EXPECT_EQ(layout.stem, c.stem);
    EXPECT_EQ(layout.window.topLeft() + layout.Tip() == c.anchor, c.tipOnAnchor);

    const int bodyHeight = c.window.height() - 20;
    EXPECT_EQ(layout.body, QRect(0, c.pointsUp ? 20 : 0, c.window.width(), bodyHeight));
    EXPECT_EQ(layout.contentBox, QRect(QPoint(8, layout.body.top() + 8), c.box));
}

// The quadrant of the anchor on its monitor picks the stem's side and direction.
INSTANTIATE_TEST_SUITE_P(Cases, Placement,
                         testing::Values(PlaceCase{"LowerRightPointsDownFromThreeQuarters",
                                                   fullHd,
                                                   box184x44,
                                                   {1500, 900},
                                                   {1345, 822, 200, 80},
                                                   false,
                                                   QPolygon({{155, 78}, {135, 58}, {155, 58}}),
                                                   true},
                                         PlaceCase{"LowerLeftPointsDownFromAQuarter",
                                                   fullHd,
                                                   box184x44,
                                                   {300, 900},
                                                   {255, 822, 200, 80},
                                                   false,
                                                   QPolygon({{45, 78}, {65, 58}, {45, 58}}),
                                                   true},
                                         PlaceCase{"UpperLeftPointsUp",
                                                   fullHd,
                                                   box184x44,
                                                   {300, 200},
                                                   {255, 199, 200, 80},
                                                   true,
                                                   QPolygon({{45, 1}, {65, 21}, {45, 21}}),
                                                   true},
                                         PlaceCase{"UpperRightPointsUp",
                                                   fullHd,
                                                   box184x44,
                                                   {1500, 100},
                                                   {1345, 99, 200, 80},
                                                   true,
                                                   QPolygon({{155, 1}, {135, 21}, {155, 21}}),
                                                   true},
                                         PlaceCase{"CentreCountsAsLowerRight",
                                                   fullHd,
                                                   box184x44,
                                                   {960, 540},
                                                   {805, 462, 200, 80},
                                                   false,
                                                   QPolygon({{155, 78}, {135, 58}, {155, 58}}),
                                                   true},
                                         PlaceCase{"NearLeftEdgePushedInsideTipStillOnAnchor",
                                                   fullHd,
                                                   box184x44,
                                                   {10, 700},
                                                   {0, 622, 200, 80},
                                                   false,
                                                   QPolygon({{10, 78}, {65, 58}, {45, 58}}),
                                                   true},
                                         PlaceCase{"NearRightEdgePushedInsideTipStillOnAnchor",
                                                   fullHd,
                                                   box184x44,
                                                   {1915, 900},
                                                   {1720, 822, 200, 80},
                                                   false,
                                                   QPolygon({{195, 78}, {135, 58}, {155, 58}}),
                                                   true},
                                         PlaceCase{"SecondMonitorLeftEdgeTipBelowEight",
                                                   {1920, 0, 1280, 1024},
                                                   box184x44,
                                                   {1925, 900},
                                                   {1920, 822, 200, 80},
                                                   false,
                                                   QPolygon({{5, 78}, {65, 58}, {45, 58}}),
                                                   true},
                                         PlaceCase{"SecondMonitorUpperLeft",
                                                   {1920, 0, 1280, 1024},
                                                   box184x44,
                                                   {2000, 100},
                                                   {1955, 99, 200, 80},
                                                   true,
                                                   QPolygon({{45, 1}, {65, 21}, {45, 21}}),
                                                   true},
                                         PlaceCase{"TinyBoxClampsStemOnTheLeft",
                                                   fullHd,
                                                   {4, 10},
                                                   {300, 200},
                                                   {292, 199, 20, 46},
                                                   true,
                                                   QPolygon({{8, 1}, {12, 21}, {8, 21}}),
                                                   true},
                                         PlaceCase{"TinyBoxClampsStemOnTheRight",
                                                   fullHd,
                                                   {4, 10},
                                                   {1500, 900},
                                                   {1488, 856, 20, 46},
                                                   false,
                                                   QPolygon({{12, 44}, {8, 24}, {12, 24}}),
                                                   true},
                                         // Only the body is kept inside vertically; the stem is not moved for it.
                                         PlaceCase{"BodyPushedUpAboveTheTaskBar",
                                                   {0, 0, 1920, 1040},
                                                   box184x44,
                                                   {300, 1070},
                                                   {255, 980, 200, 80},
                                                   false,
                                                   QPolygon({{45, 78}, {65, 58}, {45, 58}}),
                                                   false},
                                         PlaceCase{"BodyPushedDownBelowTheTop",
                                                   fullHd,
                                                   box184x44,
                                                   {300, -30},
                                                   {255, -20, 200, 80},
                                                   true,
                                                   QPolygon({{45, 1}, {65, 21}, {45, 21}}),
                                                   false}),
                         CaseName{});

TEST(BalloonRegion, IsTheRoundedBodyAndTheStem) {
    const BalloonLayout down = LayOutBalloon(box184x44, {1500, 900}, fullHd);
    const QPainterPath& region = down.region;
    EXPECT_TRUE(region.contains(QPointF(100, 30)));   // body
    EXPECT_TRUE(region.contains(QPointF(153.5, 75))); // near the tip, inside the stem
    EXPECT_TRUE(region.contains(QPointF(150, 62)));   // stem just below the body
    EXPECT_FALSE(region.contains(QPointF(1, 1)));     // corners cut by the ellipse
    EXPECT_FALSE(region.contains(QPointF(199, 59)));
    EXPECT_FALSE(region.contains(QPointF(60, 70))); // stem band beside the stem
    EXPECT_FALSE(region.contains(QPointF(140, 75)));
    EXPECT_TRUE(region.contains(QPointF(12, 3)));                           // still inside near the corner's start
    EXPECT_EQ(region.boundingRect().toAlignedRect(), QRect(0, 0, 200, 78)); // up to the tip at H - 2

    const BalloonLayout up = LayOutBalloon(box184x44, {300, 200}, fullHd);
    EXPECT_TRUE(up.region.contains(QPointF(46, 4)));
    EXPECT_FALSE(up.region.contains(QPointF(100, 10)));
    EXPECT_TRUE(up.region.contains(QPointF(100, 60)));
}

} // namespace
