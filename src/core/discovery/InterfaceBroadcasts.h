#pragma once

#include <cstdint>
#include <vector>

namespace discovery {

// Broadcast addresses (host order) of every up, broadcast-capable, non-loopback IPv4
// interface. Routers drop 255.255.255.255, so each subnet is addressed on its own.
std::vector<std::uint32_t> InterfaceBroadcasts();

} // namespace discovery
