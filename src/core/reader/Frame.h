#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Frames of the reader protocol. Requests: "SW", length (2 bytes, big-endian), address 0xFF,
// code, payload, checksum. Replies: "CT", length, address, code, status, data, checksum.
// The length counts the bytes after itself, so a frame is 4 + length bytes long.

namespace ReaderCode {
inline constexpr std::uint8_t runOff = 0x40;
inline constexpr std::uint8_t runOn = 0x41;
inline constexpr std::uint8_t getParameter = 0x23;
inline constexpr std::uint8_t setParameter = 0x24;
inline constexpr std::uint8_t getRegion = 0x3E;
inline constexpr std::uint8_t setRegion = 0x3F;
inline constexpr std::uint8_t readExtended = 0x2E;
inline constexpr std::uint8_t writeExtended = 0x2F;
inline constexpr std::uint8_t whitelistCount = 0xE8;
inline constexpr std::uint8_t whitelistEntry = 0xE9;
inline constexpr std::uint8_t whitelistAdd = 0xEA;
inline constexpr std::uint8_t whitelistClear = 0xEB;
inline constexpr std::uint8_t whitelistDelete = 0xEC;
inline constexpr std::uint8_t tagReport = 0x45;
inline constexpr std::uint8_t tagReportShort = 0x01;
} // namespace ReaderCode

inline constexpr std::uint8_t readerAddress = 0xFF;
// The TCP port a reader speaks this protocol on unless it was set up otherwise.
inline constexpr std::uint16_t defaultReaderPort = 60000;
// The reader's own receive buffer was 512 bytes; a longer "frame" can only be noise.
inline constexpr std::size_t maxReplyFrameSize = 512;
// Smallest reply that still carries a status byte: C T len len address code status.
inline constexpr std::size_t minReplyFrameSize = 7;

// Two's complement of the low 8 bits of the byte sum, so a whole frame adds up to 0 mod 256.
std::uint8_t Checksum(std::span<const std::uint8_t> bytes);

std::vector<std::uint8_t> BuildRequest(std::uint8_t code, std::span<const std::uint8_t> payload = {});

// Reads the length field of a frame (bytes 2 and 3); the frame must have at least 4 bytes.
inline int LengthField(std::span<const std::uint8_t> frame) {
    return frame[2] << 8 | frame[3];
}

enum class ParseStatus {
    Ok,         // frame holds one complete reply frame
    Incomplete, // the data start a frame that needs more bytes; nothing consumed
    Bad,        // the leading bytes cannot start a frame; drop `consumed` bytes and try again
};

struct ParsedReply {
    ParseStatus status = ParseStatus::Incomplete;
    std::span<const std::uint8_t> frame;
    std::size_t consumed = 0;
};

// Looks for a reply frame at the start of data. Bytes before a "CT" header come back as Bad,
// consumed up to the next possible header; the checksum is not verified (readers are trusted
// on it, as they always were).
ParsedReply ParseReply(std::span<const std::uint8_t> data);
