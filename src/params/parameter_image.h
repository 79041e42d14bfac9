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

}  // namespace corvanta
