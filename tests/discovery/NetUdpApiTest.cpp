#include "discovery/NetUdpApi.h"
#include "tests/support/DiscoveryTestSupport.h"
#include "tools/discovery-responder/DiscoveryResponder.h"

#include <gtest/gtest.h>

namespace {

EventRecorder recorder;

void RecordEvent(int event, int subEvent, const unsigned char* id, const unsigned char* info, int extra) {
    recorder.Record(event, subEvent, id, info, extra);
}

class NetUdpApiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(responder.Start());
        PointDiscoveryAtLoopback(responder.Port());
        recorder.Clear();
        ASSERT_NE(NetUdp_OpenDevice(), 0);
        NetUdp_SetCallbackAddr(RecordEvent);
    }

    void TearDown() override { NetUdp_SetCallbackAddr(nullptr); }

    DiscoveryResponder responder;
};

TEST_F(NetUdpApiTest, ExampleReaderArrivesIntact) {
    responder.SetDevices({ExampleDevice()});
    NetUdp_ScanDevice();
    ASSERT_TRUE(recorder.WaitFor(1));
    DiscoveryEvent got = recorder.Events().at(0);
    EXPECT_EQ(got.event, 2);
    EXPECT_EQ(got.subEvent, 1);
    EXPECT_EQ(got.extra, 0);
    EXPECT_EQ(got.deviceId, (discovery::DeviceId{0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}));
    EXPECT_EQ(
        (std::array<std::uint8_t, 4>{got.deviceInfo[8], got.deviceInfo[9], got.deviceInfo[10], got.deviceInfo[11]}),
        (std::array<std::uint8_t, 4>{0xC0, 0xA8, 0x01, 0x64}));
    EXPECT_EQ(got.deviceInfo[20], 0xEA);
    EXPECT_EQ(got.deviceInfo[21], 0x60);
}

TEST_F(NetUdpApiTest, SeveralReadersFromOneResponder) {
    responder.SetDevices({MakeDevice(1, {10, 0, 0, 1}, 60000), MakeDevice(2, {10, 0, 0, 2}, 60000)});
    NetUdp_ScanDevice();
    ASSERT_TRUE(recorder.WaitFor(2));
    auto events = recorder.Events();
    EXPECT_EQ(events[0].deviceInfo[11], 1);
    EXPECT_EQ(events[1].deviceInfo[11], 2);
}

TEST_F(NetUdpApiTest, ShortAndMalformedDatagramsAreIgnored) {
    auto reply = discovery::BuildReply(1, MakeDevice(7, {10, 0, 0, 7}, 60000));
    std::vector<std::uint8_t> shortReply(reply.begin(), reply.end() - 1);
    std::vector<std::uint8_t> otherMagic(reply.begin(), reply.end());
    otherMagic[1] = 'X';
    responder.SetExtraDatagrams({shortReply, otherMagic, {0x00}});
    responder.SetDevices({ExampleDevice()});
    NetUdp_ScanDevice();
    // Replies come after the extras and one thread reads them in order, so the first event
    // shows whether anything before it slipped through.
    ASSERT_TRUE(recorder.WaitFor(1));
    auto events = recorder.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].deviceId, ExampleDevice().deviceId);
}

TEST_F(NetUdpApiTest, OpeningAgainIsHarmless) {
    EXPECT_NE(NetUdp_OpenDevice(), 0);
    responder.SetDevices({ExampleDevice()});
    NetUdp_ScanDevice();
    EXPECT_TRUE(recorder.WaitFor(1));
}

TEST_F(NetUdpApiTest, ProbesAreExactAndCountUp) {
    NetUdp_ScanDevice();
    NetUdp_ScanDevice();
    ASSERT_TRUE(responder.WaitForProbesAnswered(2, kHangGuardMs));
    auto received = responder.ReceivedDatagrams();
    ASSERT_EQ(received.size(), 2u);
    for (const auto& probe : received) {
        ASSERT_EQ(probe.size(), discovery::kProbeSize);
        EXPECT_EQ(std::vector<std::uint8_t>(probe.begin(), probe.begin() + 6),
                  (std::vector<std::uint8_t>{'L', 'M', 'D', 'S', 0x01, 0x01}));
    }
    auto sequence = [](const std::vector<std::uint8_t>& probe) { return (probe[6] << 8) | probe[7]; };
    EXPECT_EQ(sequence(received[1]), (sequence(received[0]) + 1) & 0xFFFF);
}

} // namespace
