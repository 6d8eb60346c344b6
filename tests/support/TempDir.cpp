#include "tests/support/TempDir.h"

#include <atomic>
#include <chrono>
#include <system_error>
#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

TempDir::TempDir() {
    static std::atomic<int> serial{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path = std::filesystem::temp_directory_path() /
           ("lumetra-test-" + std::to_string(::getpid()) + "-" + std::to_string(stamp) + "-" +
            std::to_string(serial++));
    std::filesystem::create_directories(path);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}
