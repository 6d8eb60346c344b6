#include "tests/support/PeerProcess.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (auto peerExit = RunPeerRoleIfAsked(argc, argv))
        return *peerExit;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
