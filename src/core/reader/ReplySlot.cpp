#include "core/reader/ReplySlot.h"

#include "core/reader/Frame.h"

#include <algorithm>

void ReplySlot::Reset(std::uint8_t awaited) {
    accepted = false;
    awaitedCode = awaited;
    storedLength = 0;
    waiting = true;
    stored.fill(0);
}

FrameRoute HandleReplyFrame(ReplySlot& slot, std::span<const std::uint8_t> frame) {
    const std::size_t r = frame.size();
    if (r < minReplyFrameSize || frame[0] != 0x43 || frame[1] != 0x54)
        return FrameRoute::Dropped;
    const std::size_t length = static_cast<std::size_t>(LengthField(frame));
    if (r < length || frame[6] != 1)
        return FrameRoute::Dropped;

    const std::uint8_t code = frame[5];
    if (code == ReaderCode::tagReport || code == ReaderCode::tagReportShort)
        return FrameRoute::TagReport;
    if (!slot.waiting || (slot.awaitedCode != 0 && slot.awaitedCode != code))
        return FrameRoute::Ignored;

    slot.accepted = true;
    slot.waiting = false;
    if (slot.awaitedCode != 0) {
        slot.storedLength = 0;
        // Status through checksum is length - 2 bytes starting at byte 6; never read past the
        // frame (a short chunk would otherwise store stale bytes).
        if (length < 256 && length > 2 && r >= length + 4) {
            std::copy_n(frame.begin() + 6, length - 2, slot.stored.begin());
            slot.storedLength = static_cast<int>(length - 2);
        }
    }
    return FrameRoute::Accepted;
}
