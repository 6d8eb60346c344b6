#pragma once

#include <QObject>

class QWidget;

// For timing a start from outside: with LUMETRA_PAINT_STAMP set, prints "first paint NS" (the
// monotonic clock in nanoseconds, as every process on the machine reads it) on standard output
// once the window's first paint is done. Without the variable nothing is watched.
class FirstPaintStamp : public QObject {
public:
    static void WatchIfAsked(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
    bool seen = false;
};
