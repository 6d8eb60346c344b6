#pragma once

#include <array>
#include <cstdint>
#include <span>

// The one outstanding request of a link and what its reply left behind.
struct ReplySlot {
    std::uint8_t awaitedCode = 0; // 0: the first reply of any code ends the wait
    bool waiting = false;         // stays set after a time-out, so a late reply is still taken
    bool accepted = false;
    int storedLength = 0;
    // The accepted reply from its status byte on: status, data, checksum (last stored byte).
    std::array<std::uint8_t, 256> stored{};

    // Prepares the slot for a new request.
    void Reset(std::uint8_t awaited);
};

enum class FrameRoute {
    Dropped,   // not a usable reply: too short, no "CT", status other than 1
    TagReport, // code 0x45 or 0x01; the caller parses it, the slot is untouched
    Accepted,  // ended the wait of the slot
    Ignored,   // no request waiting for this code
};

// The receive path's acceptance rules for one complete frame. A reply is stored only when a
// specific code was awaited, and only when its length field is 3 to 255 and the frame holds
// all the bytes the length field promises.
FrameRoute HandleReplyFrame(ReplySlot& slot, std::span<const std::uint8_t> frame);
