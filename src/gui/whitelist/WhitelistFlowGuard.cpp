#include "gui/whitelist/WhitelistFlowGuard.h"

#include <utility>

namespace {
int runningFlows = 0;
std::function<void(bool)> flowListener;

void Notify(bool running) {
    // A copy, so a listener that replaces itself does not destroy the function it runs in.
    std::function<void(bool)> listener = flowListener;
    if (listener)
        listener(running);
}
} // namespace

WhitelistFlowGuard::WhitelistFlowGuard() {
    if (++runningFlows == 1)
        Notify(true);
}

WhitelistFlowGuard::~WhitelistFlowGuard() {
    if (--runningFlows == 0)
        Notify(false);
}

bool WhitelistFlowRunning() { return runningFlows > 0; }

void SetFlowStateListener(std::function<void(bool running)> listener) { flowListener = std::move(listener); }
