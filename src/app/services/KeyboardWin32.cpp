#include "KeyboardWin32.h"

#include "SystemKeyboard.h"
#include "Waits.h"

#include <QWidget>

namespace {

// Events are served while a freshly started keyboard is awaited.
constexpr int kStartWaitMs = 100;

} // namespace

KeyboardWin32::KeyboardWin32(std::string windowsDir, bool newerOs, std::function<QWidget*()> owner)
    : windowsDir(std::move(windowsDir)), newerOs(newerOs), owner(std::move(owner)) {}

void KeyboardWin32::Show() {
    auto ownerWindow = [this]() -> void* {
        QWidget* widget = owner ? owner() : nullptr;
        return widget ? reinterpret_cast<void*>(widget->winId()) : nullptr;
    };
    auto pause = [] {
        PumpWait(kStartWaitMs);
        return true;
    };
    (void)SystemKeyboard::Show(windowsDir, newerOs, ownerWindow, pause);
}

void KeyboardWin32::Hide() { SystemKeyboard::Hide(); }
