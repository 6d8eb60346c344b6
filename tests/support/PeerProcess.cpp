#include "tests/support/PeerProcess.h"

#include <cstdio>
#include <iterator>
#include <map>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace {

constexpr const char* kPeerFlag = "--lumetra-peer";

std::map<std::string, PeerRole>& Roles() {
    static std::map<std::string, PeerRole> roles;
    return roles;
}

#ifdef _WIN32

std::wstring ToWide(const std::string& utf8) {
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string ToUtf8(const std::wstring& wide) {
    int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length, nullptr, nullptr);
    return utf8;
}

// One argument as the C runtime splits a command line again: quotes around it, and backslashes
// doubled only where they come before a quote.
std::wstring Quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

// main()'s argv is in the ANSI code page there: the wide command line keeps every path intact.
std::vector<std::string> Arguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            args.push_back(ToUtf8(wide[i]));
        LocalFree(wide);
    }
    return args;
}

#else

std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

bool CloseOnExec(int fd) {
    return fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

// Both ends closed in every other child, so a peer sees the end of its input even while the
// test has started another one.
bool Pipe(int ends[2]) {
    if (pipe(ends) != 0)
        return false;
    if (CloseOnExec(ends[0]) && CloseOnExec(ends[1]))
        return true;
    close(ends[0]);
    close(ends[1]);
    return false;
}

#endif

} // namespace

bool RegisterPeerRole(const char* name, PeerRole role) {
    Roles()[name] = role;
    return true;
}

std::optional<int> RunPeerRoleIfAsked(int argc, char** argv) {
    if (argc < 3 || std::string(argv[1]) != kPeerFlag)
        return std::nullopt;
    std::vector<std::string> args = Arguments(argc, argv);
    if (args.size() < 3)
        return 64;
    auto role = Roles().find(args[2]);
    if (role == Roles().end())
        return 64;
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    return role->second(std::vector<std::string>(args.begin() + 3, args.end()));
}

int ReadFromTest() {
    int c = std::getchar();
    return c == EOF ? -1 : c;
}

bool WriteToTest(char value) {
    return std::fputc(static_cast<unsigned char>(value), stdout) != EOF && std::fflush(stdout) == 0;
}

#ifdef _WIN32

PeerProcess::PeerProcess(const std::string& role, const std::vector<std::string>& args) {
    wchar_t self[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
    if (length == 0 || length >= std::size(self))
        return;
    std::wstring command = Quoted(self) + L" " + ToWide(kPeerFlag) + L" " + Quoted(ToWide(role));
    for (const std::string& arg : args)
        command += L" " + Quoted(ToWide(arg));

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE peerIn = nullptr, peerOut = nullptr, in = nullptr, out = nullptr;
    if (!CreatePipe(&peerIn, &in, &inherit, 0))
        return;
    if (!CreatePipe(&out, &peerOut, &inherit, 0)) {
        CloseHandle(peerIn);
        CloseHandle(in);
        return;
    }
    // Only the peer's ends are inherited; the test's own stay with the test.
    SetHandleInformation(in, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(out, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = peerIn;
    startup.hStdOutput = peerOut;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    started = CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
    CloseHandle(peerIn);
    CloseHandle(peerOut);
    toPeer = in;
    fromPeer = out;
    if (!started)
        return;
    CloseHandle(info.hThread);
    process = info.hProcess;
}

PeerProcess::~PeerProcess() {
    (void)Wait();
    if (fromPeer)
        CloseHandle(fromPeer);
}

int PeerProcess::Read() {
    char value = 0;
    DWORD got = 0;
    if (!fromPeer || !ReadFile(fromPeer, &value, 1, &got, nullptr) || got != 1)
        return -1;
    return static_cast<unsigned char>(value);
}

void PeerProcess::CloseInput() {
    if (toPeer)
        CloseHandle(toPeer);
    toPeer = nullptr;
}

int PeerProcess::Wait() {
    CloseInput();
    if (process) {
        WaitForSingleObject(process, INFINITE);
        DWORD code = 0;
        exitCode = GetExitCodeProcess(process, &code) ? static_cast<int>(code) : -1;
        CloseHandle(process);
        process = nullptr;
    }
    return exitCode.value_or(-1);
}

#else

PeerProcess::PeerProcess(const std::string& role, const std::vector<std::string>& args) {
    int in[2], out[2];
    if (!Pipe(in))
        return;
    if (!Pipe(out)) {
        close(in[0]);
        close(in[1]);
        return;
    }
    std::string self = "/proc/self/exe";
    std::vector<std::string> words{self, kPeerFlag, role};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    pid_t child = -1;
    started = posix_spawn(&child, self.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    toPeer = in[1];
    fromPeer = out[0];
    pid = started ? child : -1;
}

PeerProcess::~PeerProcess() {
    (void)Wait();
    if (fromPeer >= 0)
        close(fromPeer);
}

int PeerProcess::Read() {
    unsigned char byte = 0;
    ssize_t got;
    do
        got = fromPeer >= 0 ? read(fromPeer, &byte, 1) : -1;
    while (got < 0 && errno == EINTR);
    return got == 1 ? byte : -1;
}

void PeerProcess::CloseInput() {
    if (toPeer >= 0)
        close(toPeer);
    toPeer = -1;
}

int PeerProcess::Wait() {
    CloseInput();
    if (pid > 0) {
        int status = 0;
        pid_t ended;
        do
            ended = waitpid(pid, &status, 0);
        while (ended < 0 && errno == EINTR);
        exitCode = ended == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        pid = -1;
    }
    return exitCode.value_or(-1);
}

#endif
