#pragma once

#include "core/discovery/DiscoveryWire.h"
#include "core/discovery/UdpSocket.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// Answers discovery probes on 127.0.0.1 for any number of simulated readers, on a thread of
// its own. Used by the reader simulator and by tests; it never binds outside loopback.
class DiscoveryResponder {
public:
    using Datagram = std::vector<std::uint8_t>;

    // port 0: the system picks one; read it back with Port() after Start().
    explicit DiscoveryResponder(std::uint16_t port = 0);
    ~DiscoveryResponder();
    DiscoveryResponder(const DiscoveryResponder&) = delete;
    DiscoveryResponder& operator=(const DiscoveryResponder&) = delete;

    void SetDevices(std::vector<discovery::DeviceRecord> devices);
    void AddDevice(const discovery::DeviceRecord& device);
    // Sent to the prober ahead of the replies for every valid probe: lets tests feed the
    // prober short or malformed datagrams followed by a good one.
    void SetExtraDatagrams(std::vector<Datagram> datagrams);

    [[nodiscard]] bool Start();
    void Stop();
    std::uint16_t Port() const { return port.load(); }

    std::size_t ProbesAnswered() const;
    std::size_t DatagramsSent() const;
    // The most recent datagrams received, probes or not (at most 256).
    std::vector<Datagram> ReceivedDatagrams() const;
    // Waits until at least count probes were answered or timeoutMs passed; returns whether they were.
    [[nodiscard]] bool WaitForProbesAnswered(std::size_t count, int timeoutMs) const;

private:
    void Serve();

    std::uint16_t requestedPort;
    std::atomic<std::uint16_t> port{0};
    discovery::UdpSocket socket;
    std::thread worker;
    std::atomic<bool> stopping{false};

    mutable std::mutex lock;
    mutable std::condition_variable answered;
    std::vector<discovery::DeviceRecord> devices;
    std::vector<Datagram> extras;
    std::vector<Datagram> received;
    std::size_t probesAnswered = 0;
    std::size_t datagramsSent = 0;
};
