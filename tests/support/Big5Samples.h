#pragma once

#include "core/text/CodePage.h"

#include <string>
#include <utility>
#include <vector>

// Every two-byte character of the code page whose bytes also form valid UTF-8, as its Big5
// bytes and its text, taken from the converter: the files an encoding guess gets wrong.
inline std::vector<std::pair<std::string, std::string>> Big5PairsThatFormUtf8() {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            std::string bytes{char(lead), char(trail)};
            if (std::optional<std::string> text = Big5ToUtf8(bytes); text && IsValidUtf8(bytes))
                pairs.emplace_back(std::move(bytes), std::move(*text));
        }
    }
    return pairs;
}
