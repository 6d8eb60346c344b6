#pragma once

#include <QPainterPath>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QSize>

// Shape and place of a balloon for a measured content box: the window rectangle on the
// screen, and in window coordinates the stem triangle, the body and the region to show.
struct BalloonLayout {
    QRect window;  // screen coordinates
    QRect body;    // window coordinates, the rounded part without the stem band
    QPolygon stem; // window coordinates: tip, then the two base points
    bool pointsUp = false;
    QPainterPath region; // rounded body united with the stem
    QRect contentBox;    // window coordinates of the title and content block

    QPoint Tip() const { return stem.isEmpty() ? QPoint() : stem.point(0); }
};

inline constexpr int balloonStemHeight = 20;
inline constexpr int balloonMargin = 8;
inline constexpr int balloonCornerEllipse = 24;

// contentBox: the measured size of title and content; anchor and workArea in screen coordinates
// (workArea: the usable part of the monitor holding the anchor).
BalloonLayout LayOutBalloon(QSize contentBox, QPoint anchor, const QRect& workArea);
