#pragma once

#include <functional>
#include <string>

// The system's own keyboard program on Windows, found by its window class "OSKMainClass". Paths
// are UTF-8 and reach the system through its wide API. Elsewhere there is no such program: Show
// and Hide do nothing there.
namespace SystemKeyboard {

// Whether a file or folder is there.
bool PathExists(const std::string& path);

// Starts the keyboard program chosen from windowsDir (see ChooseKeyboardProgram) unless its
// window is there, waits for the window, pausing between looks, then restores it when minimised
// and shows it when hidden. ownerWindow gives the window handle (may be null) that owns any error
// box the system shows; it is asked only when the program is started. False when no window could be found.
bool Show(const std::string& windowsDir, bool newerOs, const std::function<void*()>& ownerWindow,
          const std::function<bool()>& pause);

// Hides the keyboard's window, leaving the program running.
void Hide();

} // namespace SystemKeyboard
