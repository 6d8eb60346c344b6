#include "core/app/Paths.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::string EnsureTrailingSeparator(std::string dir) {
    if (dir.empty() || (dir.back() != '/' && dir.back() != '\\'))
        dir += kSeparator;
    return dir;
}

// Where the suite's other programs keep "Orbisk.ini": the system folder on Windows, /etc/
// elsewhere.
std::string SystemFolder() {
#ifdef _WIN32
    wchar_t wide[MAX_PATH + 1];
    UINT length = GetWindowsDirectoryW(wide, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return "C:\\Windows\\";
    // UTF-8 like every other path inside the program, whatever the system's code page.
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string folder(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), folder.data(), bytes, nullptr, nullptr);
    return folder;
#else
    return "/etc/";
#endif
}

} // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    if (folder.back() == '/' || folder.back() == '\\')
        return folder + name;
    return folder + "/" + name;
}

std::string UserHivePath() {
    std::string redirected = Env("LUMETRA_USER_HIVE");
    if (!redirected.empty())
        return redirected;
    std::string config = Env("XDG_CONFIG_HOME");
    if (config.empty())
        config = JoinPath(Env("HOME"), ".config");
    return JoinPath(JoinPath(config, "Vessory"), "user.hive");
}

std::string MachineHivePath() {
    std::string redirected = Env("LUMETRA_MACHINE_HIVE");
    return redirected.empty() ? std::string("/etc/Vessory/machine.hive") : redirected;
}

std::string WindowsDir() {
    std::string redirected = Env("LUMETRA_WINDOWS_DIR");
    return EnsureTrailingSeparator(redirected.empty() ? SystemFolder() : redirected);
}

std::string ProgramDirOverride() { return Env("LUMETRA_PROGRAM_DIR"); }

std::string DataDriveOverride() { return Env("LUMETRA_DATA_DRIVE"); }
