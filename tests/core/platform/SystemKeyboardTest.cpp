// The keyboard's files and window through the system's API. The window tests stand in for the
// keyboard program with a window of its class.
#include "core/platform/SystemKeyboard.h"
#include "core/platform/KeyboardProgram.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The Windows folder comes as UTF-8 and may hold any character the system allows.
TEST(SystemKeyboardTest, FindsTheProgramInAFolderWithAnyName) {
    TempDir temp;
    const std::u8string folder = u8"視窗 \u00e9";
    std::filesystem::create_directories(temp.Path() / folder);
    std::ofstream(temp.Path() / folder / "osk.exe") << "MZ";
    std::u8string dir = (temp.Path() / folder).u8string();
    std::string windowsDir(dir.begin(), dir.end());
    windowsDir += static_cast<char>(std::filesystem::path::preferred_separator);
    EXPECT_EQ(ChooseKeyboardProgram(windowsDir, true, SystemKeyboard::PathExists), windowsDir + "osk.exe");
}

#ifdef _WIN32

enum class Start { Hidden, Minimised, Shown };

class KeyboardWindowTest : public ::testing::TestWithParam<Start> {
protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"OSKMainClass";
        ASSERT_NE(RegisterClassW(&windowClass), 0);
        window = CreateWindowExW(0, L"OSKMainClass", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (window)
            DestroyWindow(window);
        UnregisterClassW(L"OSKMainClass", GetModuleHandleW(nullptr));
    }
    void PutInStartState() {
        if (GetParam() == Start::Minimised)
            ShowWindow(window, SW_SHOWMINNOACTIVE);
        else if (GetParam() == Start::Shown)
            ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    bool Visible() const { return IsWindowVisible(window) && !IsIconic(window); }

    HWND window = nullptr;
    int ownerAsked = 0;
    int pauses = 0;
    std::function<void*()> owner = [this]() -> void* {
        ++ownerAsked;
        return nullptr;
    };
    std::function<bool()> pause = [this] {
        ++pauses;
        return false;
    };
};

TEST_P(KeyboardWindowTest, ShowMakesTheRunningKeyboardVisibleWithoutStartingAnother) {
    PutInStartState();
    EXPECT_TRUE(SystemKeyboard::Show("C:\\nowhere\\", true, owner, pause));
    EXPECT_TRUE(Visible());
    EXPECT_EQ(ownerAsked, 0);
    EXPECT_EQ(pauses, 0);
}

TEST_P(KeyboardWindowTest, HideLeavesTheKeyboardRunning) {
    PutInStartState();
    ASSERT_TRUE(SystemKeyboard::Show("C:\\nowhere\\", true, owner, pause));
    SystemKeyboard::Hide();
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindow(window));
}

std::string StartName(const ::testing::TestParamInfo<Start>& info) {
    switch (info.param) {
    case Start::Hidden:
        return "Hidden";
    case Start::Minimised:
        return "Minimised";
    case Start::Shown:
        break;
    }
    return "Shown";
}

INSTANTIATE_TEST_SUITE_P(, KeyboardWindowTest, ::testing::Values(Start::Hidden, Start::Minimised, Start::Shown),
                         StartName);

#endif

} // namespace
