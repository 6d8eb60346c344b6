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
