// Any host on the network can send a datagram to the prober's port, and the target override
// comes from the environment. Parsing must never accept what it would not build, and a
// prober kept to the loopback range must never plan a target outside it.
#include "ByteCursor.h"
#include "FuzzCheck.h"
#include "core/discovery/DiscoveryTarget.h"
#include "core/discovery/DiscoveryWire.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using namespace discovery;

namespace {

void CheckDatagram(const std::uint8_t* data, std::size_t size) {
    const std::optional<std::uint16_t> probe = ParseProbe(data, size);
    const std::optional<Reply> reply = ParseReply(data, size);
    Require(!(probe && reply), "a datagram is a probe or a reply, never both");
    if (probe) {
        const auto built = BuildProbe(*probe);
        Require(std::equal(built.begin(), built.end(), data, data + size), "a probe accepted is a probe built");
    }
    if (reply) {
        Require(size >= kReplySize, "a reply accepted is long enough");
        Require(std::equal(reply->deviceId.begin(), reply->deviceId.end(), data + 8), "the id is the datagram's");
        Require(std::equal(reply->deviceInfo.begin(), reply->deviceInfo.end(), data + 8 + kDeviceIdSize),
                "the information record is the datagram's");
    }
}

// A reader built from the input answers; the prober reads back what the reader said.
void CheckReplyRoundTrip(ByteCursor& bytes) {
    DeviceRecord device;
    std::generate(device.deviceId.begin(), device.deviceId.end(), [&] { return bytes.Byte(); });
    std::generate(device.mac.begin(), device.mac.end(), [&] { return bytes.Byte(); });
    std::generate(device.ipv4.begin(), device.ipv4.end(), [&] { return bytes.Byte(); });
    std::generate(device.netmask.begin(), device.netmask.end(), [&] { return bytes.Byte(); });
    std::generate(device.gateway.begin(), device.gateway.end(), [&] { return bytes.Byte(); });
    device.tcpPort = bytes.Word();
    const std::uint16_t sequence = bytes.Word();

    const auto built = BuildReply(sequence, device);
    const std::optional<Reply> reply = ParseReply(built.data(), built.size());
    Require(reply && reply->sequence == sequence && reply->deviceId == device.deviceId &&
                reply->deviceInfo == BuildDeviceInfo(device),
            "a reply built is read back the same");
    Require(ParseProbe(BuildProbe(sequence).data(), kProbeSize) == sequence, "a probe built is read back the same");
}

void CheckTargets(const std::uint8_t* data, std::size_t size) {
    // The text up to the first NUL is the override; later bytes give interface broadcasts.
    const std::string text(reinterpret_cast<const char*>(data), std::find(data, data + size, 0) - data);
    std::vector<std::uint32_t> broadcasts;
    for (std::size_t at = text.size() + 1; at + 4 <= size && broadcasts.size() < 8; at += 4)
        broadcasts.push_back(std::uint32_t(data[at]) << 24 | data[at + 1] << 16 | data[at + 2] << 8 | data[at + 3]);

    const std::optional<Endpoint> parsed = ParseTargetOverride(text);
    Require(!parsed || parsed->port != 0, "an override names a port");
    const std::vector<Endpoint> guarded = PlanTargets(text.c_str(), true, broadcasts);
    for (const Endpoint& target : guarded)
        Require(IsLoopback(target.address), "a guarded scan stays on the loopback range");
    const std::vector<Endpoint> open = PlanTargets(text.c_str(), false, broadcasts);
    if (!text.empty())
        Require(open.size() <= 1 && (open.empty() || open.front() == parsed), "an override replaces the broadcasts");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckDatagram(data, size);
    ByteCursor bytes({data, size});
    CheckReplyRoundTrip(bytes);
    CheckTargets(data, size);
    return 0;
}
