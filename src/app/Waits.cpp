#include "Waits.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {
std::vector<QEventLoop*> runningLoops;
}

void PumpWait(int ms) {
    WaitUntil([] { return false; }, ms);
}

bool WaitUntil(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms < 0 ? 0 : ms);
    while (!done()) {
        qint64 left = deadline.remainingTime();
        if (left <= 0)
            break;
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(static_cast<int>(left));
        runningLoops.push_back(&loop);
        loop.exec(QEventLoop::AllEvents);
        runningLoops.erase(std::find(runningLoops.begin(), runningLoops.end(), &loop));
    }
    return done();
}

void WakeWaits() {
    for (QEventLoop* loop : runningLoops)
        loop->quit();
}
