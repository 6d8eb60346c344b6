#pragma once

#include <cstdint>

// The system's wrapping 32-bit millisecond counter.
std::uint32_t TickCount();

// Milliseconds since start on that counter. When the counter is below start (it wrapped),
// the result is now - start - 1 modulo 2^32, as the suite's other programs count it.
std::uint32_t TicksSince(std::uint32_t start, std::uint32_t now);
std::uint32_t TicksSince(std::uint32_t start);
