// What a reader sends is routed as the link routes it: replies into the one reply slot, tag
// reports through the id parser and the recent-tag filter. The input is a script of steps,
// so that well-formed frames, noise, clock steps and new requests mix in any order.
#include "ByteCursor.h"
#include "FuzzCheck.h"
#include "core/reader/Commands.h"
#include "core/reader/Frame.h"
#include "core/reader/FrameAssembler.h"
#include "core/reader/HexText.h"
#include "core/reader/RecentTagFilter.h"
#include "core/reader/RegionCodes.h"
#include "core/reader/ReplySlot.h"
#include "core/reader/TagReport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

// The codes a request can wait for (0: any reply ends the wait).
constexpr std::uint8_t kAwaited[] = {0,
                                     ReaderCode::getParameter,
                                     ReaderCode::getRegion,
                                     ReaderCode::readExtended,
                                     ReaderCode::writeExtended,
                                     ReaderCode::whitelistCount,
                                     ReaderCode::whitelistEntry};

bool IsIdText(const std::string& text) {
    if (text.size() % 2 != 0)
        return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

// An id text the register can hold converts to the bytes it was made from and back.
void CheckIdText(const std::string& text) {
    Require(IsIdText(text), "an id is capital hexadecimal, two digits per byte");
    if (!text.empty() && text.size() <= 32) {
        std::optional<std::vector<std::uint8_t>> bytes = HexToBytes(text);
        Require(bytes && BytesToHex(bytes->data(), bytes->size()) == text, "an id text converts both ways");
    }
}

void CheckResults(const ReplySlot& slot) {
    Require(slot.storedLength >= 0 && static_cast<std::size_t>(slot.storedLength) <= slot.stored.size(),
            "a stored reply fits its slot");
    if (std::optional<int> value = Commands::ParameterValue(slot, slot.stored[1]))
        Require(*value >= 0 && *value <= 0xFF, "a parameter is one byte");
    const int region = Commands::RegionIndex(slot);
    if (region != -1) {
        bool listed = false;
        for (const RegionCode& code : RegionTable())
            listed = listed || code.index == region;
        Require(listed, "a region read is one the list offers");
    }
    ExtendedBlock block{};
    (void)Commands::CopyExtendedBlock(slot, block);
    (void)Commands::WriteConfirmed(slot);
    const int count = Commands::WhitelistCount(slot);
    Require(count >= 0 && count <= 0xFFFF, "a whitelist count is two bytes");
    const std::string entry = Commands::WhitelistEntryText(slot);
    CheckIdText(entry);
    Require(entry.size() <= 2 * 255, "an entry holds at most 255 id bytes");
}

void Route(ReplySlot& slot, RecentTagFilter& recent, std::uint32_t nowMs, const std::vector<std::uint8_t>& frame) {
    if (HandleReplyFrame(slot, frame) != FrameRoute::TagReport)
        return;
    for (const std::string& id : ParseTagReport(frame)) {
        CheckIdText(id);
        const bool shown = recent.Admit(id, nowMs);
        Require(!shown || !id.empty(), "an empty id is never shown");
    }
}

// code, status, data length, data: a reply frame with a correct length field and checksum.
std::vector<std::uint8_t> MakeReply(ByteCursor& script) {
    const std::uint8_t code = script.Byte();
    const std::uint8_t status = script.Byte();
    const std::span<const std::uint8_t> body = script.Take(script.Byte());
    std::vector<std::uint8_t> frame{0x43, 0x54, 0, 0, readerAddress, code, status};
    frame.insert(frame.end(), body.begin(), body.end());
    const std::size_t length = frame.size() - 4 + 1;
    frame[2] = static_cast<std::uint8_t>(length >> 8);
    frame[3] = static_cast<std::uint8_t>(length & 0xFF);
    frame.push_back(Checksum(frame));
    return frame;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteCursor script({data, size});
    FrameAssembler assembler;
    ReplySlot slot;
    RecentTagFilter recent;
    std::uint32_t nowMs = 1;

    while (!script.Empty()) {
        switch (script.Byte() % 4) {
        case 0:
            slot.Reset(kAwaited[script.Byte() % std::size(kAwaited)]);
            break;
        case 1: {
            const std::vector<std::uint8_t> frame = MakeReply(script);
            assembler.Append(frame.data(), frame.size());
            break;
        }
        case 2: {
            const std::span<const std::uint8_t> raw = script.Take(script.Byte());
            assembler.Append(raw.data(), raw.size());
            break;
        }
        case 3:
            nowMs += script.Word() * 16u; // the counter wraps as the real one does
            break;
        }
        while (std::optional<std::vector<std::uint8_t>> frame = assembler.Next())
            Route(slot, recent, nowMs, *frame);
        CheckResults(slot);
    }
    return 0;
}
