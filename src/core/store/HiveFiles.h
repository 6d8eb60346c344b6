#pragma once

#include "core/store/Hive.h"

#include <string>

// Whether path names the hive's own file or one of the companions SQLite keeps beside it, told
// by the file system's identity of the files and never by opening them: the process must not
// open those files itself (closing such a descriptor drops the hive's locks), nor replace them.
bool IsHiveFile(Hive& hive, const std::string& path);
