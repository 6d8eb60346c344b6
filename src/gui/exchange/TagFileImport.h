#pragma once

#include <QByteArray>

#include <functional>
#include <vector>

class QIODevice;
class RegisterView;

struct TagFileImportOutcome {
    int lines = 0;        // lines that passed the line rules
    int failed = 0;       // of those, records the store would not take (import only)
    bool readError = false;
    bool storeReadError = false;  // the register could not be read: the command stopped there
    std::vector<int> unreadLines; // numbers (from 1) of the lines that could not be decoded
};

// Reads source to its end: the bytes read; on a read error only the whole lines before it.
// step hears, after every piece read, how many line ends were read so far.
QByteArray ReadWholeLines(QIODevice& source, bool* readError, const std::function<void(qint64 lines)>& step = {});

// The import (checkOnly false) or the import check of an opened tag file, after its file
// dialog and confirmation: applies or checks the lines in file order, refreshes the count line
// and sets registerChanged. Records the store refuses are counted and reported in one box and
// their rows stay as they were; a read error is reported after the lines before it are applied.
// Lines that cannot be decoded are named in one box after the last line, in both commands.
// A read of the register that fails stops either command: nothing further is written (the
// batch under way is rolled back), one box says so, then the usual boxes follow.
TagFileImportOutcome ImportTagFile(RegisterView& view, QIODevice& source, bool checkOnly);
