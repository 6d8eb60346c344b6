#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Takes small choices (cut lengths, codes, clock steps) from the front of an input; once it
// runs dry every choice is 0, so each input stays deterministic.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const std::uint8_t> bytes) : rest(bytes) {}

    std::uint8_t Byte() {
        if (rest.empty())
            return 0;
        const std::uint8_t b = rest.front();
        rest = rest.subspan(1);
        return b;
    }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() << 8 | Byte()); }

    // Up to count bytes, fewer at the end.
    std::span<const std::uint8_t> Take(std::size_t count) {
        const std::size_t n = count < rest.size() ? count : rest.size();
        std::span<const std::uint8_t> taken = rest.first(n);
        rest = rest.subspan(n);
        return taken;
    }
    std::span<const std::uint8_t> Rest() const { return rest; }
    bool Empty() const { return rest.empty(); }

private:
    std::span<const std::uint8_t> rest;
};
