#pragma once
// The program's copy of the module's 2048-byte parameter memory: eight blocks
// of 256 bytes, block n holding bytes 256*n .. 256*n+255.

#include <array>
#include <cstddef>
#include <cstdint>

namespace corvanta {

inline constexpr std::size_t kImageSize = 2048;
inline constexpr std::size_t kImageBlockSize = 256;
inline constexpr std::size_t kImageBlockCount = 8;

using ParameterImage = std::array<std::uint8_t, kImageSize>;

// What the image holds, by count.
inline constexpr int kUserCount = 12;
inline constexpr int kZoneCount = 12;
inline constexpr int kEventCount = 47;       // reporting events, names 1..47
inline constexpr int kPhoneCount = 7;
inline constexpr int kRelayCount = 3;
inline constexpr int kRelayRowCount = 60;    // trigger rows per relay bitmap
inline constexpr int kSirenCount = 2;
inline constexpr int kRemoteCount = 12;
inline constexpr int kRemoteButtonCount = 4;

}  // namespace corvanta
