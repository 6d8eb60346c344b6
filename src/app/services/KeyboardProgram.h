#pragma once

#include <functional>
#include <string>

// The keyboard program to start: windowsDir + "osk64.exe" on newer systems or "osk32.exe"
// on older ones, else windowsDir + "osk.exe", else the bare "OSK.exe" for the platform's
// program search. windowsDir ends in a backslash. exists answers for files and folders alike.
std::string ChooseKeyboardProgram(const std::string& windowsDir, bool newerOs,
                                  const std::function<bool(const std::string&)>& exists);
