#include "gui/controls/ShowBalloon.h"

#include "gui/controls/BalloonTip.h"

#include <QWidget>

void ShowBalloonAt(QWidget* control, const QString& text) {
    if (!control)
        return;
    auto* balloon = new BalloonTip;
    balloon->SetBackground(QColor(255, 180, 180));
    const QPoint centre(control->width() / 2, control->height() / 2);
    const unsigned options = BalloonTip::closeOnMouse | BalloonTip::closeOnKey | BalloonTip::deleteWhenClosed;
    if (!balloon->Launch(QString(), text, centre, options, control, 0))
        delete balloon;
    control->setFocus(Qt::OtherFocusReason);
}
