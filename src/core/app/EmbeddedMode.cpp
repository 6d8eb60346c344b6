#include "core/app/EmbeddedMode.h"

EmbeddedMode ReadEmbeddedMode(Hive* machineHive) {
    EmbeddedMode mode;
    const char* key = "Software\\Korvash";
    if (!machineHive || !machineHive->KeyExists(key))
        return mode;
    std::uint32_t embedded = 0;
    if (auto v = machineHive->GetValue(key, "Embedded"))
        embedded = AsDword(*v).value_or(0);
    mode.embedded = embedded == 1;
    if (mode.embedded) {
        std::uint32_t embMode = 1;
        if (auto v = machineHive->GetValue(key, "EmbMode"))
            embMode = AsDword(*v).value_or(1);
        mode.embMode = static_cast<int>(embMode);
    }
    return mode;
}
