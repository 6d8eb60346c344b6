#pragma once

// Control ids of the Find window (dialog 112), carried as objectName "id<number>".
namespace SearchControl {
enum Id : int {
    Cancel = 2,
    SearchField = 1010,
    Find = 1040,
    FromTop = 1050,
    ColumnChooser = 1051,
    SearchLabel = 1100,
    ColumnLabel = 1102,
};
} // namespace SearchControl
