#pragma once

#include "gui/exchange/RowScope.h"

class RegisterView;

// Button 1045 of the main window: delete the selected record, the marked or the unmarked ones.
void RunDeleteMenu(RegisterView& view);

namespace DeleteCommand {
constexpr int selected = 2001;
constexpr int marked = 2002;
constexpr int unmarked = 2003;
} // namespace DeleteCommand

struct DeleteOutcome {
    int deleted = 0;
    int failed = 0; // records the store kept; their rows stay
};

// After the confirmation: deletes the records of the rows in scope from the store and their
// rows from the list in one pass, refreshes the count line and sets registerChanged. A record
// the store could not delete keeps its row; the number of such records is reported in one box.
// After a failed read of the register nothing further is deleted, and a box says so first.
DeleteOutcome DeleteRowsInScope(RegisterView& view, RowScope scope);
