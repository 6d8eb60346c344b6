#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The id texts of a tag report (code 0x45: count at byte 14, entries from 15; code 0x01:
// count at 8, entries from 9). Each entry: length L, two bytes, the id (L - 3 bytes), one
// byte. Parsing stops at the first entry that runs past the frame; an entry with L <= 3
// gives an empty text. Other codes give nothing.
std::vector<std::string> ParseTagReport(std::span<const std::uint8_t> frame);
