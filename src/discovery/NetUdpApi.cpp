#include "discovery/NetUdpApi.h"

#include "core/discovery/DiscoveryClient.h"

namespace {

discovery::DiscoveryClient& Client() {
#ifdef _WIN32
    // Never destroyed: joining a thread while the loader unloads a DLL deadlocks.
    static auto* client = new discovery::DiscoveryClient;
    return *client;
#else
    static discovery::DiscoveryClient client;
    return client;
#endif
}

} // namespace

extern "C" {

NETUDP_API int NetUdp_OpenDevice(void) {
    return Client().Open() ? 1 : 0;
}

NETUDP_API void NetUdp_SetCallbackAddr(NetUdpCallback callback) {
    Client().SetCallback(callback);
}

NETUDP_API void NetUdp_ScanDevice(void) {
    Client().Scan();
}
}
