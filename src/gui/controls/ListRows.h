#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

// Rows to append to a list in one step: `columns` cells per row, row after row, and one item
// data per row. Rows with fewer texts leave the rest empty.
struct ListRows {
    int columns = 1;
    std::vector<QString> cells;
    std::vector<qint64> data;
};
