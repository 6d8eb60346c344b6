#include "core/reader/Frame.h"

std::uint8_t Checksum(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes)
        sum += b;
    return static_cast<std::uint8_t>(0u - sum);
}

std::vector<std::uint8_t> BuildRequest(std::uint8_t code, std::span<const std::uint8_t> payload) {
    const std::size_t length = payload.size() + 3; // address, code, checksum
    std::vector<std::uint8_t> frame(4 + length);
    frame[0] = 0x53;
    frame[1] = 0x57;
    frame[2] = static_cast<std::uint8_t>(length >> 8);
    frame[3] = static_cast<std::uint8_t>(length & 0xFF);
    frame[4] = readerAddress;
    frame[5] = code;
    for (std::size_t i = 0; i < payload.size(); ++i)
        frame[6 + i] = payload[i];
    frame.back() = Checksum(std::span(frame).first(frame.size() - 1));
    return frame;
}

ParsedReply ParseReply(std::span<const std::uint8_t> data) {
    ParsedReply result;
    if (data.empty())
        return result;
    const bool startsHeader = data[0] == 0x43 && (data.size() == 1 || data[1] == 0x54);
    if (!startsHeader) {
        std::size_t next = 1;
        while (next < data.size() && data[next] != 0x43)
            ++next;
        result.status = ParseStatus::Bad;
        result.consumed = next;
        return result;
    }
    if (data.size() < 4)
        return result;
    const std::size_t total = 4 + static_cast<std::size_t>(LengthField(data));
    if (total < minReplyFrameSize || total > maxReplyFrameSize) {
        // A "CT" inside noise; skip its first byte and look again.
        result.status = ParseStatus::Bad;
        result.consumed = 1;
        return result;
    }
    if (data.size() < total)
        return result;
    result.status = ParseStatus::Ok;
    result.frame = data.first(total);
    result.consumed = total;
    return result;
}
