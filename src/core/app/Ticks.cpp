#include "core/app/Ticks.h"

#include <chrono>

std::uint32_t TickCount() {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms);
}

std::uint32_t TicksSince(std::uint32_t start, std::uint32_t now) {
    if (now >= start)
        return now - start;
    return now - start - 1u;
}

std::uint32_t TicksSince(std::uint32_t start) { return TicksSince(start, TickCount()); }
