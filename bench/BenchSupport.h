#pragma once

// Shared by the bench programs: the sizes to run, one line per figure, and the process's
// memory as the kernel counts it.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace bench {

// The sizes named on the command line, or the defaults.
inline std::vector<int> Sizes(int argc, char** argv, std::vector<int> defaults = {10000, 100000, 1000000}) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size > 0)
            sizes.push_back(size);
    }
    return sizes.empty() ? defaults : sizes;
}

// Several sizes run one process each, so that the memory figures of one size do not carry
// what an earlier one left behind. Returns true when this process ran them all as children.
inline bool RunSizesApart(const char* self, const std::vector<int>& sizes, int& status) {
    if (sizes.size() < 2)
        return false;
    status = 0;
    for (int size : sizes) {
        const std::string command = "\"" + std::string(self) + "\" " + std::to_string(size);
        std::fflush(stdout);
        if (std::system(command.c_str()) != 0)
            status = 1;
    }
    return true;
}

// A line of /proc/self/status in kB; -1 where there is none.
inline long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    return -1;
}

using Clock = std::chrono::steady_clock;

// Processor time of this process so far, user and system: on a shared machine a ratio of these
// says more than one of wall-clock times.
inline double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

inline double MsSince(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// One figure: milliseconds, or microseconds when a millisecond would round to zero.
inline void Time(int size, const char* what, double ms, const char* target) {
    if (ms >= 1.0)
        std::printf("%9d  %-56s %10.1f ms   %s\n", size, what, ms, target);
    else
        std::printf("%9d  %-56s %10.1f us   %s\n", size, what, ms * 1000.0, target);
}

inline void Value(int size, const char* what, double value, const char* unit, const char* target) {
    std::printf("%9d  %-56s %10.1f %-3s  %s\n", size, what, value, unit, target);
}

} // namespace bench
