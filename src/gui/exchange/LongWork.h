#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstddef>
#include <vector>

class ProgressDialog;
class QEvent;
class RegisterView;

// A command over many rows that runs to its end on the user-interface thread. Above
// `threshold` rows the view's window is disabled (and kept from closing) and the progress
// window shows; Step then serves pending events every few tens of milliseconds, so the
// window repaints and sockets are heard. At or below the threshold nothing changes. Both are
// undone on every way out. Throughout, the view's row changes are batched, and shown whenever
// events are served.
class LongWork : public QObject {
public:
    static constexpr qint64 threshold = 5000;
    static constexpr qint64 serveEveryMs = 30;

    // steps is the bar's range; rows decides whether the work counts as long.
    LongWork(RegisterView& view, qint64 rows, qint64 steps);
    ~LongWork() override;
    LongWork(const LongWork&) = delete;
    LongWork& operator=(const LongWork&) = delete;

    bool Shown() const { return shown; }
    // A new range for the bar, once the work's size is known.
    void SetSteps(qint64 steps);
    // The work has come to position (0 to steps).
    void Step(qint64 position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RegisterView& view;
    QPointer<QWidget> window; // gone with the view
    QPointer<ProgressDialog> progress;
    QElapsedTimer sinceServed;
    bool shown = false;
};

// Frees a large vector a slice at a time, serving the window between slices: a million strings
// take longer to free than the window may go unserved.
template <typename T> void ReleaseInSteps(std::vector<T>& items, LongWork& work, qint64 position) {
    constexpr std::ptrdiff_t slice = 16384;
    while (std::ssize(items) > slice) {
        items.erase(items.end() - slice, items.end());
        work.Step(position);
    }
    items.clear();
    items.shrink_to_fit();
}
