#pragma once

#include "core/reader/ReplySlot.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t extendedBlockSize = 194;
using ExtendedBlock = std::array<std::uint8_t, extendedBlockSize>;

// What happens between attempts when an attempt did not end the operation.
enum class PauseRule {
    None,               // single-attempt operations return at once
    AfterEachFailure,   // pause after every failed attempt, the last one included
    NotAfterShortReply, // as AfterEachFailure, but an accepted reply too short to use retries at once
    OnlyWhenUnanswered, // pause only when no reply was accepted at all
};

// One reader operation: the frame to send, what reply to wait for, how often to try and when
// to stop. An empty request means there is nothing to send (an id or region that does not
// convert); the operation then fails at once.
struct Command {
    std::vector<std::uint8_t> request;
    std::uint8_t awaitedCode = 0;
    int attempts = 1;
    PauseRule pause = PauseRule::None;
    bool (*endsWhen)(const ReplySlot&) = nullptr;
};

// The transport side of the attempt loop. exchange() sends the request and waits for the
// reply; it returns false when nothing could be sent (refused, link gone), which ends the
// operation at once. pause() returns false when the link went away during the pause.
struct AttemptHooks {
    std::function<bool()> connected;
    std::function<bool()> exchange;
    std::function<bool()> pause;
};

// Runs the attempts of a command; true when its ending condition held after an attempt.
[[nodiscard]] bool RunAttempts(const Command& command, const ReplySlot& slot, const AttemptHooks& hooks);

// Every stored reply ends with the reply's checksum; data are only the bytes before it, so a
// reply one byte short never lends its checksum as a value.
namespace Commands {
Command SetRunning(bool on);
Command GetParameter(std::uint8_t id);
Command SetParameter(std::uint8_t id, std::uint8_t value);
Command GetRegion();
Command SetRegion(int index);
Command ReadExtendedBlock();
Command WriteExtendedBlock(const ExtendedBlock& block);
Command ReadWhitelistCount();
Command ReadWhitelistEntry(int index);
Command AddWhitelistEntry(std::string_view idText);
Command ClearWhitelist();
Command DeleteWhitelistEntry(std::string_view idText);

// Results, read from the slot after the attempts.
std::optional<int> ParameterValue(const ReplySlot& slot, std::uint8_t id);
int RegionIndex(const ReplySlot& slot); // -1 unknown or failed
bool CopyExtendedBlock(const ReplySlot& slot, ExtendedBlock& block);
bool WriteConfirmed(const ReplySlot& slot);
int WhitelistCount(const ReplySlot& slot);             // 0 when failed
std::string WhitelistEntryText(const ReplySlot& slot); // empty when failed or no id bytes
} // namespace Commands
