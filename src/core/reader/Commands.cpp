#include "core/reader/Commands.h"

#include "core/reader/Frame.h"
#include "core/reader/HexText.h"
#include "core/reader/ParameterIds.h"
#include "core/reader/RegionCodes.h"

#include <algorithm>

namespace {
// status, value bytes, checksum
bool HoldsData(const ReplySlot& slot, int dataBytes) {
    return slot.accepted && slot.storedLength >= dataBytes + 2 && slot.stored[0] == 1;
}

bool AnyReply(const ReplySlot& slot) {
    return slot.accepted;
}
// status, one byte ahead of the block, the block, checksum
bool ExtendedBlockComplete(const ReplySlot& slot) {
    return HoldsData(slot, 1 + static_cast<int>(extendedBlockSize));
}
bool CountComplete(const ReplySlot& slot) {
    return HoldsData(slot, 2);
}
bool EntryPresent(const ReplySlot& slot) {
    return slot.accepted && slot.storedLength > 1;
}

Command Make(std::uint8_t code, std::vector<std::uint8_t> payload, std::uint8_t awaited, int attempts, PauseRule pause,
             bool (*endsWhen)(const ReplySlot&)) {
    return Command{BuildRequest(code, payload), awaited, attempts, pause, endsWhen};
}

Command WithId(std::uint8_t code, std::string_view idText) {
    Command command{{}, 0, 2, PauseRule::AfterEachFailure, AnyReply};
    std::optional<std::vector<std::uint8_t>> bytes = HexToBytes(idText);
    if (!bytes)
        return command;
    std::vector<std::uint8_t> payload;
    payload.push_back(static_cast<std::uint8_t>(bytes->size()));
    payload.insert(payload.end(), bytes->begin(), bytes->end());
    command.request = BuildRequest(code, payload);
    return command;
}
} // namespace

bool RunAttempts(const Command& command, const ReplySlot& slot, const AttemptHooks& hooks) {
    if (command.request.empty())
        return false;
    for (int made = 0; made < command.attempts && hooks.connected(); ++made) {
        if (!hooks.exchange())
            return false;
        if (command.endsWhen(slot))
            return true;
        bool pause = false;
        switch (command.pause) {
        case PauseRule::None:
            break;
        case PauseRule::AfterEachFailure:
            pause = true;
            break;
        case PauseRule::NotAfterShortReply:
            pause = !(slot.accepted && slot.storedLength >= 3);
            break;
        case PauseRule::OnlyWhenUnanswered:
            pause = !slot.accepted;
            break;
        }
        if (pause && hooks.connected() && !hooks.pause())
            return false;
    }
    return false;
}

namespace Commands {
Command SetRunning(bool on) {
    return Make(on ? ReaderCode::runOn : ReaderCode::runOff, {}, 0, 1, PauseRule::None, AnyReply);
}

Command GetParameter(std::uint8_t id) {
    return Make(ReaderCode::getParameter, {id}, ReaderCode::getParameter, 1, PauseRule::None, AnyReply);
}

Command SetParameter(std::uint8_t id, std::uint8_t value) {
    return Make(ReaderCode::setParameter, {id, value}, 0, 1, PauseRule::None, AnyReply);
}

Command GetRegion() {
    return Make(ReaderCode::getRegion, {}, ReaderCode::getRegion, 1, PauseRule::None, AnyReply);
}

Command SetRegion(int index) {
    std::optional<std::array<std::uint8_t, 2>> pair = RegionPairForIndex(index);
    if (!pair)
        return Command{{}, 0, 1, PauseRule::None, AnyReply};
    return Make(ReaderCode::setRegion, {(*pair)[0], (*pair)[1]}, 0, 1, PauseRule::None, AnyReply);
}

Command ReadExtendedBlock() {
    return Make(ReaderCode::readExtended, {}, ReaderCode::readExtended, 2, PauseRule::NotAfterShortReply,
                ExtendedBlockComplete);
}

Command WriteExtendedBlock(const ExtendedBlock& block) {
    std::vector<std::uint8_t> payload;
    payload.reserve(1 + block.size());
    payload.push_back(extendedBlockMarker);
    payload.insert(payload.end(), block.begin(), block.end());
    return Make(ReaderCode::writeExtended, std::move(payload), ReaderCode::writeExtended, 1,
                PauseRule::OnlyWhenUnanswered, AnyReply);
}

Command ReadWhitelistCount() {
    return Make(ReaderCode::whitelistCount, {}, ReaderCode::whitelistCount, 2, PauseRule::AfterEachFailure,
                CountComplete);
}

Command ReadWhitelistEntry(int index) {
    if (index < 0 || index > 0xFFFF)
        return Command{{}, ReaderCode::whitelistEntry, 2, PauseRule::AfterEachFailure, EntryPresent};
    const std::vector<std::uint8_t> payload{static_cast<std::uint8_t>(index >> 8),
                                            static_cast<std::uint8_t>(index & 0xFF)};
    return Make(ReaderCode::whitelistEntry, payload, ReaderCode::whitelistEntry, 2, PauseRule::AfterEachFailure,
                EntryPresent);
}

Command AddWhitelistEntry(std::string_view idText) {
    return WithId(ReaderCode::whitelistAdd, idText);
}

Command ClearWhitelist() {
    return Make(ReaderCode::whitelistClear, {}, 0, 2, PauseRule::AfterEachFailure, AnyReply);
}

Command DeleteWhitelistEntry(std::string_view idText) {
    return WithId(ReaderCode::whitelistDelete, idText);
}

std::optional<int> ParameterValue(const ReplySlot& slot, std::uint8_t id) {
    if (!HoldsData(slot, 2) || slot.stored[1] != id)
        return std::nullopt;
    return slot.stored[2];
}

int RegionIndex(const ReplySlot& slot) {
    if (!HoldsData(slot, 2))
        return -1;
    return RegionIndexFromPair(slot.stored[1], slot.stored[2]);
}

bool CopyExtendedBlock(const ReplySlot& slot, ExtendedBlock& block) {
    if (!ExtendedBlockComplete(slot))
        return false;
    std::copy_n(slot.stored.begin() + 2, block.size(), block.begin());
    return true;
}

bool WriteConfirmed(const ReplySlot& slot) {
    return slot.accepted && slot.storedLength > 0 && slot.stored[0] == 1;
}

int WhitelistCount(const ReplySlot& slot) {
    if (!CountComplete(slot))
        return 0;
    return slot.stored[1] << 8 | slot.stored[2];
}

std::string WhitelistEntryText(const ReplySlot& slot) {
    if (!EntryPresent(slot))
        return {};
    // n, bounded by what the length field leaves for id bytes (length - 5 = stored - 3).
    const int count = std::min<int>(slot.stored[1], slot.storedLength - 3);
    if (count <= 0)
        return {};
    return BytesToHex(slot.stored.data() + 2, static_cast<std::size_t>(count));
}
} // namespace Commands
