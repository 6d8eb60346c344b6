// Stands in for the fuzzing engine where there is none (GCC, MSVC): runs the target once over
// every file named, or every file in a folder named, so that the seeds and the saved
// regressions are checked by an ordinary build and test run.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool RunFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Named first, so that the input of a crash or a broken property is known.
    std::fprintf(stderr, "%s\n", path.string().c_str());
    // A copy of exactly the input's size, so that a read past its end is one past an allocation.
    std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(input.data(), input.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int run = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-')
            continue; // the engine's options
        const std::filesystem::path arg(argv[i]);
        std::error_code error;
        if (!std::filesystem::is_directory(arg, error)) {
            ok = RunFile(arg) && ok;
            ++run;
            continue;
        }
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(arg, error))
            if (entry.is_regular_file())
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            ok = RunFile(file) && ok;
            ++run;
        }
    }
    std::printf("%d inputs replayed\n", run);
    return ok ? 0 : 1;
}
