#include "gui/services/BringForward.h"
#include "link/Waits.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr int kHangGuardMs = 10000;

// Activation arrives as a window-system event without waking waits, so look between short pumps.
bool BecomesActive(QWidget* widget) {
    QDeadlineTimer deadline(kHangGuardMs);
    while (QApplication::activeWindow() != widget) {
        if (deadline.hasExpired())
            return false;
        PumpWait(10);
    }
    return true;
}

TEST(BringForward, RestoresAMinimisedMainWindowToItsFormerState) {
    QWidget main;
    main.show();
    main.setWindowState(Qt::WindowMaximized | Qt::WindowMinimized);
    ASSERT_TRUE(main.isMinimized());

    BringForward(&main);
    EXPECT_FALSE(main.isMinimized());
    EXPECT_TRUE(main.isMaximized());
}

TEST(BringForward, ActivatesTheMainWindowWhenNothingIsOpenOverIt) {
    QWidget main;
    QWidget other;
    main.show();
    other.show();
    other.activateWindow();
    ASSERT_TRUE(BecomesActive(&other));

    BringForward(&main);
    EXPECT_TRUE(BecomesActive(&main));
}

TEST(BringForward, ActivatesTheOpenModalBoxRatherThanTheMainWindow) {
    QWidget main;
    main.show();
    QDialog box(&main);
    box.setWindowModality(Qt::WindowModal); // leaves the other window free to take activation
    box.show();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(BecomesActive(&other));
    main.setWindowState(Qt::WindowMinimized);

    BringForward(&main);
    EXPECT_FALSE(main.isMinimized());
    EXPECT_TRUE(BecomesActive(&box));
}

// The reader window is a modeless window owned by the main window: when the operator used it
// last, a second copy brings it back rather than the main window behind it.
TEST(BringForward, RaisesTheOwnedWindowUsedLast) {
    QWidget main;
    LastActiveWindow lastActive([&main] { return &main; });
    main.show();
    QDialog reader(&main);
    reader.show();
    reader.activateWindow();
    ASSERT_TRUE(BecomesActive(&reader));
    QWidget other; // stands for another program's window
    other.show();
    other.activateWindow();
    ASSERT_TRUE(BecomesActive(&other));
    ASSERT_EQ(lastActive.Window(), &reader);

    BringForward(&main, lastActive.Window());
    EXPECT_TRUE(BecomesActive(&reader));
}

} // namespace
