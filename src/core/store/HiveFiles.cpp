#include "core/store/HiveFiles.h"

#include "core/store/SqliteHive.h"

#include <filesystem>
#include <system_error>

bool IsHiveFile(Hive& hive, const std::string& path) {
    auto* sqlite = dynamic_cast<SqliteHive*>(&hive);
    if (!sqlite)
        return false; // the platform's registry has no file of its own to guard
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        std::error_code ec;
        if (std::filesystem::equivalent(sqlite->FilePath() + suffix, path, ec))
            return true;
    }
    return false;
}
