// The second process gets its arguments exactly as given (Windows passes one command line that
// the peer splits again) and its exit code comes back.
#include "tests/support/PeerProcess.h"

#include <gtest/gtest.h>

namespace {

// Sends back each argument followed by a zero byte, then exits with the argument count.
int Echo(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        for (char c : arg)
            if (!WriteToTest(c))
                return 1;
        if (!WriteToTest('\0'))
            return 1;
    }
    return static_cast<int>(args.size());
}

[[maybe_unused]] const bool echoRegistered = RegisterPeerRole("echo", Echo);

std::vector<std::string> ReadAll(PeerProcess& peer) {
    std::vector<std::string> args(1);
    for (int c; (c = peer.Read()) >= 0;) {
        if (c == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(c);
    }
    args.pop_back();
    return args;
}

TEST(PeerProcessTest, ArgumentsArriveIntactAndTheExitCodeComesBack) {
    const std::vector<std::string> args{"plain",
                                        "two words",
                                        "",
                                        "quote\"inside",
                                        "C:\\folder with space\\",
                                        "back\\\\\"slashes before a quote",
                                        "\t",
                                        "\xE8\xBB\x8A"
                                        "1 \xE8\xB7\xAF"}; // "車1 路" in UTF-8
    PeerProcess peer("echo", args);
    ASSERT_TRUE(peer.Started());
    EXPECT_EQ(ReadAll(peer), args);
    EXPECT_EQ(peer.Wait(), static_cast<int>(args.size()));
}

TEST(PeerProcessTest, AnUnknownRoleEndsWithoutRunningTests) {
    PeerProcess peer("no-such-role", {});
    ASSERT_TRUE(peer.Started());
    EXPECT_EQ(peer.Read(), -1);
    EXPECT_EQ(peer.Wait(), 64);
}

} // namespace
