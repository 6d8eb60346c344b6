#pragma once

class MainDialog;

// Connects the main window's command buttons to the flows of the other subsystems, and the
// window's close check and teardown to the reader window.
void WireMainWindow(MainDialog& main);
