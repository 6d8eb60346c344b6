#include "gui/shell/FirstPaintStamp.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

void FirstPaintStamp::WatchIfAsked(QWidget* window) {
    if (qEnvironmentVariableIsEmpty("LUMETRA_PAINT_STAMP"))
        return;
    window->installEventFilter(new FirstPaintStamp(window));
}

bool FirstPaintStamp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && !seen) {
        seen = true;
        // The children (the list, the count line) are painted in the same pass: the stamp
        // waits for the pass to end.
        QTimer::singleShot(0, this, [this, watched] {
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            std::printf("first paint %lld\n",
                        static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stdout);
            watched->removeEventFilter(this);
        });
    }
    return false;
}
