#pragma once

#include <QString>

class QWidget;

// The program's field message: a balloon without title pointing at the centre of control,
// closed by the next left click or key press anywhere in the program, then focus to control.
void ShowBalloonAt(QWidget* control, const QString& text);
