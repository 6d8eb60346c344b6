#pragma once

#include <QByteArray>

class MainDialog;
class QIODevice;

struct TagFileImportOutcome {
    int lines = 0;        // lines that passed the line rules
    int failed = 0;       // of those, records the store would not take (import only)
    bool readError = false;
};

// Reads source to its end: the bytes read; on a read error only the whole lines before it.
QByteArray ReadWholeLines(QIODevice& source, bool* readError);

// The import (checkOnly false) or the import check of an opened tag file, after its file
// dialog and confirmation: applies or checks the lines in file order, refreshes the count line
// and sets registerChanged. Records the store refuses are counted and reported in one box and
// their rows stay as they were; a read error is reported after the lines before it are applied.
TagFileImportOutcome ImportTagFile(MainDialog& main, QIODevice& source, bool checkOnly);
