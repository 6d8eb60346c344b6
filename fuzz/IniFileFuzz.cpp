// Language files and the plate-recognition ini are edited by people and other programs. The
// reader must return UTF-8 that fits the platform's 260-byte buffer, whatever the file holds.
#include "FuzzCheck.h"
#include "core/tagfile/TagFileLine.h"
#include "core/text/CodePage.h"
#include "core/text/IniFile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kValueBytes = 259;

struct Query {
    std::string section;
    std::string key;
};

// The reader takes a path; each input is written to one file in a folder of this process,
// removed again when the run ends normally.
const std::string& ScratchFile() {
    static const std::filesystem::path folder = [] {
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::filesystem::path candidate =
                std::filesystem::temp_directory_path() / ("lumetra-fuzz-ini-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error))
                return candidate;
        }
        Require(false, "a scratch folder can be made");
        return std::filesystem::path();
    }();
    static const std::string path = (folder / "input.ini").string();
    static const bool cleanup = std::atexit([] {
                                    std::error_code error;
                                    std::filesystem::remove_all(folder, error);
                                }) == 0;
    (void)cleanup;
    return path;
}

void CheckValue(const std::string& value) {
    Require(IsValidUtf8(value), "a value comes back as UTF-8");
    Require(TagFileLine::CodePageLength(value) <= kValueBytes, "a value fits the profile buffer");
}

void Ask(const std::string& file, const Query& query) {
    CheckValue(ReadIniString(file, query.section, query.key));
    (void)ReadIniInt(file, query.section, query.key, -7);
}

} // namespace

// Input: an optional query "section|key" ended by a NUL byte, then the file's bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    Query own;
    bool hasOwn = false;
    if (const std::size_t nul = input.find('\0'); nul != std::string_view::npos) {
        const std::string_view query = input.substr(0, nul);
        const std::size_t bar = query.find('|');
        own = {std::string(query.substr(0, bar)),
               bar == std::string_view::npos ? std::string() : std::string(query.substr(bar + 1))};
        hasOwn = true;
        input.remove_prefix(nul + 1);
    }

    const std::string& file = ScratchFile();
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(input.data(), static_cast<std::streamsize>(input.size()));
        Require(static_cast<bool>(out.flush()), "the scratch file is written");
    }
    // Every file is read whole at each call, so two of the program's own queries are enough.
    static const Query asked[] = {{"Setting", "UHFREL"}, {"COMMON", "020"}};
    for (const Query& query : asked)
        Ask(file, query);
    if (hasOwn)
        Ask(file, own);
    return 0;
}
