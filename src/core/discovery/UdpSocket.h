#pragma once

#include "core/discovery/DiscoveryTarget.h"

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <winsock2.h>
#endif

namespace discovery {

// A blocking IPv4 datagram socket over Winsock or POSIX sockets. One thread may wait and
// receive while another sends; opening and closing belong to the owner.
class UdpSocket {
public:
    enum class Wait { Ready, Timeout, Failed };

    UdpSocket() = default;
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Binds to bindAddress (host order) and port (0: the system picks one).
    [[nodiscard]] bool Open(std::uint32_t bindAddress, std::uint16_t port, bool broadcast);
    void Close();
    bool IsOpen() const;
    std::uint16_t LocalPort() const { return localPort; }

    [[nodiscard]] bool SendTo(const Endpoint& to, const std::uint8_t* data, std::size_t size);
    Wait WaitReadable(int timeoutMs);
    // Size of the datagram taken (cut to capacity), or -1 when none could be taken.
    long ReceiveFrom(std::uint8_t* buffer, std::size_t capacity, Endpoint* from);

private:
#ifdef _WIN32
    SOCKET handle = INVALID_SOCKET;
#else
    int handle = -1;
#endif
    std::uint16_t localPort = 0;
};

} // namespace discovery
