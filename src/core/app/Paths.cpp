#include "core/app/Paths.h"

#include <cstdlib>

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string EnsureTrailingSeparator(std::string dir) {
    if (dir.empty() || (dir.back() != '/' && dir.back() != '\\'))
        dir += '/';
    return dir;
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
    return EnsureTrailingSeparator(redirected.empty() ? std::string("/etc/") : redirected);
}

std::string ProgramDirOverride() { return Env("LUMETRA_PROGRAM_DIR"); }

std::string DataDriveOverride() { return Env("LUMETRA_DATA_DRIVE"); }
