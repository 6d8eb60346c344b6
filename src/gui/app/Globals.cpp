#include "gui/app/Globals.h"

QWidget* mainWindow = nullptr;
ReaderDialog* readerWindow = nullptr;
QLineEdit* tagEntryTarget = nullptr;
ReaderLink* readerLink = nullptr;
