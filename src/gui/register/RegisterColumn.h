#pragma once

// The main list's columns, in the order the window shows them.
namespace RegisterColumn {
enum Index : int { tag = 0, plate = 1, type = 2, mark = 3, useOk = 4, count = 5 };
} // namespace RegisterColumn
