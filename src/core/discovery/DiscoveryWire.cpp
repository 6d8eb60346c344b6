#include "core/discovery/DiscoveryWire.h"

#include <algorithm>

namespace discovery {
namespace {

constexpr std::uint8_t kMagic[4] = {'L', 'M', 'D', 'S'};
constexpr std::uint8_t kVersion = 0x01;
constexpr std::uint8_t kTypeProbe = 0x01;
constexpr std::uint8_t kTypeReply = 0x02;

void PutHeader(std::uint8_t* out, std::uint8_t type, std::uint16_t sequence) {
    std::copy(std::begin(kMagic), std::end(kMagic), out);
    out[4] = kVersion;
    out[5] = type;
    out[6] = static_cast<std::uint8_t>(sequence >> 8);
    out[7] = static_cast<std::uint8_t>(sequence & 0xFF);
}

bool HasHeader(const std::uint8_t* data, std::size_t size, std::uint8_t type) {
    return size >= 8 && std::equal(std::begin(kMagic), std::end(kMagic), data) && data[4] == kVersion &&
           data[5] == type;
}

std::uint16_t SequenceOf(const std::uint8_t* data) {
    return static_cast<std::uint16_t>((data[6] << 8) | data[7]);
}

} // namespace

std::array<std::uint8_t, kProbeSize> BuildProbe(std::uint16_t sequence) {
    std::array<std::uint8_t, kProbeSize> probe{};
    PutHeader(probe.data(), kTypeProbe, sequence);
    return probe;
}

std::optional<std::uint16_t> ParseProbe(const std::uint8_t* data, std::size_t size) {
    if (size != kProbeSize || !HasHeader(data, size, kTypeProbe))
        return std::nullopt;
    return SequenceOf(data);
}

DeviceInfo BuildDeviceInfo(const DeviceRecord& device) {
    DeviceInfo info{};
    std::copy(device.mac.begin(), device.mac.end(), info.begin());
    std::copy(device.ipv4.begin(), device.ipv4.end(), info.begin() + 8);
    std::copy(device.netmask.begin(), device.netmask.end(), info.begin() + 12);
    std::copy(device.gateway.begin(), device.gateway.end(), info.begin() + 16);
    info[20] = static_cast<std::uint8_t>(device.tcpPort >> 8);
    info[21] = static_cast<std::uint8_t>(device.tcpPort & 0xFF);
    return info;
}

std::array<std::uint8_t, kReplySize> BuildReply(std::uint16_t sequence, const DeviceRecord& device) {
    std::array<std::uint8_t, kReplySize> reply{};
    PutHeader(reply.data(), kTypeReply, sequence);
    std::copy(device.deviceId.begin(), device.deviceId.end(), reply.begin() + 8);
    DeviceInfo info = BuildDeviceInfo(device);
    std::copy(info.begin(), info.end(), reply.begin() + 8 + kDeviceIdSize);
    return reply;
}

std::optional<Reply> ParseReply(const std::uint8_t* data, std::size_t size) {
    if (size < kReplySize || !HasHeader(data, size, kTypeReply))
        return std::nullopt;
    Reply reply;
    reply.sequence = SequenceOf(data);
    std::copy(data + 8, data + 8 + kDeviceIdSize, reply.deviceId.begin());
    std::copy(data + 8 + kDeviceIdSize, data + kReplySize, reply.deviceInfo.begin());
    return reply;
}

} // namespace discovery
