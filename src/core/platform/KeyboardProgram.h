#pragma once

#include <functional>
#include <string>

// The keyboard program to start: windowsDir + "osk64.exe" on newer systems or "osk32.exe"
// on older ones, else windowsDir + "osk.exe", else the bare "OSK.exe" for the platform's
// program search. windowsDir ends in a backslash. exists answers for files and folders alike.
std::string ChooseKeyboardProgram(const std::string& windowsDir, bool newerOs,
                                  const std::function<bool(const std::string&)>& exists);

// After the keyboard program was started: looks for its window and, while it is not there,
// pauses and looks again; gives up after the pause numbered waits, so it looks waits times in
// all. pause returns false to give up at once. True when the window was found.
bool AwaitKeyboard(const std::function<bool()>& look, const std::function<bool()>& pause, int waits);
