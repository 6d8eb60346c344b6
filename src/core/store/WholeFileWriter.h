#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Writes a file whole or not at all: the bytes go into a temporary file beside the target, every
// write is checked, the file is forced to disk and its size compared with what was written; only
// then does it take the target's place. A full disk or a file-size limit can let a buffered
// write or the last flush fail without anyone noticing; here any such failure leaves the old
// file byte for byte as it was.
class WholeFileWriter {
public:
    // target in the platform's narrow file-name encoding.
    explicit WholeFileWriter(std::string target);
    ~WholeFileWriter(); // without a successful Commit the temporary file is removed

    WholeFileWriter(const WholeFileWriter&) = delete;
    WholeFileWriter& operator=(const WholeFileWriter&) = delete;

    // False when the target is not a plain file or no temporary file can be made beside it.
    [[nodiscard]] bool Open();
    // False once any write has failed; later writes are not attempted.
    [[nodiscard]] bool Write(std::string_view bytes);
    // Puts the file in place; false (old file untouched) when anything failed on the way.
    [[nodiscard]] bool Commit();
    bool Failed() const { return failed; }

private:
    void Discard();

    std::string path;
    std::string temporary;
    int fd = -1;
    unsigned long long written = 0;
    bool failed = false;
};

// The whole of bytes as the file at path, through a WholeFileWriter.
[[nodiscard]] bool WriteWholeFile(const std::string& path, std::string_view bytes);
