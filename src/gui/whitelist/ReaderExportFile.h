#pragma once

#include "core/store/WholeFileWriter.h"

#include <QString>

#include <string>

// The reader-export file: one line "<id>,,1" with CR LF per whitelist entry. Written into a
// temporary file beside the target, which replaces the target only when every line made it
// to disk; after any failure the old file is left as it was.
class ReaderExportFile {
public:
    explicit ReaderExportFile(const QString& path);
    ~ReaderExportFile(); // without Commit the temporary file is removed

    ReaderExportFile(const ReaderExportFile&) = delete;
    ReaderExportFile& operator=(const ReaderExportFile&) = delete;

    [[nodiscard]] bool Open();
    // False once any write has failed; later lines are not attempted.
    [[nodiscard]] bool WriteId(const std::string& id);
    // Flushes and puts the file in place. False when anything failed on the way.
    [[nodiscard]] bool Commit();
    bool Failed() const { return file.Failed(); }

private:
    WholeFileWriter file;
};
