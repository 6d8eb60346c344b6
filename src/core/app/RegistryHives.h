#pragma once

#include "core/store/Hive.h"

#include <memory>

// On Windows the program keeps its register in the real registry, as the suite's other programs
// do, unless LUMETRA_USER_HIVE (or LUMETRA_MACHINE_HIVE) names a hive file instead. These give
// the registry's hive where it is the one to use, and nullptr where the file is (always so off
// Windows): the caller then opens the file at UserHivePath() or MachineHivePath().
std::unique_ptr<Hive> OpenRegistryUserHive();
// The local machine's hive is only ever read.
std::unique_ptr<Hive> OpenRegistryMachineHive();
