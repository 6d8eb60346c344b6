#include "core/platform/KeyboardProgram.h"

std::string ChooseKeyboardProgram(const std::string& windowsDir, bool newerOs,
                                  const std::function<bool(const std::string&)>& exists) {
    std::string preferred = windowsDir + (newerOs ? "osk64.exe" : "osk32.exe");
    if (exists(preferred))
        return preferred;
    std::string plain = windowsDir + "osk.exe";
    if (exists(plain))
        return plain;
    return "OSK.exe";
}

bool AwaitKeyboard(const std::function<bool()>& look, const std::function<bool()>& pause, int waits) {
    for (int paused = 0; !look();) {
        if (!pause() || ++paused >= waits)
            return false;
    }
    return true;
}
