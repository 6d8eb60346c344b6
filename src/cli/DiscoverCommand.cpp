#include "cli/ReaderCommands.h"

#include "cli/CliCommon.h"
#include "cli/CliHelp.h"
#include "core/reader/HexText.h"
#include "discovery/NetUdpApi.h"

#include <QThread>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <iostream>
#include <mutex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct FoundReader {
    std::string id, address;
    int port = 0;
    friend bool operator<(const FoundReader& a, const FoundReader& b) {
        return std::tie(a.id, a.address, a.port) < std::tie(b.id, b.address, b.port);
    }
};

// The library's callback carries no context; answers are gathered here for the one search.
std::mutex foundLock;
std::set<FoundReader> found;

void OnAnswer(int event, int subEvent, const unsigned char* deviceId, const unsigned char* deviceInfo, int) {
    if (event != NETUDP_EVENT_FOUND || subEvent != NETUDP_SUBEVENT_ANSWER || deviceId == nullptr ||
        deviceInfo == nullptr)
        return;
    FoundReader reader;
    reader.id = BytesToHex(deviceId, NETUDP_DEVICE_ID_SIZE);
    const unsigned char* ipv4 = deviceInfo + NETUDP_INFO_IPV4_AT;
    reader.address = std::to_string(ipv4[0]) + "." + std::to_string(ipv4[1]) + "." + std::to_string(ipv4[2]) + "." +
                     std::to_string(ipv4[3]);
    reader.port = deviceInfo[NETUDP_INFO_PORT_AT] << 8 | deviceInfo[NETUDP_INFO_PORT_AT + 1];
    std::lock_guard<std::mutex> hold(foundLock);
    found.insert(reader);
}

} // namespace

int RunDiscoverCommand(const std::vector<std::string>& args) {
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        std::cout << HelpText("discover");
        return exitDone;
    }
    std::string error;
    const std::optional<CommandArgs> parsed = ParseCommandArgs(args, {{"--json"}, {"--timeout"}}, error);
    if (!parsed)
        return UsageError("discover", error);
    if (!parsed->words.empty())
        return UsageError("discover", "unexpected argument " + parsed->words[0]);
    double seconds = 3;
    if (const auto timeouts = parsed->All("--timeout"); !timeouts.empty()) {
        const std::string& text = timeouts.back();
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
        if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || !(seconds > 0) || seconds > 3600)
            return UsageError("discover", "--timeout takes seconds from above 0 to 3600, not " + text);
    }
    if (NetUdp_OpenDevice() == 0)
        return Failure(exitUnavailable, "cannot open the discovery socket");
    NetUdp_SetCallbackAddr(OnAnswer);
    // The reader window searches once a second; so does this, for the whole time given.
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    while (Clock::now() < end) {
        NetUdp_ScanDevice();
        const auto next = std::min(end, Clock::now() + std::chrono::seconds(1));
        QThread::msleep(static_cast<unsigned long>(
            std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count())));
    }
    NetUdp_SetCallbackAddr(nullptr);

    std::lock_guard<std::mutex> hold(foundLock);
    if (parsed->Has("--json")) {
        std::cout << '[';
        size_t i = 0;
        for (const FoundReader& r : found)
            std::cout << (i++ ? "," : "") << "\n  {\"id\": " << JsonText(r.id) << ", \"address\": "
                      << JsonText(r.address) << ", \"port\": " << r.port << '}';
        std::cout << (found.empty() ? "]\n" : "\n]\n");
    } else {
        for (const FoundReader& r : found)
            std::cout << r.id << ' ' << r.address << ' ' << r.port << '\n';
    }
    return exitDone;
}
