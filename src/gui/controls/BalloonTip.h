#pragma once

#include "gui/controls/BalloonGeometry.h"

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QPropertyAnimation>
#include <QRegion>
#include <QString>
#include <QTimer>
#include <QWidget>

// A message pop-up with rounded corners and a stem whose tip touches a point of a control.
// It never takes the keyboard focus; it goes on the events chosen in the options, on its
// time-out, or on a close request.
class BalloonTip : public QWidget {
    Q_OBJECT
public:
    static constexpr unsigned closeOnMouse = 0x8;       // a left button press in any window of the program
    static constexpr unsigned closeOnKey = 0x80;        // a key press in any window of the program
    static constexpr unsigned deleteWhenClosed = 0x200; // the balloon owns itself once shown

    explicit BalloonTip(QWidget* parent = nullptr);
    ~BalloonTip() override;

    // Repaints a balloon that is already shown.
    void SetBackground(const QColor& colour);

    // anchor is in anchorWindow's coordinates, or on the screen when anchorWindow is null;
    // timeoutMs 0 means no time-out. False when the balloon is already shown; the caller then
    // keeps ownership, also with deleteWhenClosed.
    [[nodiscard]] bool Launch(const QString& title, const QString& content, const QPoint& anchor, unsigned options,
                              QWidget* anchorWindow, int timeoutMs);

    // Closes as the watchers do: later, from the event loop.
    void RequestClose();

    bool IsLaunched() const { return launched; }
    // True once the input and anchor watchers are in place (from the event loop after Launch).
    bool IsWatching() const { return watching; }
    // Fades in and out only while the platform animates and fades tool tips.
    bool Fades() const { return fades; }
    const BalloonLayout& Layout() const { return layout; }
    QColor Background() const { return background; }
    QColor TextColour() const { return textColour; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPoint AnchorOnScreen() const;
    void Relayout();
    void StartWatching();
    void StopWatching();
    void StartClose();
    void FinishClose();

    QString title;
    QString content;
    QPoint anchor;
    QPointer<QWidget> anchorWindow;
    QPointer<QWidget> anchorTop;
    unsigned options = 0;

    QColor background;
    QColor textColour;
    QFont titleFont;
    QFont contentFont;

    BalloonLayout layout;
    QRect titleRect;
    QRect contentRect;
    QRegion appliedRegion; // set again only when the shape changes

    QTimer timeout;
    QPointer<QPropertyAnimation> fade;
    bool fades = false;
    bool launched = false;
    bool closing = false;
    bool watching = false;
};
