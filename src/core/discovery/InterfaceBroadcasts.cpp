#include "core/discovery/InterfaceBroadcasts.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#else
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#endif

namespace discovery {

#ifdef _WIN32

std::vector<std::uint32_t> InterfaceBroadcasts() {
    std::vector<std::uint32_t> result;
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    ULONG status = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && status == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        status =
            GetAdaptersAddresses(AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
                                 nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (status != NO_ERROR)
        return result;
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter; adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp || adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK)
            continue;
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const sockaddr* address = unicast->Address.lpSockaddr;
            // Point-to-point links (/31, /32) have no broadcast address.
            if (address->sa_family != AF_INET || unicast->OnLinkPrefixLength >= 31)
                continue;
            std::uint32_t host = ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
            std::uint32_t mask = unicast->OnLinkPrefixLength == 0 ? 0 : ~0u << (32 - unicast->OnLinkPrefixLength);
            result.push_back(host | ~mask);
        }
    }
    return result;
}

#else

std::vector<std::uint32_t> InterfaceBroadcasts() {
    std::vector<std::uint32_t> result;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return result;
    for (ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        unsigned flags = entry->ifa_flags;
        if ((flags & IFF_UP) == 0 || (flags & IFF_BROADCAST) == 0 || (flags & IFF_LOOPBACK) != 0)
            continue;
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        const sockaddr* broadcast = entry->ifa_broadaddr;
        if (broadcast == nullptr || broadcast->sa_family != AF_INET)
            continue;
        result.push_back(ntohl(reinterpret_cast<const sockaddr_in*>(broadcast)->sin_addr.s_addr));
    }
    ::freeifaddrs(list);
    return result;
}

#endif

} // namespace discovery
