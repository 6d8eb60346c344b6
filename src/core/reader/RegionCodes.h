#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

// Frequency regions: the index the parameters window stores with each name, and the byte
// pair the reader uses for it.
struct RegionCode {
    int index;
    const char* name;
    std::uint8_t first;
    std::uint8_t second;
};

// Taiwan: what a new reader window shows, and what is written when no region is chosen.
inline constexpr int defaultRegionIndex = 9;

// The regions offered to the operator, in the order of the list.
std::span<const RegionCode> RegionTable();

// The index of a pair read from the reader, -1 for a pair not in the table.
int RegionIndexFromPair(std::uint8_t first, std::uint8_t second);

// The pair to send for an index. Besides the table, 10 and 11 go as 0, 8 and 15 as 2 and 17
// as 3. Index 1 sends its table pair 0x4E 0x00, so a region read from a reader can be written
// back. Indices 5, 6 and unknown ones have no pair.
std::optional<std::array<std::uint8_t, 2>> RegionPairForIndex(int index);
