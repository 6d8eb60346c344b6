#pragma once

/* Reader discovery library. Probes the local network for readers and reports each answer
 * through a callback.
 *
 * Threads: events are delivered on the library's own receive thread, never on the caller's.
 * A user-interface program must hand them over to its user-interface thread (for example by
 * posting a queued call) and must not block inside the callback waiting for that thread.
 * The deviceId and deviceInfo pointers are valid only during the call; copy what is needed.
 *
 * Environment:
 *   LUMETRA_DISCOVERY_TARGET=host:port  probe only this IPv4 host and port instead of the
 *                                       broadcast address of every interface.
 *   LUMETRA_DISCOVERY_LOOPBACK_ONLY     when set, nothing is ever sent outside 127.0.0.0/8. */

#if defined(_WIN32)
#if defined(NETUDPAPI_BUILDING)
#define NETUDP_API __declspec(dllexport)
#else
#define NETUDP_API __declspec(dllimport)
#endif
#else
#define NETUDP_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* event 2, subEvent 1: a reader answered. deviceId: 7 bytes. deviceInfo: 22 bytes, MAC at 0-5,
 * IPv4 at 8-11, netmask at 12-15, gateway at 16-19, TCP port at 20-21 (high byte first).
 * extra: 0. */
enum {
    NETUDP_EVENT_FOUND = 2,
    NETUDP_SUBEVENT_ANSWER = 1,
    NETUDP_DEVICE_ID_SIZE = 7,
    NETUDP_DEVICE_INFO_SIZE = 22,
    NETUDP_INFO_IPV4_AT = 8,
    NETUDP_INFO_PORT_AT = 20
};

typedef void (*NetUdpCallback)(int event, int subEvent, const unsigned char* deviceId, const unsigned char* deviceInfo,
                               int extra);

/* Opens the socket and starts the receive thread. Not 0 when ready; calling it again after
 * success does nothing more and reports ready again. The library stays open for the process. */
NETUDP_API int NetUdp_OpenDevice(void);

/* Sets the callback, or with NULL stops reporting. Once this returns, the previous callback
 * is not running and will not be called again. */
NETUDP_API void NetUdp_SetCallbackAddr(NetUdpCallback callback);

/* Sends one probe to every discovery target; answers arrive later through the callback. */
NETUDP_API void NetUdp_ScanDevice(void);

#ifdef __cplusplus
}
#endif
