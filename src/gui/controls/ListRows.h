#pragma once

#include "gui/controls/TextPool.h"

#include <QStringView>
#include <QtGlobal>

#include <string_view>
#include <vector>

// Rows to append to a list in one step, built cell by cell: `columns` cells per row and one
// item data per row. The texts go into a pool of their own that an empty list takes over
// whole, so a million rows are never held as separate strings on the way.
class ListRows {
public:
    explicit ListRows(int columnCount = 1) : columns(columnCount < 1 ? 1 : columnCount) {}

    int Columns() const { return columns; }
    int Count() const { return static_cast<int>(data.size()); }
    void Reserve(int rows);

    // The next cell of the row being built; cells past the last column are dropped.
    void Add(QStringView text);
    void AddUtf8(std::string_view text);
    // Ends the row with its item data; cells not given stay empty.
    void EndRow(qint64 itemData);

    QStringView Cell(int row, int column) const;

private:
    friend class ListModel;
    void Put(TextPool::Ref ref);

    int columns = 1;
    int filled = 0; // cells of the row being built
    TextPool texts;
    std::vector<TextPool::Ref> cells;
    std::vector<qint64> data;
};
