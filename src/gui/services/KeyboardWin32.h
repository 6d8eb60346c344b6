#pragma once

#include "gui/services/OnScreenKeyboard.h"

#include <functional>
#include <string>

class QWidget;

// The system's own keyboard program on Windows (see SystemKeyboard); does nothing elsewhere.
class KeyboardWin32 : public OnScreenKeyboard {
public:
    // systemDir ends in a backslash; ownerOf gives the window that owns any error the shell shows.
    KeyboardWin32(std::string systemDir, bool newer, std::function<QWidget*()> ownerOf);

    void Show() override;
    void Hide() override;

private:
    std::string windowsDir;
    bool newerOs;
    std::function<QWidget*()> owner;
};
