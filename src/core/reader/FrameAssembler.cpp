#include "core/reader/FrameAssembler.h"

#include "core/reader/Frame.h"

#include <span>

void FrameAssembler::Append(const std::uint8_t* bytes, std::size_t count) {
    // Compact only when the consumed part dominates, so a burst of frames costs linear time.
    if (start > 0 && start * 2 >= buffer.size()) {
        buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(start));
        start = 0;
    }
    buffer.insert(buffer.end(), bytes, bytes + count);
}

std::optional<std::vector<std::uint8_t>> FrameAssembler::Next() {
    while (start < buffer.size()) {
        ParsedReply parsed = ParseReply(std::span(buffer).subspan(start));
        if (parsed.status == ParseStatus::Incomplete)
            return std::nullopt;
        start += parsed.consumed;
        if (parsed.status == ParseStatus::Ok) {
            std::vector<std::uint8_t> frame(parsed.frame.begin(), parsed.frame.end());
            if (start == buffer.size())
                Clear();
            return frame;
        }
    }
    Clear();
    return std::nullopt;
}

void FrameAssembler::Clear() {
    buffer.clear();
    start = 0;
}
