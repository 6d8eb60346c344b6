#include "gui/app/Globals.h"

MainDialog* mainWindow = nullptr;
ReaderDialog* readerWindow = nullptr;
QLineEdit* tagEntryTarget = nullptr;
ReaderLink* readerLink = nullptr;
