#include "core/discovery/DiscoveryWire.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace discovery;

namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N> Bytes ToBytes(const std::array<std::uint8_t, N>& array) {
    return Bytes(array.begin(), array.end());
}

DeviceRecord ExampleDevice() {
    DeviceRecord device;
    device.deviceId = {0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F};
    device.mac = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
    device.ipv4 = {0xC0, 0xA8, 0x01, 0x64};
    device.netmask = {255, 255, 255, 0};
    device.gateway = {192, 168, 1, 1};
    device.tcpPort = 60000;
    return device;
}

TEST(DiscoveryProbe, BytesAreMagicVersionTypeAndBigEndianSequence) {
    EXPECT_EQ(ToBytes(BuildProbe(0)), (Bytes{'L', 'M', 'D', 'S', 0x01, 0x01, 0x00, 0x00}));
    EXPECT_EQ(ToBytes(BuildProbe(0x1234)), (Bytes{'L', 'M', 'D', 'S', 0x01, 0x01, 0x12, 0x34}));
    EXPECT_EQ(ToBytes(BuildProbe(0xFFFF)), (Bytes{'L', 'M', 'D', 'S', 0x01, 0x01, 0xFF, 0xFF}));
}

struct ProbeRow {
    std::string name;
    Bytes datagram;
    std::optional<std::uint16_t> sequence;
};

class ParseProbeRows : public ::testing::TestWithParam<ProbeRow> {};

TEST_P(ParseProbeRows, AcceptsOnlyExactProbes) {
    const ProbeRow& row = GetParam();
    EXPECT_EQ(ParseProbe(row.datagram.data(), row.datagram.size()), row.sequence);
}

INSTANTIATE_TEST_SUITE_P(Rows, ParseProbeRows,
                         ::testing::Values(ProbeRow{"Valid", {'L', 'M', 'D', 'S', 1, 1, 0x01, 0x02}, 0x0102},
                                           ProbeRow{"Short", {'L', 'M', 'D', 'S', 1, 1, 0x01}, std::nullopt},
                                           ProbeRow{"Long", {'L', 'M', 'D', 'S', 1, 1, 0x01, 0x02, 0x00}, std::nullopt},
                                           ProbeRow{"ReplyType", {'L', 'M', 'D', 'S', 1, 2, 0x01, 0x02}, std::nullopt},
                                           ProbeRow{
                                               "OtherVersion", {'L', 'M', 'D', 'S', 2, 1, 0x01, 0x02}, std::nullopt},
                                           ProbeRow{"OtherMagic", {'L', 'M', 'D', 'X', 1, 1, 0x01, 0x02}, std::nullopt},
                                           ProbeRow{"Empty", {}, std::nullopt}),
                         CaseName{});

TEST(DiscoveryReply, InformationRecordLayout) {
    DeviceInfo info = BuildDeviceInfo(ExampleDevice());
    EXPECT_EQ(ToBytes(info), (Bytes{0x02, 0x11, 0x22, 0x33, 0x44, 0x55, // MAC
                                    0x00, 0x00,                         // reserved
                                    0xC0, 0xA8, 0x01, 0x64,             // IPv4
                                    0xFF, 0xFF, 0xFF, 0x00,             // netmask
                                    0xC0, 0xA8, 0x01, 0x01,             // gateway
                                    0xEA, 0x60}));                      // port, high byte first
}

TEST(DiscoveryReply, HeaderIdAndRecordInOrder) {
    Bytes reply = ToBytes(BuildReply(0xBEEF, ExampleDevice()));
    ASSERT_EQ(reply.size(), kReplySize);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 8), (Bytes{'L', 'M', 'D', 'S', 0x01, 0x02, 0xBE, 0xEF}));
    EXPECT_EQ(Bytes(reply.begin() + 8, reply.begin() + 15), (Bytes{0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}));
    EXPECT_EQ(Bytes(reply.begin() + 15, reply.end()), ToBytes(BuildDeviceInfo(ExampleDevice())));
}

struct ReplyRow {
    std::string name;
    Bytes datagram;
    bool accepted;
};

Bytes ValidReply() {
    return ToBytes(BuildReply(7, ExampleDevice()));
}

Bytes Edited(Bytes bytes, std::size_t index, std::uint8_t value) {
    bytes[index] = value;
    return bytes;
}

Bytes Resized(Bytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

class ParseReplyRows : public ::testing::TestWithParam<ReplyRow> {};

TEST_P(ParseReplyRows, AcceptsOnlyCompleteRepliesOfThisVersion) {
    const ReplyRow& row = GetParam();
    EXPECT_EQ(ParseReply(row.datagram.data(), row.datagram.size()).has_value(), row.accepted);
}

INSTANTIATE_TEST_SUITE_P(Rows, ParseReplyRows,
                         ::testing::Values(ReplyRow{"Valid", ValidReply(), true},
                                           ReplyRow{"TrailingBytesIgnored", Resized(ValidReply(), 40), true},
                                           ReplyRow{"OneByteShort", Resized(ValidReply(), 36), false},
                                           ReplyRow{"HeaderOnly", Resized(ValidReply(), 8), false},
                                           ReplyRow{"Empty", {}, false},
                                           ReplyRow{"ProbeType", Edited(ValidReply(), 5, 0x01), false},
                                           ReplyRow{"UnknownType", Edited(ValidReply(), 5, 0x03), false},
                                           ReplyRow{"OtherVersion", Edited(ValidReply(), 4, 0x02), false},
                                           ReplyRow{"OtherMagic", Edited(ValidReply(), 0, 'X'), false}),
                         CaseName{});

TEST(DiscoveryReply, ParseReturnsSequenceIdAndRecord) {
    Bytes bytes = ToBytes(BuildReply(0x0102, ExampleDevice()));
    auto reply = ParseReply(bytes.data(), bytes.size());
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->sequence, 0x0102);
    EXPECT_EQ(reply->deviceId, ExampleDevice().deviceId);
    EXPECT_EQ(reply->deviceInfo, BuildDeviceInfo(ExampleDevice()));
}

} // namespace
