#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// Datagrams of the reader discovery protocol. A prober sends "LMDS" 01 01 seq to UDP port
// 60001; each reader answers the sender with "LMDS" 01 02 seq, its 7-byte id and a 22-byte
// information record. Pure functions over bytes; no sockets here.
namespace discovery {

inline constexpr std::uint16_t kProbePort = 60001;
inline constexpr std::size_t kProbeSize = 8;
inline constexpr std::size_t kReplySize = 37;
inline constexpr std::size_t kDeviceIdSize = 7;
inline constexpr std::size_t kDeviceInfoSize = 22;

using DeviceId = std::array<std::uint8_t, kDeviceIdSize>;
using DeviceInfo = std::array<std::uint8_t, kDeviceInfoSize>;

// What a simulated or real reader reports about itself.
struct DeviceRecord {
    DeviceId deviceId{};
    std::array<std::uint8_t, 6> mac{};
    std::array<std::uint8_t, 4> ipv4{};
    std::array<std::uint8_t, 4> netmask{};
    std::array<std::uint8_t, 4> gateway{};
    std::uint16_t tcpPort = 0;
};

struct Reply {
    std::uint16_t sequence = 0;
    DeviceId deviceId{};
    DeviceInfo deviceInfo{};
};

std::array<std::uint8_t, kProbeSize> BuildProbe(std::uint16_t sequence);

// The probe's sequence number, or nothing when the datagram is not a probe of this version.
std::optional<std::uint16_t> ParseProbe(const std::uint8_t* data, std::size_t size);

// Information record layout: MAC 0-5, zero 6-7, IPv4 8-11, netmask 12-15, gateway 16-19, port 20-21.
DeviceInfo BuildDeviceInfo(const DeviceRecord& device);

std::array<std::uint8_t, kReplySize> BuildReply(std::uint16_t sequence, const DeviceRecord& device);

// Nothing for anything but a reply of this version. Bytes after the 37th are ignored, which
// leaves room for later fields without breaking older probers.
std::optional<Reply> ParseReply(const std::uint8_t* data, std::size_t size);

} // namespace discovery
