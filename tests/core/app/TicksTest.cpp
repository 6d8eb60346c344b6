#include "core/app/Ticks.h"

#include <gtest/gtest.h>

TEST(TicksSince, CountsForwardAndAcrossTheWrapOfTheCounter) {
    EXPECT_EQ(TicksSince(1000u, 4000u), 3000u);
    EXPECT_EQ(TicksSince(5u, 5u), 0u);
    // Below the start the counter wrapped: now - start - 1 modulo 2^32.
    EXPECT_EQ(TicksSince(0xFFFFFF00u, 0x10u), 0x10u + 0x100u - 1u);
    EXPECT_EQ(TicksSince(0xFFFFFFFFu, 0u), 0u);
}
