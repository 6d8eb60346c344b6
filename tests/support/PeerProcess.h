#pragma once

#include <optional>
#include <string>
#include <vector>

// A second process for tests that need one (another program holding a lock): the test program
// itself, started again in a named role instead of running its tests. It talks to the test over
// its standard input and output, so it works the same on every platform, without fork().

// A role's body: gets the arguments after the role's name, returns the exit code.
using PeerRole = int (*)(const std::vector<std::string>& args);

// Registered from a static initialiser in the file that defines the role.
bool RegisterPeerRole(const char* name, PeerRole role);

// First thing in a test program's main(): when it was started as a peer, runs the role and
// gives its exit code; nothing when it was started to run tests.
std::optional<int> RunPeerRoleIfAsked(int argc, char** argv);

// Inside a role: one byte to or from the test. ReadFromTest gives -1 once the test closed the
// peer's input (or has gone).
int ReadFromTest();
bool WriteToTest(char value);

class PeerProcess {
public:
    PeerProcess(const std::string& role, const std::vector<std::string>& args);
    ~PeerProcess(); // closes the input and waits
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    bool Started() const { return started; }
    // One byte the peer wrote; -1 when it ended or closed its output.
    int Read();
    // Lets the peer see the end of its input.
    void CloseInput();
    // Closes the input and waits for the end; the exit code, or -1 when it was not started.
    int Wait();

private:
    bool started = false;
    std::optional<int> exitCode;
#ifdef _WIN32
    void* process = nullptr;
    void* toPeer = nullptr;
    void* fromPeer = nullptr;
#else
    int pid = -1;
    int toPeer = -1;
    int fromPeer = -1;
#endif
};
