#include "core/reader/RegionCodes.h"

namespace {
constexpr std::array<RegionCode, 11> regions{{
    {0, "US,Canada,Mexico", 0x31, 0x80},
    {1, "Europe,India,New Zealand", 0x4E, 0x00},
    {2, "China,Hongkong,Thailand", 0x2C, 0xA3},
    {3, "Korea,Japan", 0x29, 0x9D},
    {4, "Australia", 0x2E, 0x9F},
    {7, "Singapore", 0x2C, 0x81},
    {9, "Taiwan", 0x31, 0xA7},
    {12, "Brazil", 0x31, 0x99},
    {13, "Israel", 0x1C, 0x99},
    {14, "South Africa", 0x24, 0x9D},
    {16, "Malaysia", 0x28, 0xA1},
}};
} // namespace

std::span<const RegionCode> RegionTable() {
    return regions;
}

int RegionIndexFromPair(std::uint8_t first, std::uint8_t second) {
    for (const RegionCode& region : regions)
        if (region.first == first && region.second == second)
            return region.index;
    return -1;
}

std::optional<std::array<std::uint8_t, 2>> RegionPairForIndex(int index) {
    switch (index) {
    case 10:
    case 11:
        index = 0;
        break;
    case 8:
    case 15:
        index = 2;
        break;
    case 17:
        index = 3;
        break;
    default:
        break;
    }
    for (const RegionCode& region : regions)
        if (region.index == index)
            return std::array<std::uint8_t, 2>{region.first, region.second};
    return std::nullopt;
}
