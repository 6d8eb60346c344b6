#pragma once

class QWidget;

// Enter on a focused push button presses that button, as in a dialog, also where the buttons
// are not auto-default. True when a push button held the focus (pressed when enabled); false
// leaves Enter to the window's own meaning.
bool PressFocusedButton(QWidget* window);
