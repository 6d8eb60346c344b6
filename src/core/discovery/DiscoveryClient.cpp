#include "core/discovery/DiscoveryClient.h"

#include "core/discovery/DiscoveryWire.h"
#include "core/discovery/InterfaceBroadcasts.h"

#include <cstdlib>

namespace discovery {
namespace {

constexpr std::uint32_t kAnyAddress = 0;
constexpr std::uint32_t kLoopbackAddress = 0x7F000001u;
// Answers to the last few scans are still welcome; anything older or never asked for is not.
constexpr std::uint16_t kSequenceWindow = 16;
// Bounds how long a lost wake-up datagram can delay shutting down.
constexpr int kPollMs = 500;

bool LoopbackOnlyRequested() {
    return std::getenv(kLoopbackOnlyVariable) != nullptr;
}

} // namespace

DiscoveryClient::~DiscoveryClient() {
    std::lock_guard lock(openLock);
    if (!receiver.joinable())
        return;
    stopping = true;
    const std::uint8_t wake = 0;
    Send(Endpoint{kLoopbackAddress, socket.LocalPort()}, &wake, 1);
    receiver.join();
    socket.Close();
}

bool DiscoveryClient::Open() {
    std::lock_guard lock(openLock);
    if (receiver.joinable())
        return true;
    loopbackOnly = LoopbackOnlyRequested();
    if (!socket.Open(loopbackOnly ? kLoopbackAddress : kAnyAddress, 0, !loopbackOnly))
        return false;
    stopping = false;
    receiver = std::thread([this] { ReceiveLoop(); });
    return true;
}

void DiscoveryClient::SetCallback(Callback newCallback) {
    std::lock_guard lock(callbackLock);
    callback = newCallback;
}

void DiscoveryClient::Scan() {
    {
        std::lock_guard lock(openLock);
        if (!receiver.joinable())
            return;
    }
    std::uint16_t sequence;
    {
        std::lock_guard lock(sequenceLock);
        sequence = ++lastSequence;
        ++probesSent;
    }
    const bool guard = loopbackOnly || LoopbackOnlyRequested();
    std::vector<std::uint32_t> broadcasts;
    const char* overrideText = std::getenv(kTargetVariable);
    if (overrideText == nullptr || *overrideText == '\0')
        broadcasts = InterfaceBroadcasts();
    auto probe = BuildProbe(sequence);
    for (const Endpoint& target : PlanTargets(overrideText, guard, broadcasts))
        Send(target, probe.data(), probe.size());
}

void DiscoveryClient::Send(const Endpoint& target, const std::uint8_t* data, std::size_t size) {
    // Last line of defence: whatever planned the target, nothing leaves the machine under the guard.
    if ((loopbackOnly || LoopbackOnlyRequested()) && !IsLoopback(target.address))
        return;
    (void)socket.SendTo(target, data, size);
}

bool DiscoveryClient::SequenceExpected(std::uint16_t sequence) {
    std::lock_guard lock(sequenceLock);
    std::uint16_t age = static_cast<std::uint16_t>(lastSequence - sequence);
    return age < kSequenceWindow && age < probesSent;
}

void DiscoveryClient::ReceiveLoop() {
    std::uint8_t buffer[512];
    while (!stopping) {
        UdpSocket::Wait wait = socket.WaitReadable(kPollMs);
        if (wait == UdpSocket::Wait::Failed)
            break;
        if (wait == UdpSocket::Wait::Timeout)
            continue;
        long size = socket.ReceiveFrom(buffer, sizeof buffer, nullptr);
        if (size < 0)
            continue;
        auto reply = ParseReply(buffer, static_cast<std::size_t>(size));
        if (reply && !stopping && SequenceExpected(reply->sequence)) {
            std::lock_guard lock(callbackLock);
            if (callback != nullptr)
                callback(2, 1, reply->deviceId.data(), reply->deviceInfo.data(), 0);
        }
        ++handled;
    }
}

} // namespace discovery
