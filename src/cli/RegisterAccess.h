#pragma once

#include "core/register/TagRecord.h"
#include "core/store/SqliteHive.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The hive a command works on: --hive when given, else the window's.
std::string ChosenHivePath(const std::string& hiveOption);

// Opens the hive; a missing file is created only when create is set, so a mistyped path never
// leaves an empty hive behind. nullptr after a message naming the file.
std::unique_ptr<SqliteHive> OpenHiveFor(const std::string& path, bool create);

enum class RowChoice { All, Marked, Unmarked };

// RowChoice from --marked / --unmarked; nullopt when both are given.
struct CommandArgs;
std::optional<RowChoice> ChosenRows(const CommandArgs& args);

// Every record of the register in the hive's order, limited to the chosen rows.
std::vector<TagRecord> ReadRegister(Hive& hive, RowChoice rows);
