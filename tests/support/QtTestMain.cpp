#include "tests/support/PeerProcess.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (auto peerExit = RunPeerRoleIfAsked(argc, argv))
        return *peerExit;
    // Test discovery runs the program outside CTest's environment; never reach for a display.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
