#include "gui/services/BringForward.h"

#include <QApplication>
#include <QWindow>

namespace {

// The main window itself, or a window whose chain of owners leads to it.
bool OwnedBy(QWidget* window, QWidget* mainWindow) {
    for (QWidget* w = window; w != nullptr; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        if (w == mainWindow)
            return true;
    return false;
}

} // namespace

LastActiveWindow::LastActiveWindow(std::function<QWidget*()> currentMain, QObject* parent)
    : QObject(parent), mainWindow(std::move(currentMain)) {
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &LastActiveWindow::Note);
}

void LastActiveWindow::Note(QWindow* window) {
    // Losing the activation to another program leaves the last one as it was.
    QWidget* main = mainWindow ? mainWindow() : nullptr;
    if (window == nullptr || main == nullptr)
        return;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->windowHandle() == window) {
            if (OwnedBy(widget, main))
                last = widget;
            return;
        }
}

void BringForward(QWidget* mainWindow, QWidget* lastActive) {
    if (mainWindow == nullptr)
        return;
    QWidget* front = QApplication::activeModalWidget();
    if (front == nullptr)
        front = QApplication::activePopupWidget();
    if (front == nullptr && lastActive != nullptr && lastActive->isVisible() && OwnedBy(lastActive, mainWindow))
        front = lastActive;
    if (front == nullptr)
        front = mainWindow;
    if (mainWindow->isMinimized())
        mainWindow->setWindowState(mainWindow->windowState() & ~Qt::WindowMinimized);
    front->raise();
    front->activateWindow();
}
