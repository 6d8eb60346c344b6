#include "cli/RegisterAccess.h"

#include "cli/CliCommon.h"
#include "core/app/Paths.h"
#include "core/app/RegistryHives.h"
#include "core/register/TagStore.h"
#include "core/store/SqliteHive.h"

#include <filesystem>
#include <iostream>

std::unique_ptr<Hive> OpenCommandHive(const std::string& hiveOption, bool create) {
    // The same register as the window's, wherever the platform keeps it.
    if (hiveOption.empty()) {
        if (auto registry = OpenRegistryUserHive())
            return registry;
    }
    const std::string path = hiveOption.empty() ? UserHivePath() : hiveOption;
    std::error_code ec;
    if (!create && !std::filesystem::exists(path, ec)) {
        (void)Failure(exitUnavailable, "no hive at " + path);
        return nullptr;
    }
    auto hive = SqliteHive::Open(path);
    if (!hive)
        (void)Failure(exitUnavailable, "cannot open the hive " + path + " (damaged, in use or not a hive)");
    return hive;
}

std::optional<RowChoice> ChosenRows(const CommandArgs& args) {
    if (args.Has("--marked") && args.Has("--unmarked"))
        return std::nullopt;
    if (args.Has("--marked"))
        return RowChoice::Marked;
    return args.Has("--unmarked") ? RowChoice::Unmarked : RowChoice::All;
}

std::vector<TagRecord> ReadRegister(Hive& hive, RowChoice rows) {
    TagStore store(hive);
    std::vector<std::string> tags;
    HiveBatch snapshot(hive, false);
    store.EnumerateTags(tags);
    std::vector<TagRecord> records;
    records.reserve(tags.size());
    for (const std::string& tag : tags) {
        TagRecord record;
        record.tagId = tag;
        if (!store.ReadRecord(tag, &record))
            continue;
        if (rows == RowChoice::All || record.marked == (rows == RowChoice::Marked))
            records.push_back(std::move(record));
    }
    return records;
}
