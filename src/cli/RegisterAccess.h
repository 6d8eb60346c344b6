#pragma once

#include "core/register/TagRecord.h"
#include "core/store/Hive.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// Opens the hive a command works on: the file named by --hive when given, else the window's (the
// registry on Windows, unless redirected). A missing file is created only when create is set, so
// a mistyped path never leaves an empty hive behind. nullptr after a message naming the file.
std::unique_ptr<Hive> OpenCommandHive(const std::string& hiveOption, bool create);

enum class RowChoice { All, Marked, Unmarked };

// RowChoice from --marked / --unmarked; nullopt when both are given.
struct CommandArgs;
std::optional<RowChoice> ChosenRows(const CommandArgs& args);

// Every record of the register in the hive's order, limited to the chosen rows.
std::vector<TagRecord> ReadRegister(Hive& hive, RowChoice rows);
