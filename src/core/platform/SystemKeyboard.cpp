#include "core/platform/SystemKeyboard.h"

#include "core/platform/KeyboardProgram.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>
#else
#include <filesystem>
#endif

namespace SystemKeyboard {

#ifdef _WIN32

namespace {

// How often to look for the window of a freshly started keyboard (the caller pauses between).
constexpr int kStartWaits = 31;

std::wstring ToWide(const std::string& utf8) {
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

HWND FindKeyboardWindow() {
    return FindWindowW(L"OSKMainClass", nullptr);
}

} // namespace

bool PathExists(const std::string& path) {
    return GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Show(const std::string& windowsDir, bool newerOs, const std::function<void*()>& ownerWindow,
          const std::function<bool()>& pause) {
    HWND keyboard = FindKeyboardWindow();
    if (keyboard == nullptr) {
        std::wstring program = ToWide(ChooseKeyboardProgram(windowsDir, newerOs, PathExists));
        HWND owner = ownerWindow ? static_cast<HWND>(ownerWindow()) : nullptr;
        ShellExecuteW(owner, L"open", program.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        auto look = [&keyboard] { return (keyboard = FindKeyboardWindow()) != nullptr; };
        if (!AwaitKeyboard(look, pause, kStartWaits))
            return false;
    }
    if (IsIconic(keyboard))
        ShowWindow(keyboard, SW_RESTORE);
    if (!IsWindowVisible(keyboard))
        ShowWindow(keyboard, SW_SHOW);
    return true;
}

void Hide() {
    if (HWND keyboard = FindKeyboardWindow())
        ShowWindow(keyboard, SW_HIDE);
}

#else

bool PathExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

bool Show(const std::string&, bool, const std::function<void*()>&, const std::function<bool()>&) {
    return false;
}

void Hide() {}

#endif

} // namespace SystemKeyboard
