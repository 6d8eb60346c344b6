#pragma once

#include "RowScope.h"

#include <QByteArray>
#include <QString>

class CListCtrlEx;
class MainDialog;

// The rows in scope as tag-file text, in the order the list shows them: Big5 when every
// character has a Big5 form, else the whole text in UTF-8 (which the import reads back as it
// was) rather than a file with characters lost.
QByteArray TagFileBytes(const CListCtrlEx& list, RowScope scope);

// Writes the rows in scope to path through a temporary file that replaces the target only when
// complete. A failure is reported in a box and leaves an existing file as it was; false then.
// On success the completion box is shown.
bool ExportTagFile(MainDialog& main, RowScope scope, const QString& path);
