#pragma once

#include <functional>

// Marks a whitelist flow as running for the guard's lifetime. While one runs, the reader
// window keeps its Disconnect and parameter buttons disabled, so no second command starts
// through the link's one reply slot and the link cannot be closed under the loop.
//
// The reader window subscribes once:
//
//   SetFlowStateListener([this](bool running) { /* disable or restore the buttons */ });
//   ...
//   SetFlowStateListener({});   // when the window goes away
//
// and may ask WhitelistFlowRunning() at any time (for example before enabling a button after
// a parameter read). Guards nest; the listener hears only the outermost start and end.
class WhitelistFlowGuard {
public:
    WhitelistFlowGuard();
    ~WhitelistFlowGuard();
    WhitelistFlowGuard(const WhitelistFlowGuard&) = delete;
    WhitelistFlowGuard& operator=(const WhitelistFlowGuard&) = delete;
};

// True while any WhitelistFlowGuard exists.
bool WhitelistFlowRunning();

// The one listener, called with true when a flow starts and false when it ends. Replaces any
// earlier listener; an empty function removes it. Called on the user-interface thread.
void SetFlowStateListener(std::function<void(bool running)> listener);
