#pragma once
// Where things stand in the module's "AT_[" status line and "AT_{" event
// line. Offsets count from the "A" of the prefix.

#include <array>
#include <cstddef>

namespace corvanta::statusframe {

inline constexpr std::size_t kZones = 12;

// Frame kinds 1..4 by length; the later kinds append mains, battery and
// temperature readings.
inline constexpr std::array<std::size_t, 4> kKindLength = {84, 86, 89, 92};

// Separators every kind carries.
inline constexpr std::array<std::size_t, 6> kCommas = {36, 51, 65, 68, 78, 81};

inline constexpr std::size_t kZoneState0 = 36;  // + n for input n (1..12)
inline constexpr std::size_t kInputA = 49;
inline constexpr std::size_t kInputB = 50;
inline constexpr std::size_t kZoneType0 = 51;  // + n for input n (1..12)
inline constexpr std::size_t kTerminalVoltage = 66;  // voltage pair
inline constexpr std::size_t kOut1On = 69;
inline constexpr std::size_t kOut2On = 70;
inline constexpr std::size_t kRelay1On = 71;  // relays 1..3 follow one another
inline constexpr std::size_t kKeypadOvercurrent = 74;
inline constexpr std::size_t kFixed12VOvercurrent = 75;
inline constexpr std::size_t kOut1Overcurrent = 76;
inline constexpr std::size_t kOut2Overcurrent = 77;
inline constexpr std::size_t kPartition1Armed = 79;
inline constexpr std::size_t kPartition2Armed = 80;
inline constexpr std::size_t kGsmLevel = 82;
inline constexpr std::size_t kMains = 84;           // kinds 2..4
inline constexpr std::size_t kBatteryVoltage = 86;  // kinds 3..4, voltage pair
inline constexpr std::size_t kTemperature = 89;     // kind 4, temperature pair

}  // namespace corvanta::statusframe

namespace corvanta::eventframe {

inline constexpr std::size_t kEntries = 8;
inline constexpr std::size_t kEntryBytes = 8;
inline constexpr std::size_t kFirstEntry = 4;  // two hex digits per byte from here
inline constexpr std::size_t kLength = kFirstEntry + 2 * kEntries * kEntryBytes;  // 132

}  // namespace corvanta::eventframe
