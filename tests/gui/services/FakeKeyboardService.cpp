#include "tests/gui/services/FakeKeyboardService.h"

#include "link/Waits.h"

void FakeKeyboardService::Show() {
    visible = true;
    ++showCalls;
    WakeWaits();
}

void FakeKeyboardService::Hide() {
    visible = false;
    ++hideCalls;
    WakeWaits();
}

void FakeKeyboardService::ToggleVisible() {
    visible = !visible;
    WakeWaits();
}
