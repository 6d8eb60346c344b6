#pragma once

#include <functional>

// Waits that keep the user-interface thread serving events, so socket notifications,
// timers and clicks are handled while a caller waits. Handlers may re-enter.

// Serves events for about ms milliseconds.
void PumpWait(int ms);

// Serves events until done() is true (checked after every served batch and on every
// event that posts a wake-up) or ms milliseconds have passed. Returns done().
bool WaitUntil(const std::function<bool()>& done, int ms);

// Ends a running WaitUntil early so it checks its condition at once; event handlers
// that change a waited-for state call it.
void WakeWaits();
