#include "core/discovery/DiscoveryClient.h"
#include "tests/support/DiscoveryTestSupport.h"
#include "tools/discovery-responder/DiscoveryResponder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace discovery;

namespace {

EventRecorder recorder;
DiscoveryClient* currentClient = nullptr;

void RecordEvent(int event, int subEvent, const unsigned char* id, const unsigned char* info, int extra) {
    recorder.Record(event, subEvent, id, info, extra);
}

void ClearOwnCallback(int event, int subEvent, const unsigned char* id, const unsigned char* info, int extra) {
    recorder.Record(event, subEvent, id, info, extra);
    currentClient->SetCallback(nullptr);
}

std::vector<std::uint8_t> Bytes(std::initializer_list<std::uint8_t> bytes) {
    return bytes;
}

class DiscoveryClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(responder.Start());
        PointDiscoveryAtLoopback(responder.Port());
        recorder.Clear();
        currentClient = &client;
    }

    void TearDown() override {
        client.SetCallback(nullptr);
        currentClient = nullptr;
    }

    // Every datagram reaching the client comes from the responder; waits until the receive
    // thread is done with all of them.
    bool WaitUntilClientCaughtUp() {
        auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangGuardMs);
        while (client.DatagramsHandled() < responder.DatagramsSent()) {
            if (std::chrono::steady_clock::now() > limit)
                return false;
            std::this_thread::yield();
        }
        return true;
    }

    DiscoveryResponder responder;
    DiscoveryClient client;
};

TEST_F(DiscoveryClientTest, ReportsEachAnswerAsEventTwoOne) {
    responder.SetDevices({ExampleDevice()});
    ASSERT_TRUE(client.Open());
    client.SetCallback(RecordEvent);
    client.Scan();
    ASSERT_TRUE(recorder.WaitFor(1));
    DiscoveryEvent got = recorder.Events().at(0);
    EXPECT_EQ(got.event, 2);
    EXPECT_EQ(got.subEvent, 1);
    EXPECT_EQ(got.deviceId, ExampleDevice().deviceId);
    EXPECT_EQ(got.deviceInfo, BuildDeviceInfo(ExampleDevice()));
    EXPECT_EQ(got.extra, 0);
}

TEST_F(DiscoveryClientTest, ProbesAreNumberedFromOneAndNotSentBeforeOpening) {
    client.Scan();
    ASSERT_TRUE(client.Open());
    client.Scan();
    client.Scan();
    ASSERT_TRUE(responder.WaitForProbesAnswered(2, kHangGuardMs));
    auto received = responder.ReceivedDatagrams();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], Bytes({'L', 'M', 'D', 'S', 0x01, 0x01, 0x00, 0x01}));
    EXPECT_EQ(received[1], Bytes({'L', 'M', 'D', 'S', 0x01, 0x01, 0x00, 0x02}));
}

TEST_F(DiscoveryClientTest, OpeningAgainKeepsTheSameSocket) {
    ASSERT_TRUE(client.Open());
    EXPECT_TRUE(client.Open());
    responder.SetDevices({ExampleDevice()});
    client.SetCallback(RecordEvent);
    client.Scan();
    ASSERT_TRUE(recorder.WaitFor(1));
    ASSERT_TRUE(WaitUntilClientCaughtUp());
    EXPECT_EQ(recorder.Events().size(), 1u);
}

TEST_F(DiscoveryClientTest, OneProbeReportsEverySimulatedReader) {
    responder.SetDevices({MakeDevice(1, {10, 0, 0, 11}, 60000), MakeDevice(2, {10, 0, 0, 12}, 60000),
                          MakeDevice(3, {10, 0, 0, 13}, 4001)});
    ASSERT_TRUE(client.Open());
    client.SetCallback(RecordEvent);
    client.Scan();
    ASSERT_TRUE(recorder.WaitFor(3));
    auto events = recorder.Events();
    ASSERT_EQ(events.size(), 3u);
    for (std::uint8_t i = 0; i < 3; ++i)
        EXPECT_EQ(events[i].deviceId[6], i + 1);
    EXPECT_EQ(events[2].deviceInfo[20], 4001 >> 8);
    EXPECT_EQ(events[2].deviceInfo[21], 4001 & 0xFF);
}

TEST_F(DiscoveryClientTest, IgnoresShortMalformedAndUnaskedDatagrams) {
    auto valid = BuildReply(1, MakeDevice(9, {10, 0, 0, 9}, 60000));
    std::vector<std::uint8_t> good(valid.begin(), valid.end());
    auto edited = [&](std::size_t index, std::uint8_t value) {
        auto copy = good;
        copy[index] = value;
        return copy;
    };
    auto unasked = good;
    unasked[6] = 0x80; // sequence 0x8001: never sent
    responder.SetExtraDatagrams({
        std::vector<std::uint8_t>(good.begin(), good.end() - 1), // one byte short
        {},                                                      // empty
        Bytes({'L', 'M', 'D', 'S', 0x01, 0x01, 0x00, 0x01}),     // a probe, not an answer
        edited(0, 'X'),                                          // other magic
        edited(4, 0x02),                                         // other version
        edited(5, 0x03),                                         // other type
        unasked,
    });
    responder.SetDevices({ExampleDevice()});
    ASSERT_TRUE(client.Open());
    client.SetCallback(RecordEvent);
    client.Scan();
    ASSERT_TRUE(responder.WaitForProbesAnswered(1, kHangGuardMs));
    ASSERT_TRUE(WaitUntilClientCaughtUp());
    auto events = recorder.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].deviceId, ExampleDevice().deviceId);
}

TEST_F(DiscoveryClientTest, NothingIsReportedAfterClearingTheCallback) {
    responder.SetDevices({ExampleDevice()});
    ASSERT_TRUE(client.Open());
    client.SetCallback(RecordEvent);
    client.Scan();
    ASSERT_TRUE(recorder.WaitFor(1));
    client.SetCallback(nullptr);
    client.Scan();
    ASSERT_TRUE(responder.WaitForProbesAnswered(2, kHangGuardMs));
    ASSERT_TRUE(WaitUntilClientCaughtUp());
    EXPECT_EQ(recorder.Events().size(), 1u);
}

TEST_F(DiscoveryClientTest, CallbackMayClearItself) {
    responder.SetDevices({MakeDevice(1, {10, 0, 0, 1}, 60000), MakeDevice(2, {10, 0, 0, 2}, 60000)});
    ASSERT_TRUE(client.Open());
    client.SetCallback(ClearOwnCallback);
    client.Scan();
    ASSERT_TRUE(responder.WaitForProbesAnswered(1, kHangGuardMs));
    ASSERT_TRUE(WaitUntilClientCaughtUp());
    EXPECT_EQ(recorder.Events().size(), 1u);
}

std::atomic<bool> callbackEntered{false};
std::atomic<bool> releaseCallback{false};
std::atomic<bool> clearReturned{false};
std::atomic<bool> clearReturnedWhileRunning{false};

void BlockingCallback(int, int, const unsigned char*, const unsigned char*, int) {
    callbackEntered = true;
    while (!releaseCallback)
        std::this_thread::yield();
    clearReturnedWhileRunning = clearReturned.load();
}

TEST_F(DiscoveryClientTest, ClearingWaitsForARunningCallback) {
    responder.SetDevices({ExampleDevice()});
    ASSERT_TRUE(client.Open());
    client.SetCallback(BlockingCallback);
    client.Scan();
    while (!callbackEntered)
        std::this_thread::yield();
    std::atomic<bool> clearing{false};
    std::thread other([&] {
        clearing = true;
        client.SetCallback(nullptr);
        clearReturned = true;
    });
    while (!clearing)
        std::this_thread::yield();
    releaseCallback = true;
    other.join();
    ASSERT_TRUE(WaitUntilClientCaughtUp());
    EXPECT_FALSE(clearReturnedWhileRunning.load());
}

} // namespace
