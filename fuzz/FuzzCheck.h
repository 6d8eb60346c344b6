#pragma once

#include <cstdio>
#include <cstdlib>

// A broken property ends the run the way a crash does, so that the engine saves the input.
inline void Require(bool holds, const char* what) {
    if (holds)
        return;
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}
