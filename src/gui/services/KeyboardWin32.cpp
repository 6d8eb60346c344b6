#include "gui/services/KeyboardWin32.h"

#include "core/platform/SystemKeyboard.h"
#include "link/Waits.h"

#include <QWidget>

namespace {

// Events are served while a freshly started keyboard is awaited.
constexpr int kStartWaitMs = 100;

} // namespace

KeyboardWin32::KeyboardWin32(std::string systemDir, bool newer, std::function<QWidget*()> ownerOf)
    : windowsDir(std::move(systemDir)), newerOs(newer), owner(std::move(ownerOf)) {}

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

void KeyboardWin32::Hide() {
    SystemKeyboard::Hide();
}
