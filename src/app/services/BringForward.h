#pragma once

class QWidget;

// Brings the first copy forward on a later copy's request: restores a minimised main window
// and raises what the operator last worked in, an open modal box or pop-up when there is one,
// otherwise the main window itself.
void BringForward(QWidget* mainWindow);
