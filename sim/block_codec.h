#pragma once
// The module's side of the 270-byte block frame: reading what the program
// writes (checksum most significant byte first) and building what the module
// answers (checksum least significant byte first).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sim/layout.h"

namespace corvanta::sim {

using Frame = std::array<uint8_t, layout::kFrameSize>;

// Sum over bytes 0..265; the 256 data bytes are first XORed with their offset.
uint32_t frameSum(const Frame& frame);

uint16_t frameAddress(const Frame& frame);

// True when bytes 266..269 hold frameSum most significant byte first, the
// order the program uses.
bool programSumHolds(const Frame& frame);

// Puts the address and the checksum (least significant byte first) in place.
void sealModuleFrame(Frame& frame, uint16_t address);

// Big-endian checksum, as the program seals its frames; the simulator's
// tests use it to build writes.
void sealProgramFrame(Frame& frame, uint16_t address);

// 540 hex digits, high nibble first; lower case only when asked (a fault).
std::string frameHex(const Frame& frame, bool lowerCase = false);

// Exactly 540 upper-case hex digits, or nothing.
std::optional<Frame> parseFrameHex(std::string_view digits);

// Upper-case hex helpers for the text frames.
std::string hexByte(uint8_t value);
std::optional<uint16_t> parseHex4(std::string_view digits);

}  // namespace corvanta::sim
