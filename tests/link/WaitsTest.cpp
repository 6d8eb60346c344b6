#include "link/Waits.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

// Conditions changed by an event handler end the wait at once, without anyone waking it.
TEST(WaitUntil, EndsWhenAnEventMakesTheConditionTrue) {
    bool done = false;
    QTimer::singleShot(20, [&] { done = true; });
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(WaitUntil([&] { return done; }, 10000));
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST(WaitUntil, GivesUpAtItsDeadlineAndServesEventsMeanwhile) {
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    EXPECT_FALSE(WaitUntil([] { return false; }, 60));
    EXPECT_GT(ticks, 0);
}

TEST(WaitUntil, NestedWaitsBothReturn) {
    bool inner = false, outer = false;
    QTimer::singleShot(10, [&] {
        inner = WaitUntil([&] { return outer; }, 5000);
    });
    QTimer::singleShot(30, [&] { outer = true; });
    EXPECT_TRUE(WaitUntil([&] { return outer; }, 5000));
    PumpWait(10);
    EXPECT_TRUE(inner);
}
