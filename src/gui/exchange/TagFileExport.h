#pragma once

#include "core/tagfile/TagFileText.h"
#include "gui/exchange/RowScope.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class RegisterView;

// The rows in scope as tag-file lines, in the order the list shows them.
// step hears how many rows are done, for a progress bar.
TagFileText TagFileTextOf(const RegisterView& view, RowScope scope, const std::function<void(qint64)>& step = {});
// The file of the rows in scope that have a Big5 form, as the export writes it unasked.
QByteArray TagFileBytes(const RegisterView& view, RowScope scope);

// Writes the rows in scope to path through a temporary file that replaces the target only when
// complete. A failure is reported in a box and leaves an existing file as it was; false then.
// When some rows have no Big5 form, a question chooses between the whole file in UTF-8 with a
// byte-order mark and Big5 without those rows, which are then named. On success the
// completion box is shown.
bool ExportTagFile(RegisterView& view, RowScope scope, const QString& path);
