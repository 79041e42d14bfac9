#pragma once
// The module's radio frame "AT_<": the state of its 36 radio device slots
// (sensors A and B of the twelve inputs, then the twelve users' remote
// controls) and the strength of the last radio signal, and how one slot is
// shown to the installer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvanta {

namespace radio_layout {
// Line offsets.
inline constexpr std::string_view kPrefix = "AT_<";
inline constexpr std::size_t kHexOffset = 4;      // 40 bytes, two hex digits each
inline constexpr std::size_t kFrameBytes = 40;
inline constexpr std::size_t kEndOffset = 84;
inline constexpr char kEndMark = '>';
// Frame bytes.
inline constexpr std::size_t kSlotCount = 36;
inline constexpr std::size_t kSensorASlot = 0;    // inputs 1..12
inline constexpr std::size_t kSensorBSlot = 12;
inline constexpr std::size_t kRemoteSlot = 24;    // users 1..12
inline constexpr std::size_t kLearningByte = 36;
inline constexpr std::size_t kStrengthByte = 37;
inline constexpr int kMaxStrength = 63;
// Learning marker: bit 7 set, the slot in bits 0..6.
inline constexpr std::uint8_t kLearningFlag = 0x80;
inline constexpr std::uint8_t kLearningSlotMask = 0x7F;
// Slot byte bits.
inline constexpr std::uint8_t kSlotPresent = 0x01;
inline constexpr std::uint8_t kSlotLearning = 0x02;
inline constexpr std::uint8_t kSlotLowBattery = 0x04;
inline constexpr int kSlotNumberShift = 3;
inline constexpr std::uint8_t kSlotNumberMask = 0x0F;
inline constexpr std::uint8_t kSlotAlert = 0x80;
}  // namespace radio_layout

struct RadioFrame {
    // The slot bytes with their learning bit taken from the learning marker.
    std::array<std::uint8_t, radio_layout::kSlotCount> slotBytes{};
    std::uint8_t strength = 0;
};

// Nothing for a line without the prefix or without ">" at offset 84 (a short
// line included). A digit pair that is not upper-case hex decodes as 0.
std::optional<RadioFrame> decodeRadioFrame(std::string_view line);

enum class SlotColour { ButtonFace, Teal, Blue, Yellow, Red };

struct SlotDisplay {
    std::string text;  // UTF-8
    SlotColour colour = SlotColour::ButtonFace;
    bool operator==(const SlotDisplay&) const = default;
};

SlotDisplay slotDisplay(std::uint8_t slotByte);

// Which device a slot (0..35) holds, in UTF-8, as the teaching question
// names it: "IN6 'A' szenzor", "3. felhasználó távvezérlője".
std::string radioSlotName(int slot);

}  // namespace corvanta
