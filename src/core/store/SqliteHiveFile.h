#pragma once

#include <string>

// What keeps a hive file from being opened for use.
enum class HiveProblem {
    None,
    CannotOpen, // no such folder, no access, an I/O error
    Busy,       // another program held its lock past the busy timeout
    Damaged,    // the integrity check failed
    NotAHive,   // not empty, but not a hive (another program's file or database)
};

// The problem an SQLite result code stands for.
HiveProblem ProblemOfResult(int rc);

// The tables of a hive; every statement can run again on a complete hive without effect.
extern const char* const kHiveSchema;

// Builds a complete empty hive (tables, WAL mode) under a temporary name beside file and moves
// it to file, so no other program ever sees a hive half-made. A file that appeared meanwhile is
// kept (replaceExisting replaces only an empty file the caller found). True when file now
// holds a hive, whoever made it.
bool CreateWholeHive(const std::string& file, bool replaceExisting);

// What a read-only look at an existing file found, before anything in it may change.
struct HiveFileState {
    HiveProblem problem = HiveProblem::None;
    bool needsWal = false;    // the file is a hive, not yet in WAL mode
    bool needsSchema = false; // a hive that lacks part of its tables, index or root key
};

// Decides read-only whether file is a whole hive: its tables, then the integrity check.
HiveFileState InspectHiveFile(const std::string& file, int busyTimeoutMs);
