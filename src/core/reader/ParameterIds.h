#pragma once

#include <cstddef>
#include <cstdint>

// The reader's one-byte working parameters, as read with GetParameter and written with
// SetParameter.
namespace ParameterId {
inline constexpr std::uint8_t workMode = 2;
inline constexpr std::uint8_t filterTime = 4;
inline constexpr std::uint8_t rfPower = 5;
inline constexpr std::uint8_t buzzer = 6;
inline constexpr std::uint8_t triggerValidTime = 13;
} // namespace ParameterId

// Values of the work mode parameter. In Active mode the reader reports tags unasked.
namespace WorkMode {
inline constexpr int answer = 0;
inline constexpr int active = 1;
inline constexpr int trigger = 2;
} // namespace WorkMode

// The bytes of the extended block that the program interprets; every other byte is carried
// through as the reader sent it.
namespace BlockOffset {
inline constexpr std::size_t relaySwitch = 21;
inline constexpr std::size_t relayValidTime = 22;
inline constexpr std::size_t whitelistSwitch = 27;
} // namespace BlockOffset

// The byte ahead of the extended block, in a read reply and in a write request alike.
inline constexpr std::uint8_t extendedBlockMarker = 0xC3;
