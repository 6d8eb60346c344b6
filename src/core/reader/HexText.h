#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Tag ids travel as 1 to 16 bytes and are shown as capital hexadecimal text, two digits per
// byte, no separators.

// Accepts only 2n characters (1 <= n <= 16) of 0-9 and A-F; anything else does not convert.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> HexToBytes(std::string_view text);

std::string BytesToHex(const std::uint8_t* bytes, std::size_t count);
