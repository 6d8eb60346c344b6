#ifndef _WIN32
#include "tests/support/FileSizeLimit.h"
#endif
#include "core/store/WholeFileWriter.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct WriteCase {
    const char* name;
    size_t bytes;
    size_t pieces;
    unsigned long long limit; // no file of the process may grow past it
    bool fits;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class WholeFileWriterTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WholeFileWriterTest, ReplacesTheOldFileOnlyWithTheWholeNewOne) {
    const WriteCase& c = GetParam();
    TempDir dir;
    const std::string target = dir.File("out.txt");
    const std::string old = "E2000017221101,OLD,1\r\n";
    std::ofstream(target, std::ios::binary) << old;
    std::string bytes(c.bytes, 'x');
    for (size_t i = 0; i < bytes.size(); i += 13)
        bytes[i] = static_cast<char>('a' + i % 26);

    bool ok = false;
    {
#ifdef _WIN32
        if (!c.fits)
            GTEST_SKIP() << "no per-process file size limit on Windows";
#else
        FileSizeLimit limit(c.limit);
#endif
        WholeFileWriter writer(target);
        ok = writer.Open();
        const size_t piece = (bytes.size() + c.pieces - 1) / c.pieces;
        for (size_t at = 0; ok && at < bytes.size(); at += piece)
            ok = writer.Write(std::string_view(bytes).substr(at, piece));
        ok = writer.Commit() && ok;
    }
    EXPECT_EQ(ok, c.fits);
    EXPECT_EQ(ReadBytes(target), c.fits ? bytes : old);
    // Nothing is left beside the target.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

INSTANTIATE_TEST_SUITE_P(, WholeFileWriterTest,
                         ::testing::Values(WriteCase{"ManySmallWritesPastTheLimit", 3000, 100, 1000, false},
                                           WriteCase{"ManyWritesWithinTheLimit", 2 << 20, 64, 4 << 20, true}),
                         CaseName{});

} // namespace
