#pragma once

// The process-wide pointers. Each is set and cleared in one place only:
// mainWindow by MainDialog, tagEntryTarget by MainDialog's initialisation and destruction,
// readerWindow by the main window's reader button and destruction, readerLink by
// OpenReaderLink and CloseReaderLink. The main window is a plain widget here: what the flows and
// the reader window use of it comes through the views it implements.
class ReaderDialog;
class ReaderLink;
class QLineEdit;
class QWidget;

extern QWidget* mainWindow;
extern ReaderDialog* readerWindow;
extern QLineEdit* tagEntryTarget;
extern ReaderLink* readerLink;
