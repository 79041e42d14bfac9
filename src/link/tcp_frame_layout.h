#pragma once
// Byte layout of the TCP/IP frames: one table for the wire frame and the two
// kinds of plain block inside it.

#include <array>
#include <cstddef>
#include <cstdint>

namespace corvanta {

inline constexpr std::size_t kAesBlockSize = 16;
using AesBlock = std::array<std::uint8_t, kAesBlockSize>;
using AesKey = std::array<std::uint8_t, kAesBlockSize>;

namespace tcpframe {
// Wire frame: "{" + one ciphertext block + "}".
inline constexpr std::size_t kFrameSize = 18;
inline constexpr std::size_t kStartOffset = 0;
inline constexpr std::size_t kCipherOffset = 1;
inline constexpr std::size_t kEndOffset = 17;
inline constexpr std::uint8_t kStart = '{';
inline constexpr std::uint8_t kEnd = '}';

// Plain data block: "[" + random as two hex digits + piece + zeros + "]".
inline constexpr std::size_t kDataOpenOffset = 0;
inline constexpr std::size_t kDataRandomOffset = 1;
inline constexpr std::size_t kDataPieceOffset = 3;
inline constexpr std::size_t kDataPieceSize = 12;
inline constexpr std::size_t kDataCloseOffset = 15;
inline constexpr std::uint8_t kDataOpen = '[';
inline constexpr std::uint8_t kDataClose = ']';

// Plain hello block: "(" + seven randoms as two hex digits each + ")".
inline constexpr std::size_t kHelloOpenOffset = 0;
inline constexpr std::size_t kHelloRandomOffset = 1;
inline constexpr std::size_t kHelloRandomCount = 7;
inline constexpr std::size_t kHelloCloseOffset = 15;
inline constexpr std::uint8_t kHelloOpen = '(';
inline constexpr std::uint8_t kHelloClose = ')';
}  // namespace tcpframe

}  // namespace corvanta
