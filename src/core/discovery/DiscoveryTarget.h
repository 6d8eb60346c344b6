#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace discovery {

// An IPv4 address (host byte order) and a UDP port.
struct Endpoint {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    friend bool operator==(const Endpoint&, const Endpoint&) = default;
};

// Environment names read by the prober.
inline constexpr const char* kTargetVariable = "LUMETRA_DISCOVERY_TARGET";
inline constexpr const char* kLoopbackOnlyVariable = "LUMETRA_DISCOVERY_LOOPBACK_ONLY";

bool IsLoopback(std::uint32_t address);

// "host:port" where host is a dotted-quad IPv4 address or "localhost" and port is 1-65535.
// Names are not resolved: a scan must never wait on a name server.
std::optional<Endpoint> ParseTargetOverride(std::string_view text);

// Where one scan sends its probe. An override (a non-empty text) replaces the interface
// broadcasts; a malformed override yields nothing rather than falling back to broadcasting,
// since whoever set it did not want the network probed. With loopbackOnly every target
// outside 127/8 is dropped.
std::vector<Endpoint> PlanTargets(const char* overrideText, bool loopbackOnly,
                                  const std::vector<std::uint32_t>& broadcastAddresses);

} // namespace discovery
