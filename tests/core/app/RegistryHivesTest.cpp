// Which hive the program opens: the registry on Windows unless a variable names a file.
#include "core/app/RegistryHives.h"
#include "tests/support/CaseName.h"
#include "tests/support/ScopedVariable.h"

#include <gtest/gtest.h>

namespace {

#ifdef _WIN32
constexpr bool kRegistryHere = true;
#else
constexpr bool kRegistryHere = false;
#endif

struct HiveCase {
    const char* name;
    const char* variable;
    std::unique_ptr<Hive> (*open)();
};

class RegistryHivesTest : public ::testing::TestWithParam<HiveCase> {};

TEST_P(RegistryHivesTest, TheRegistryOnlyOnWindowsAndOnlyWhenNotRedirected) {
    {
        ScopedVariable unset(GetParam().variable, std::nullopt);
        auto hive = GetParam().open();
        ASSERT_EQ(hive != nullptr, kRegistryHere);
        if (hive) {
            EXPECT_TRUE(hive->KeyExists("Software")); // the system's own key: only read
        }
    }
    ScopedVariable redirected(GetParam().variable, "hive-file-named-here");
    EXPECT_EQ(GetParam().open(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(, RegistryHivesTest,
                         ::testing::Values(HiveCase{"User", "LUMETRA_USER_HIVE", OpenRegistryUserHive},
                                           HiveCase{"Machine", "LUMETRA_MACHINE_HIVE", OpenRegistryMachineHive}),
                         CaseName{});

#ifdef _WIN32
// The local machine's hive is shared by every user and the suite's other programs: never written.
TEST(RegistryMachineHiveTest, RefusesWrites) {
    ScopedVariable unset("LUMETRA_MACHINE_HIVE", std::nullopt);
    auto hive = OpenRegistryMachineHive();
    ASSERT_NE(hive, nullptr);
    EXPECT_FALSE(hive->CreateKey("Software\\LumetraTestNeverWritten", nullptr));
    EXPECT_FALSE(hive->KeyExists("Software\\LumetraTestNeverWritten"));
}
#endif

} // namespace
