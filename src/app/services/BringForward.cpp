#include "BringForward.h"

#include <QApplication>
#include <QWidget>

void BringForward(QWidget* mainWindow) {
    if (mainWindow == nullptr)
        return;
    QWidget* front = QApplication::activeModalWidget();
    if (front == nullptr)
        front = QApplication::activePopupWidget();
    if (front == nullptr)
        front = mainWindow;
    if (mainWindow->isMinimized())
        mainWindow->setWindowState(mainWindow->windowState() & ~Qt::WindowMinimized);
    front->raise();
    front->activateWindow();
}
