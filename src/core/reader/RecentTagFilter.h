#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Keeps a tag that a reader reports continuously from being shown more than once a second.
// Eight recent ids are remembered; a slot with time stamp 0 is free.
class RecentTagFilter {
public:
    static constexpr int slotCount = 8;
    static constexpr std::uint32_t repeatWindowMs = 1000;
    static constexpr std::uint32_t expiryMs = 5000;

    // True when text is to be shown. nowMs is the arrival time on the wrapping 32-bit
    // millisecond counter. Ids of any length are compared and recorded whole.
    [[nodiscard]] bool Admit(std::string_view text, std::uint32_t nowMs);

    void Clear();

private:
    struct Slot {
        std::string text;
        std::uint32_t stamp = 0;
    };
    std::array<Slot, slotCount> recent;
};
