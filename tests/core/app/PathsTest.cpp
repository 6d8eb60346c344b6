#include "core/app/Paths.h"
#include "tests/support/CaseName.h"
#include "tests/support/ScopedVariable.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct RedirectCase {
    const char* name;
    const char* value;
    std::string expected;
};

class WindowsDirRedirectTest : public ::testing::TestWithParam<RedirectCase> {};

TEST_P(WindowsDirRedirectTest, EndsInASeparator) {
    ScopedVariable redirect("LUMETRA_WINDOWS_DIR", GetParam().value);
    EXPECT_EQ(WindowsDir(), GetParam().expected);
}

#ifdef _WIN32
constexpr const char* kAdded = "\\";
#else
constexpr const char* kAdded = "/";
#endif

INSTANTIATE_TEST_SUITE_P(, WindowsDirRedirectTest,
                         ::testing::Values(RedirectCase{"Bare", "/srv/win", std::string("/srv/win") + kAdded},
                                           RedirectCase{"Slash", "/srv/win/", "/srv/win/"},
                                           RedirectCase{"Backslash", "D:\\WIN\\", "D:\\WIN\\"}),
                         CaseName{});

// The folder the suite's other programs keep their ini file in, unless redirected.
TEST(WindowsDirTest, DefaultIsThePlatformsSystemFolder) {
    ScopedVariable unset("LUMETRA_WINDOWS_DIR", std::nullopt);
    std::string dir = WindowsDir();
#ifdef _WIN32
    ASSERT_GE(dir.size(), 4u);
    EXPECT_EQ(dir.substr(1, 2), ":\\");
    EXPECT_EQ(dir.back(), '\\');
    std::string system32 = dir + "system32";
    EXPECT_TRUE(std::filesystem::is_directory(std::u8string(system32.begin(), system32.end())));
#else
    EXPECT_EQ(dir, "/etc/");
#endif
}

} // namespace
