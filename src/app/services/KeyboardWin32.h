#pragma once

#include "OnScreenKeyboard.h"

#include <functional>
#include <string>

class QWidget;

// The system's own keyboard program on Windows (see SystemKeyboard); does nothing elsewhere.
class KeyboardWin32 : public OnScreenKeyboard {
public:
    // windowsDir ends in a backslash; owner gives the window that owns any error the shell shows.
    KeyboardWin32(std::string windowsDir, bool newerOs, std::function<QWidget*()> owner);

    void Show() override;
    void Hide() override;

private:
    std::string windowsDir;
    bool newerOs;
    std::function<QWidget*()> owner;
};
