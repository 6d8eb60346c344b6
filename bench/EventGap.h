#pragma once

// The longest stretch without an event-loop turn while a command runs: a zero timer fires on
// every turn, so the largest interval between its firings (and from the start to the first
// and from the last to the end) is how long the window stayed frozen.
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

class EventGap {
public:
    EventGap() {
        ticker.setInterval(0);
        QObject::connect(&ticker, &QTimer::timeout, [this] { Tick(); });
    }

    void Start() {
        largestNs = 0;
        clock.start();
        lastNs = 0;
        ticker.start();
    }

    // Largest gap in milliseconds.
    double Stop() {
        ticker.stop();
        Tick();
        return largestNs / 1e6;
    }

private:
    void Tick() {
        const qint64 now = clock.nsecsElapsed();
        largestNs = std::max(largestNs, now - lastNs);
        lastNs = now;
    }

    QTimer ticker;
    QElapsedTimer clock;
    qint64 lastNs = 0;
    qint64 largestNs = 0;
};
