#pragma once

#include <QString>

#include <functional>

// Where the reader link of the program delivers admitted tag ids: the main window's tag field
// (tagEntryTarget) while it exists.
std::function<void(const QString&)> TagEntrySink();
