#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class QWindow;

// Remembers which window of the main window's family (the main window and the windows it
// owns, such as the reader window or an open box) the operator used last, so that a later
// copy's request can bring exactly that one back.
class LastActiveWindow : public QObject {
    Q_OBJECT
public:
    // currentMain gives the current main window (none yet while start-up runs).
    explicit LastActiveWindow(std::function<QWidget*()> currentMain, QObject* parent = nullptr);

    QWidget* Window() const { return last; }

private:
    void Note(QWindow* window);

    std::function<QWidget*()> mainWindow;
    QPointer<QWidget> last;
};

// Brings the first copy forward on a later copy's request: restores a minimised main window
// and raises what the operator last worked in: an open modal box or pop-up when there is one,
// else lastActive when it is the main window's or one of its owned windows and still shown,
// else the main window itself.
void BringForward(QWidget* mainWindow, QWidget* lastActive = nullptr);
