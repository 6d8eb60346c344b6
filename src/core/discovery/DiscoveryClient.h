#pragma once

#include "core/discovery/UdpSocket.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace discovery {

// The prober behind the discovery library: one socket, one receive thread that reports
// answers to the current callback.
class DiscoveryClient {
public:
    using Callback = void (*)(int event, int subEvent, const unsigned char* deviceId, const unsigned char* deviceInfo,
                              int extra);

    DiscoveryClient() = default;
    ~DiscoveryClient();
    DiscoveryClient(const DiscoveryClient&) = delete;
    DiscoveryClient& operator=(const DiscoveryClient&) = delete;

    // Opens once; later calls report the state of the first success.
    [[nodiscard]] bool Open();
    // Returns only when the previous callback is not running, so after a null callback
    // nothing more is reported.
    void SetCallback(Callback callback);
    void Scan();

    // Datagrams the receive thread has finished with, reported or not.
    std::uint64_t DatagramsHandled() const { return handled.load(); }

private:
    void ReceiveLoop();
    bool SequenceExpected(std::uint16_t sequence);
    void Send(const Endpoint& target, const std::uint8_t* data, std::size_t size);

    std::mutex openLock;
    UdpSocket socket;
    std::thread receiver;
    std::atomic<bool> stopping{false};
    bool loopbackOnly = false;

    // Recursive so that a callback may itself clear the callback.
    std::recursive_mutex callbackLock;
    Callback callback = nullptr;

    std::mutex sequenceLock;
    std::uint16_t lastSequence = 0;
    std::uint32_t probesSent = 0;

    std::atomic<std::uint64_t> handled{0};
};

} // namespace discovery
