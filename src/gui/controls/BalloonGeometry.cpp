#include "gui/controls/BalloonGeometry.h"

#include <algorithm>

BalloonLayout LayOutBalloon(QSize contentBox, QPoint anchor, const QRect& workArea) {
    BalloonLayout layout;
    const int width = contentBox.width() + 2 * balloonMargin;
    const int height = contentBox.height() + 2 * balloonMargin + balloonStemHeight;
    const int quarter = (width - balloonStemHeight) / 4;

    // The stem points towards the anchor's side of the monitor, so the body lies towards its centre.
    const QPoint centre(workArea.left() + workArea.width() / 2, workArea.top() + workArea.height() / 2);
    layout.pointsUp = anchor.y() < centre.y();
    const bool rightHalf = anchor.x() >= centre.x();

    auto clampX = [width](int x) { return std::clamp(x, 8, std::max(8, width - 8)); };
    int edgeX = 0;
    int baseFarX = 0; // the base point away from the vertical edge
    if (rightHalf) {
        edgeX = clampX(3 * quarter + balloonStemHeight);
        baseFarX = clampX(3 * quarter);
    } else {
        edgeX = clampX(quarter);
        baseFarX = clampX(quarter + balloonStemHeight);
    }

    int tipY = 0;
    int baseY = 0;
    if (layout.pointsUp) {
        layout.body = QRect(0, balloonStemHeight, width, height - balloonStemHeight);
        tipY = 1;
        baseY = balloonStemHeight + 1;
    } else {
        layout.body = QRect(0, 0, width, height - balloonStemHeight);
        tipY = height - 2;
        baseY = height - balloonStemHeight - 2;
    }

    // Put the tip on the anchor, then keep the window inside horizontally; the tip (not the
    // base) moves back by the same amount so it still touches the anchor.
    int tipX = edgeX;
    QPoint origin(anchor.x() - tipX, anchor.y() - tipY);
    const int workRight = workArea.left() + workArea.width();
    if (origin.x() + width > workRight) {
        const int shift = origin.x() + width - workRight;
        origin.rx() -= shift;
        tipX += shift;
    }
    if (origin.x() < workArea.left()) {
        const int shift = workArea.left() - origin.x();
        origin.rx() += shift;
        tipX -= shift;
    }
    // Only an anchor outside the work area could push the tip off the window.
    tipX = std::clamp(tipX, 0, width - 1);

    // Vertically only the body has to be inside; the stem is left as it is.
    const int workBottom = workArea.top() + workArea.height();
    const int bodyTop = origin.y() + layout.body.top();
    const int bodyBottom = bodyTop + layout.body.height();
    if (bodyBottom > workBottom)
        origin.ry() -= bodyBottom - workBottom;
    if (origin.y() + layout.body.top() < workArea.top())
        origin.ry() = workArea.top() - layout.body.top();

    layout.window = QRect(origin, QSize(width, height));
    layout.stem = QPolygon({QPoint(tipX, tipY), QPoint(baseFarX, baseY), QPoint(edgeX, baseY)});
    layout.contentBox = QRect(QPoint(balloonMargin, layout.body.top() + balloonMargin), contentBox);

    QPainterPath body;
    body.addRoundedRect(QRectF(layout.body), balloonCornerEllipse / 2.0, balloonCornerEllipse / 2.0);
    QPainterPath stem;
    stem.addPolygon(QPolygonF(layout.stem));
    stem.closeSubpath();
    layout.region = body.united(stem);
    return layout;
}
