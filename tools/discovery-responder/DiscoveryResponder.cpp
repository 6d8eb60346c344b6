#include "tools/discovery-responder/DiscoveryResponder.h"

#include <chrono>

namespace {

constexpr std::uint32_t kLoopbackAddress = 0x7F000001u;
constexpr std::size_t kReceivedKept = 256;
constexpr int kPollMs = 500;

} // namespace

DiscoveryResponder::DiscoveryResponder(std::uint16_t wantedPort) : requestedPort(wantedPort) {}

DiscoveryResponder::~DiscoveryResponder() {
    Stop();
}

void DiscoveryResponder::SetDevices(std::vector<discovery::DeviceRecord> newDevices) {
    std::lock_guard guard(lock);
    devices = std::move(newDevices);
}

void DiscoveryResponder::AddDevice(const discovery::DeviceRecord& device) {
    std::lock_guard guard(lock);
    devices.push_back(device);
}

void DiscoveryResponder::SetExtraDatagrams(std::vector<Datagram> datagrams) {
    std::lock_guard guard(lock);
    extras = std::move(datagrams);
}

bool DiscoveryResponder::Start() {
    if (worker.joinable())
        return true;
    if (!socket.Open(kLoopbackAddress, requestedPort, false))
        return false;
    port = socket.LocalPort();
    stopping = false;
    worker = std::thread([this] { Serve(); });
    return true;
}

void DiscoveryResponder::Stop() {
    if (!worker.joinable())
        return;
    stopping = true;
    const std::uint8_t wake = 0;
    (void)socket.SendTo(discovery::Endpoint{kLoopbackAddress, port.load()}, &wake, 1);
    worker.join();
    socket.Close();
}

std::size_t DiscoveryResponder::ProbesAnswered() const {
    std::lock_guard guard(lock);
    return probesAnswered;
}

std::size_t DiscoveryResponder::DatagramsSent() const {
    std::lock_guard guard(lock);
    return datagramsSent;
}

std::vector<DiscoveryResponder::Datagram> DiscoveryResponder::ReceivedDatagrams() const {
    std::lock_guard guard(lock);
    return received;
}

bool DiscoveryResponder::WaitForProbesAnswered(std::size_t count, int timeoutMs) const {
    std::unique_lock guard(lock);
    return answered.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] { return probesAnswered >= count; });
}

void DiscoveryResponder::Serve() {
    std::uint8_t buffer[512];
    while (!stopping) {
        discovery::UdpSocket::Wait wait = socket.WaitReadable(kPollMs);
        if (wait == discovery::UdpSocket::Wait::Failed)
            break;
        if (wait == discovery::UdpSocket::Wait::Timeout)
            continue;
        discovery::Endpoint from;
        long size = socket.ReceiveFrom(buffer, sizeof buffer, &from);
        if (size < 0 || stopping)
            continue;

        std::unique_lock guard(lock);
        if (received.size() == kReceivedKept)
            received.erase(received.begin());
        received.emplace_back(buffer, buffer + size);
        auto sequence = discovery::ParseProbe(buffer, static_cast<std::size_t>(size));
        if (!sequence)
            continue;
        std::vector<Datagram> outgoing = extras;
        for (const auto& device : devices) {
            auto reply = discovery::BuildReply(*sequence, device);
            outgoing.emplace_back(reply.begin(), reply.end());
        }
        guard.unlock();

        std::size_t sent = 0;
        for (const Datagram& datagram : outgoing)
            sent += socket.SendTo(from, datagram.data(), datagram.size()) ? 1 : 0;

        guard.lock();
        datagramsSent += sent;
        ++probesAnswered;
        guard.unlock();
        answered.notify_all();
    }
}
