#include "core/list/ListCore.h"

#include <cstdlib>

int ListCore::SortedIndex() const {
    return sortColumn == 0 ? -1 : std::abs(sortColumn) - 1;
}

void ListCore::EnableSortMark(bool on, int column) {
    sortMarkOn = on;
    if (column != 0)
        sortColumn = column;
}

bool ListCore::EnableSortTint(bool on, int column, int bitsPerPixel, Rgb background) {
    // A palette display cannot show the tint apart from the background.
    if (on && bitsPerPixel <= 8)
        return false;
    tintOn = on;
    tintColour = TintFor(background);
    if (column != 0)
        sortColumn = column;
    return true;
}

int ListCore::HeaderClick(int column) {
    if (sortColumn != 0 && std::abs(sortColumn) - 1 == column)
        sortColumn = -sortColumn;
    else
        sortColumn = column + 1;
    return sortColumn;
}

ListCore::Mark ListCore::MarkFor(int column) const {
    if (!sortMarkOn || sortColumn == 0 || column != SortedIndex())
        return Mark::None;
    return sortColumn > 0 ? Mark::Up : Mark::Down;
}

ListCore::Rgb ListCore::TintFor(Rgb background) {
    if (background.red > 240 && background.green > 240 && background.blue > 240)
        return {background.red - 8, background.green - 8, background.blue - 8};
    auto lighter = [](int channel) { return channel > 231 ? 255 : channel + channel / 10; };
    return {lighter(background.red), lighter(background.green), lighter(background.blue)};
}
