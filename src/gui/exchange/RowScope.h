#pragma once

#include <QString>

// Which rows of the main list a command visits. A row is marked when its mark cell reads
// exactly "*".
enum class RowScope { All, Marked, Unmarked };

inline bool RowInScope(RowScope scope, const QString& markCell) {
    const bool marked = markCell == QStringLiteral("*");
    return scope == RowScope::All || (scope == RowScope::Marked) == marked;
}

// The main list's columns these commands read.
namespace RegisterColumn {
constexpr int tag = 0;
constexpr int plate = 1;
constexpr int mark = 3;
} // namespace RegisterColumn

// How many rows of the main list are in scope.
template <typename List> int RowsInScope(const List& list, RowScope scope) {
    if (scope == RowScope::All)
        return list.RowCount();
    int count = 0;
    for (int row = 0; row < list.RowCount(); ++row)
        count += RowInScope(scope, list.CellText(row, RegisterColumn::mark)) ? 1 : 0;
    return count;
}
