#pragma once

#include <string>

// A system-wide named mutex, held for the object's life: how the suite's programs on Windows
// tell that a copy already runs. It dies with its process, so a crashed copy never blocks the
// next one. Other platforms have no such object: there Acquire() succeeds and holds nothing, and
// the caller's own lock decides.
class NamedMutex {
public:
    enum class Result {
        Acquired,
        HeldElsewhere, // another process (or object) holds the name
        Failed,        // the name could not be used at all
    };

    explicit NamedMutex(std::string mutexName);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    [[nodiscard]] Result Acquire();

private:
    std::string name;
    [[maybe_unused]] void* handle = nullptr; // Windows only
};
