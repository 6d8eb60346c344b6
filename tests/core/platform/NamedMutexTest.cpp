// On Windows the name is system-wide and lives as long as its holder, even one that ends without
// letting go; elsewhere there is no such object and the guard's own lock decides.
#include "core/platform/NamedMutex.h"
#include "tests/support/PeerProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>

#include <sddl.h>
#endif

namespace {

#ifdef _WIN32
constexpr NamedMutex::Result kWhileHeld = NamedMutex::Result::HeldElsewhere;
#else
constexpr NamedMutex::Result kWhileHeld = NamedMutex::Result::Acquired;
#endif

// A name of the test's own, never the program's.
std::string TestName() {
    return "LumetraTest-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
}

// The other copy: takes the name, says whether it has it, and ends without letting go once its
// input ends, as a copy that crashed.
int HoldMutex(const std::vector<std::string>& args) {
    if (args.size() != 1)
        return 64;
    NamedMutex held(args[0]); // never destroyed: _Exit skips its destructor
    if (WriteToTest(held.Acquire() == NamedMutex::Result::Acquired ? 1 : 0))
        while (ReadFromTest() >= 0) {
        }
    std::_Exit(0);
}

[[maybe_unused]] const bool holdMutexRegistered = RegisterPeerRole("hold-mutex", HoldMutex);

TEST(NamedMutexTest, ASecondHolderIsTurnedAwayUntilTheFirstLetsGo) {
    std::string name = TestName();
    auto first = std::make_unique<NamedMutex>(name);
    ASSERT_EQ(first->Acquire(), NamedMutex::Result::Acquired);
    EXPECT_EQ(first->Acquire(), NamedMutex::Result::Acquired); // again: still its own
    NamedMutex second(name);
    EXPECT_EQ(second.Acquire(), kWhileHeld);
    first.reset();
    EXPECT_EQ(second.Acquire(), NamedMutex::Result::Acquired);
}

TEST(NamedMutexTest, AnotherProcessHoldsItUntilItEnds) {
    std::string name = TestName();
    PeerProcess other("hold-mutex", {name});
    ASSERT_EQ(other.Read(), 1);
    {
        NamedMutex mine(name);
        EXPECT_EQ(mine.Acquire(), kWhileHeld);
    }
    EXPECT_EQ(other.Wait(), 0);
    NamedMutex mine(name);
    EXPECT_EQ(mine.Acquire(), NamedMutex::Result::Acquired);
}

#ifdef _WIN32
// A copy started by another user (or elevated) makes the mutex with rights this one lacks: it
// exists, though it cannot be opened, so a copy runs.
TEST(NamedMutexTest, AMutexThatMayNotBeOpenedStillMeansACopyRuns) {
    std::string name = TestName();
    PSECURITY_DESCRIPTOR noAccess = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", SDDL_REVISION_1, &noAccess, nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, noAccess, FALSE};
    HANDLE other = CreateMutexW(&attributes, FALSE, std::wstring(name.begin(), name.end()).c_str());
    LocalFree(noAccess);
    ASSERT_NE(other, nullptr);
    NamedMutex mine(name);
    EXPECT_EQ(mine.Acquire(), NamedMutex::Result::HeldElsewhere);
    CloseHandle(other);
}
#endif

} // namespace
