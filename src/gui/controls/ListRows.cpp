#include "gui/controls/ListRows.h"

void ListRows::Reserve(int rows) {
    if (rows <= 0)
        return;
    cells.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    data.reserve(static_cast<std::size_t>(rows));
}

void ListRows::Put(TextPool::Ref ref) {
    if (filled >= columns) {
        texts.Release(ref);
        return;
    }
    cells.push_back(ref);
    ++filled;
}

void ListRows::Add(QStringView text) {
    Put(texts.Add(text));
}

void ListRows::AddUtf8(std::string_view text) {
    Put(texts.AddUtf8(text));
}

void ListRows::EndRow(qint64 itemData) {
    cells.resize(cells.size() + static_cast<std::size_t>(columns - filled), TextPool::emptyText);
    filled = 0;
    data.push_back(itemData);
}

QStringView ListRows::Cell(int row, int column) const {
    if (row < 0 || row >= Count() || column < 0 || column >= columns)
        return {};
    return texts.View(cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) + column]);
}
