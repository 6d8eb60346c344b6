#include "core/app/RegistryHives.h"

#ifdef _WIN32

#include "core/store/WinRegistryHive.h"

#include <cstdlib>

namespace {

bool Redirected(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

} // namespace

std::unique_ptr<Hive> OpenRegistryUserHive() {
    if (Redirected("LUMETRA_USER_HIVE"))
        return nullptr;
    return std::make_unique<WinRegistryHive>(HKEY_CURRENT_USER);
}

std::unique_ptr<Hive> OpenRegistryMachineHive() {
    if (Redirected("LUMETRA_MACHINE_HIVE"))
        return nullptr;
    return std::make_unique<WinRegistryHive>(HKEY_LOCAL_MACHINE, true);
}

#else

std::unique_ptr<Hive> OpenRegistryUserHive() {
    return nullptr;
}

std::unique_ptr<Hive> OpenRegistryMachineHive() {
    return nullptr;
}

#endif
