#pragma once

#include "core/store/SqliteHive.h"
#include "core/text/LanguageTexts.h"

#include <memory>
#include <string>

// Opens the user's hive at start-up. While another program holds it past the busy timeout the
// operator may retry; a damaged hive, a file that is not a hive or one that cannot be opened
// gets a box naming the file. nullptr then: the program ends without writing anything.
std::unique_ptr<SqliteHive> OpenUserHive(const std::string& file, const LanguageTexts& texts,
                                         int busyTimeoutMs = 15000);
