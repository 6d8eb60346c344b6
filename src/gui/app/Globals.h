#pragma once

// The process-wide pointers. Each is set and cleared in one place only:
// mainWindow by MainDialog, tagEntryTarget by MainDialog's initialisation and destruction,
// readerWindow by the main window's reader button and destruction, readerLink by
// OpenReaderLink and CloseReaderLink.
class MainDialog;
class ReaderDialog;
class ReaderLink;
class QLineEdit;

extern MainDialog* mainWindow;
extern ReaderDialog* readerWindow;
extern QLineEdit* tagEntryTarget;
extern ReaderLink* readerLink;
