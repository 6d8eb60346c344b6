#pragma once

#include "core/register/VehicleType.h"

// The main list's columns, in the order the window shows them.
namespace RegisterColumn {
enum Index : int { tag = 0, plate = 1, type = 2, mark = 3, useOk = 4, count = 5 };
} // namespace RegisterColumn

// The vehicle of a main-list row: its item data keeps the stored number.
template <typename List> VehicleType RowVehicle(const List& list, int row) {
    return ShownVehicle(VehicleOfNumber(list.ItemData(row)));
}
