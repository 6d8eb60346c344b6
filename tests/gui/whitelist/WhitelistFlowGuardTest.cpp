#include "gui/whitelist/WhitelistFlowGuard.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

TEST(WhitelistFlowGuardTest, NestedGuardsReportOnlyTheOutermostSpan) {
    std::vector<bool> heard;
    SetFlowStateListener([&heard](bool running) { heard.push_back(running); });
    EXPECT_FALSE(WhitelistFlowRunning());
    {
        WhitelistFlowGuard outer;
        EXPECT_TRUE(WhitelistFlowRunning());
        {
            WhitelistFlowGuard inner;
            EXPECT_TRUE(WhitelistFlowRunning());
        }
        EXPECT_TRUE(WhitelistFlowRunning());
    }
    EXPECT_FALSE(WhitelistFlowRunning());
    SetFlowStateListener({});
    EXPECT_EQ(heard, (std::vector<bool>{true, false}));
}

TEST(WhitelistFlowGuardTest, ListenerMayReplaceItselfAndRemovedListenerHearsNothing) {
    int calls = 0;
    SetFlowStateListener([&calls](bool) {
        ++calls;
        SetFlowStateListener({}); // a window going away while being told
    });
    { WhitelistFlowGuard first; }
    { WhitelistFlowGuard second; }
    EXPECT_EQ(calls, 1);
}

} // namespace
