#ifdef _WIN32

#include "gui/services/KeyboardWin32.h"

#include "gui/services/KeyboardProgram.h"
#include "link/Waits.h"

#include <QWidget>

#include <windows.h>

#include <shellapi.h>

namespace {

constexpr int kStartWaits = 31;
constexpr int kStartWaitMs = 100;

HWND FindKeyboardWindow() {
    return FindWindowA("OSKMainClass", nullptr);
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

KeyboardWin32::KeyboardWin32(std::string windowsDir, bool newerOs, std::function<QWidget*()> owner)
    : windowsDir(std::move(windowsDir)), newerOs(newerOs), owner(std::move(owner)) {}

void KeyboardWin32::Show() {
    HWND keyboard = FindKeyboardWindow();
    if (keyboard == nullptr) {
        std::string program = ChooseKeyboardProgram(windowsDir, newerOs, PathExists);
        QWidget* ownerWidget = owner ? owner() : nullptr;
        HWND ownerWindow = ownerWidget != nullptr ? reinterpret_cast<HWND>(ownerWidget->winId()) : nullptr;
        ShellExecuteA(ownerWindow, "open", program.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        auto look = [&keyboard] { return (keyboard = FindKeyboardWindow()) != nullptr; };
        auto pause = [] {
            PumpWait(kStartWaitMs);
            return true;
        };
        if (!AwaitKeyboard(look, pause, kStartWaits))
            return;
    }
    if (IsIconic(keyboard))
        ShowWindow(keyboard, SW_RESTORE);
    if (!IsWindowVisible(keyboard))
        ShowWindow(keyboard, SW_SHOW);
}

void KeyboardWin32::Hide() {
    if (HWND keyboard = FindKeyboardWindow())
        ShowWindow(keyboard, SW_HIDE);
}

#endif
