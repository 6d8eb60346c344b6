#pragma once

#include "core/store/Hive.h"

struct EmbeddedMode {
    bool embedded = false;
    int embMode = 0;
};

// Reads "Software\Korvash" of the local-machine hive: "Embedded" = 1 means embedded, and then
// "EmbMode" (1 when missing) is the mode. No hive or no key means not embedded.
EmbeddedMode ReadEmbeddedMode(Hive* machineHive);
