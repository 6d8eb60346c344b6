#include "core/discovery/UdpSocket.h"

#include <cstring>

#ifdef _WIN32
#include <mstcpip.h>
#include <mutex>
#include <ws2tcpip.h>
#ifndef SIO_UDP_CONNRESET
#define SIO_UDP_CONNRESET _WSAIOW(IOC_VENDOR, 12)
#endif
#else
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace discovery {
namespace {

#ifdef _WIN32
bool StartSockets() {
    static std::once_flag once;
    static bool started = false;
    std::call_once(once, [] {
        WSADATA data;
        started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return started;
}
constexpr SOCKET kNoSocket = INVALID_SOCKET;
using SockLen = int;
#else
bool StartSockets() {
    return true;
}
constexpr int kNoSocket = -1;
using SockLen = socklen_t;
#endif

sockaddr_in ToSockaddr(std::uint32_t address, std::uint16_t port) {
    sockaddr_in out{};
    out.sin_family = AF_INET;
    out.sin_addr.s_addr = htonl(address);
    out.sin_port = htons(port);
    return out;
}

} // namespace

UdpSocket::~UdpSocket() {
    Close();
}

bool UdpSocket::Open(std::uint32_t bindAddress, std::uint16_t port, bool broadcast) {
    Close();
    if (!StartSockets())
        return false;
    handle = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (handle == kNoSocket)
        return false;
    int on = 1;
    if (broadcast &&
        ::setsockopt(handle, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on) != 0) {
        Close();
        return false;
    }
#ifdef _WIN32
    // Otherwise an ICMP "port unreachable" for an earlier probe fails the next receive.
    BOOL reportReset = FALSE;
    DWORD ignored = 0;
    WSAIoctl(handle, SIO_UDP_CONNRESET, &reportReset, sizeof reportReset, nullptr, 0, &ignored, nullptr, nullptr);
#endif
    sockaddr_in local = ToSockaddr(bindAddress, port);
    SockLen length = sizeof local;
    if (::bind(handle, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        ::getsockname(handle, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        Close();
        return false;
    }
    localPort = ntohs(local.sin_port);
    return true;
}

void UdpSocket::Close() {
    if (handle == kNoSocket)
        return;
#ifdef _WIN32
    ::closesocket(handle);
#else
    ::close(handle);
#endif
    handle = kNoSocket;
    localPort = 0;
}

bool UdpSocket::IsOpen() const {
    return handle != kNoSocket;
}

bool UdpSocket::SendTo(const Endpoint& to, const std::uint8_t* data, std::size_t size) {
    if (handle == kNoSocket)
        return false;
    sockaddr_in target = ToSockaddr(to.address, to.port);
    auto sent = ::sendto(handle, reinterpret_cast<const char*>(data), static_cast<int>(size), 0,
                         reinterpret_cast<const sockaddr*>(&target), sizeof target);
    return sent == static_cast<decltype(sent)>(size);
}

UdpSocket::Wait UdpSocket::WaitReadable(int timeoutMs) {
    if (handle == kNoSocket)
        return Wait::Failed;
#ifdef _WIN32
    WSAPOLLFD entry{};
    entry.fd = handle;
    entry.events = POLLRDNORM;
    int ready = WSAPoll(&entry, 1, timeoutMs);
    if (ready < 0)
        return Wait::Failed;
#else
    pollfd entry{};
    entry.fd = handle;
    entry.events = POLLIN;
    int ready = ::poll(&entry, 1, timeoutMs);
    if (ready < 0)
        return errno == EINTR ? Wait::Timeout : Wait::Failed;
#endif
    if (ready == 0)
        return Wait::Timeout;
    return (entry.revents & (POLLERR | POLLNVAL)) != 0 && (entry.revents & POLLIN) == 0 ? Wait::Failed : Wait::Ready;
}

long UdpSocket::ReceiveFrom(std::uint8_t* buffer, std::size_t capacity, Endpoint* from) {
    if (handle == kNoSocket)
        return -1;
    sockaddr_in sender{};
    SockLen length = sizeof sender;
    auto received = ::recvfrom(handle, reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0,
                               reinterpret_cast<sockaddr*>(&sender), &length);
#ifdef _WIN32
    // A datagram larger than the buffer is reported as an error but was taken; treat it as cut.
    if (received < 0 && WSAGetLastError() == WSAEMSGSIZE)
        received = static_cast<int>(capacity);
#endif
    if (received < 0)
        return -1;
    if (from != nullptr)
        *from = Endpoint{ntohl(sender.sin_addr.s_addr), ntohs(sender.sin_port)};
    return static_cast<long>(received);
}

} // namespace discovery
