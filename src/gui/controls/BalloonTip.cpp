#include "gui/controls/BalloonTip.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScreen>

#include <algorithm>

namespace {
constexpr int fadeMs = 200;
constexpr int textFlags = Qt::TextWordWrap | Qt::TextExpandTabs;

QSize MeasureText(const QFont& font, const QString& text, int wrapWidth) {
    if (text.isEmpty())
        return QSize(0, 0);
    return QFontMetrics(font).boundingRect(QRect(0, 0, wrapWidth, 1 << 20), textFlags, text).size();
}

// Assistive technology sees a balloon as a tool tip, named by its title (or its text) and
// described by its text.
QAccessibleInterface* BalloonAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("BalloonTip") && object != nullptr && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::ToolTip);
    return nullptr;
}
} // namespace

BalloonTip::BalloonTip(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    static const bool accessibleInstalled = (QAccessible::installFactory(BalloonAccessible), true);
    (void)accessibleInstalled;
    setObjectName(QStringLiteral("balloon"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    background = palette().color(QPalette::ToolTipBase);
    textColour = palette().color(QPalette::ToolTipText);
    contentFont = QApplication::font();
    titleFont = contentFont;
    titleFont.setBold(true);
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, this, &BalloonTip::RequestClose);
}

BalloonTip::~BalloonTip() {
    StopWatching();
}

void BalloonTip::SetBackground(const QColor& colour) {
    background = colour;
    if (isVisible())
        update();
}

bool BalloonTip::Launch(const QString& newTitle, const QString& newContent, const QPoint& newAnchor,
                        unsigned newOptions, QWidget* newAnchorWindow, int timeoutMs) {
    if (launched)
        return false;
    title = newTitle;
    content = newContent;
    anchor = newAnchor;
    options = newOptions;
    anchorWindow = newAnchorWindow;
    anchorTop = newAnchorWindow ? newAnchorWindow->window() : nullptr;
    fades = QApplication::isEffectEnabled(Qt::UI_AnimateTooltip) && QApplication::isEffectEnabled(Qt::UI_FadeTooltip);
    setAccessibleName(title.isEmpty() ? content : title);
    setAccessibleDescription(content);

    // A self-owned balloon goes with the window it points into at the latest.
    if ((options & deleteWhenClosed) && !parentWidget() && anchorTop)
        setParent(anchorTop, windowFlags());

    launched = true;
    closing = false;
    Relayout();
    if (anchorWindow)
        connect(anchorWindow, &QObject::destroyed, this, &BalloonTip::RequestClose, Qt::UniqueConnection);
    // Watching starts from the event loop: the input that led to this balloon cannot close it,
    // and no filter is added to an object whose filters are running right now (Qt would run
    // them again).
    QMetaObject::invokeMethod(this, &BalloonTip::StartWatching, Qt::QueuedConnection);

    if (fades) {
        setWindowOpacity(0.0);
        show();
        fade = new QPropertyAnimation(this, "windowOpacity", this);
        fade->setDuration(fadeMs);
        fade->setEndValue(1.0);
        fade->start(QAbstractAnimation::DeleteWhenStopped);
    } else {
        setWindowOpacity(1.0);
        show();
    }
    if (timeoutMs > 0)
        timeout.start(timeoutMs);
    // The balloon never takes the focus, so a screen reader would not read it by itself.
    QAccessibleEvent shown(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&shown);
    return true;
}

void BalloonTip::RequestClose() {
    if (!launched || closing)
        return;
    closing = true;
    QMetaObject::invokeMethod(this, &BalloonTip::StartClose, Qt::QueuedConnection);
}

void BalloonTip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillPath(layout.region, background);
    // Half of the 2-pixel line lies outside the mask, leaving a 1-pixel frame inside.
    painter.strokePath(layout.region, QPen(textColour, 2));
    painter.setPen(textColour);
    if (!title.isEmpty()) {
        painter.setFont(titleFont);
        painter.drawText(titleRect, textFlags, title);
    }
    painter.setFont(contentFont);
    painter.drawText(contentRect, textFlags, content);
}

void BalloonTip::closeEvent(QCloseEvent* event) {
    // Closing by the system takes the same way as every other close request.
    event->ignore();
    RequestClose();
}

bool BalloonTip::eventFilter(QObject* watched, QEvent* event) {
    if (!launched || closing)
        return false;
    const QEvent::Type type = event->type();
    if ((watched == anchorTop || watched == anchorWindow) && type == QEvent::Move) {
        Relayout();
        return false;
    }
    if (!watching)
        return false;
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        if ((options & closeOnMouse) && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            RequestClose();
        break;
    case QEvent::ShortcutOverride: // precedes every key press, also those a shortcut takes
    case QEvent::KeyPress:
        if (options & closeOnKey)
            RequestClose();
        break;
    default:
        break;
    }
    return false;
}

QPoint BalloonTip::AnchorOnScreen() const {
    return anchorWindow ? anchorWindow->mapToGlobal(anchor) : anchor;
}

void BalloonTip::Relayout() {
    const QPoint at = AnchorOnScreen();
    QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen && anchorWindow)
        screen = anchorWindow->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);

    const int wrap = std::max(1, work.width() / 2);
    const QSize titleSize = MeasureText(titleFont, title, wrap);
    const QSize contentSize = MeasureText(contentFont, content, wrap);
    const int gap = balloonMargin;
    const QSize box(std::max(titleSize.width(), contentSize.width()), titleSize.height() + contentSize.height() + gap);
    layout = LayOutBalloon(box, at, work);

    const QPoint origin = layout.contentBox.topLeft();
    titleRect = QRect(origin, titleSize);
    // Without a title the spare gap is split above and below the content.
    const int contentTop = title.isEmpty() ? origin.y() + gap / 2 : origin.y() + titleSize.height() + gap;
    contentRect = QRect(QPoint(origin.x(), contentTop), contentSize);

    setGeometry(layout.window);
    const QRegion region(layout.region.toFillPolygon().toPolygon(), Qt::WindingFill);
    if (region != appliedRegion) {
        setMask(region);
        appliedRegion = region;
        update();
    }
}

void BalloonTip::StartWatching() {
    if (!launched || closing || watching)
        return;
    watching = true;
    if (options & (closeOnMouse | closeOnKey))
        qApp->installEventFilter(this);
    if (anchorWindow) {
        anchorWindow->installEventFilter(this);
        if (anchorTop && anchorTop != anchorWindow)
            anchorTop->installEventFilter(this);
        Relayout(); // in case the anchor moved before
    }
}

void BalloonTip::StopWatching() {
    watching = false;
    if (qApp)
        qApp->removeEventFilter(this);
    if (anchorWindow)
        anchorWindow->removeEventFilter(this);
    if (anchorTop)
        anchorTop->removeEventFilter(this);
}

void BalloonTip::StartClose() {
    StopWatching();
    timeout.stop();
    if (fade)
        fade->stop(); // deletes itself
    if (fades && isVisible()) {
        fade = new QPropertyAnimation(this, "windowOpacity", this);
        fade->setDuration(fadeMs);
        fade->setEndValue(0.0);
        connect(fade, &QAbstractAnimation::finished, this, &BalloonTip::FinishClose);
        fade->start(QAbstractAnimation::DeleteWhenStopped);
    } else {
        FinishClose();
    }
}

void BalloonTip::FinishClose() {
    hide();
    launched = false;
    closing = false;
    if (options & deleteWhenClosed)
        deleteLater();
}
