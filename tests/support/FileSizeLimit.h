#pragma once

#include <sys/resource.h>

// For its lifetime, no file of this process grows past a number of bytes: a write across the
// limit is cut short, the next one fails, as on a full disk. The signal that would end the
// process is ignored meanwhile. Needs no privileges.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old{};
    void (*oldHandler)(int) = nullptr;
};
