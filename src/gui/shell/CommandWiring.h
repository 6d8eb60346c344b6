#pragma once

#include "gui/reader/ReaderDialog.h"

class MainDialog;

// Connects the main window's command buttons to the flows of the other subsystems, and the
// window's close check and teardown to the reader window.
void WireMainWindow(MainDialog& main);

// The reader window's part of that: button 1043 creates it once (owned by the main window, kept
// in readerWindow) and shows it again later; the close check asks whether it is connecting; the
// teardown destroys it and closes the link.
void AttachReaderWindow(MainDialog& main, ReaderWindowOptions options = {});
