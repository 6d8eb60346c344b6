#pragma once

#include "core/discovery/DiscoveryTarget.h"
#include "core/discovery/DiscoveryWire.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

// Probes in these tests only ever go to 127.0.0.1: the target names the responder's port and
// the library's guard refuses anything else.
inline void SetTestVariable(const char* name, const std::string& value) {
#ifdef _WIN32
    ::_putenv_s(name, value.c_str());
#else
    ::setenv(name, value.c_str(), 1);
#endif
}

inline void PointDiscoveryAtLoopback(std::uint16_t port) {
    SetTestVariable(discovery::kLoopbackOnlyVariable, "1");
    SetTestVariable(discovery::kTargetVariable, "127.0.0.1:" + std::to_string(port));
}

inline discovery::DeviceRecord MakeDevice(std::uint8_t idTail, std::array<std::uint8_t, 4> ipv4,
                                          std::uint16_t tcpPort) {
    discovery::DeviceRecord device;
    device.deviceId = {0x00, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, idTail};
    device.mac = {0x02, 0x00, 0x00, 0x00, 0x00, idTail};
    device.ipv4 = ipv4;
    device.netmask = {255, 255, 255, 0};
    device.gateway = {ipv4[0], ipv4[1], ipv4[2], 1};
    device.tcpPort = tcpPort;
    return device;
}

// The example reader: id 00 0A 1B 2C 3D 4E 5F at 192.168.1.100, port 60000.
inline discovery::DeviceRecord ExampleDevice() {
    return MakeDevice(0x5F, {0xC0, 0xA8, 0x01, 0x64}, 60000);
}

struct DiscoveryEvent {
    int event = 0;
    int subEvent = 0;
    discovery::DeviceId deviceId{};
    discovery::DeviceInfo deviceInfo{};
    int extra = -1;
};

// Collects events from the library's receive thread. Callbacks are plain function pointers,
// so each test program keeps one recorder.
class EventRecorder {
public:
    void Record(int event, int subEvent, const unsigned char* deviceId, const unsigned char* deviceInfo, int extra) {
        DiscoveryEvent copy;
        copy.event = event;
        copy.subEvent = subEvent;
        std::copy(deviceId, deviceId + copy.deviceId.size(), copy.deviceId.begin());
        std::copy(deviceInfo, deviceInfo + copy.deviceInfo.size(), copy.deviceInfo.begin());
        copy.extra = extra;
        {
            std::lock_guard guard(lock);
            events.push_back(copy);
        }
        changed.notify_all();
    }

    // Waits for at least count events; the limit only keeps a broken build from hanging.
    bool WaitFor(std::size_t count) {
        std::unique_lock guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(10), [&] { return events.size() >= count; });
    }

    std::vector<DiscoveryEvent> Events() {
        std::lock_guard guard(lock);
        return events;
    }

    void Clear() {
        std::lock_guard guard(lock);
        events.clear();
    }

private:
    std::mutex lock;
    std::condition_variable changed;
    std::vector<DiscoveryEvent> events;
};

inline constexpr int kHangGuardMs = 10000;
