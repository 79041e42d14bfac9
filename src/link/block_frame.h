#pragma once
// The 270-byte unit in which module memory is read and written, its checksum
// and the two text forms it travels in over the line protocol.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvanta {

// Byte map of a frame.
inline constexpr std::size_t kFrameSize = 270;
inline constexpr std::size_t kFrameDataOffset = 0;
inline constexpr std::size_t kFrameDataSize = 256;
inline constexpr std::size_t kFrameExtensionOffset = 256;  // 8 bytes
inline constexpr std::size_t kFrameExtensionSize = 8;
inline constexpr std::size_t kFrameAddressOffset = 264;    // high byte first
inline constexpr std::size_t kFrameChecksumOffset = 266;   // 4 bytes

// Text forms.
inline constexpr std::string_view kReadCommand = "RDFL";
inline constexpr std::string_view kWriteCommand = "WRFL";
inline constexpr std::string_view kCommitCommand = "WRACT";
inline constexpr std::size_t kFrameDigits = 2 * kFrameSize;                      // 540
inline constexpr std::size_t kBlockReplyLength = 4 + kFrameDigits;               // 544

// Block addresses.
inline constexpr std::uint16_t kFirstParameterBlock = 0x0000;
inline constexpr std::uint16_t kFirstFirmwareBlock = 0x0021;
inline constexpr std::uint16_t kFirmwareCheckBlock = 0x0221;
inline constexpr std::uint16_t kFirstEventBlock = 0xF000;
inline constexpr std::uint16_t kClockBlock = 0xFFFE;
inline constexpr std::uint16_t kVersionBlock = 0xFFFF;

using BlockFrame = std::array<std::uint8_t, kFrameSize>;

// Sum over offsets 0..265, each data byte (offset < 256) XORed with its offset
// first. At most 67830, so the top byte is always zero.
std::uint32_t blockChecksum(const BlockFrame& frame);

// Address at 264..265 and checksum at 266..269, both most significant byte
// first: the form the tool sends.
void sealFrame(BlockFrame& frame, std::uint16_t address);

// The module stores its checksum least significant byte first; the simulator
// and tests need that form too.
void sealModuleFrame(BlockFrame& frame, std::uint16_t address);

std::uint16_t frameAddress(const BlockFrame& frame);

// "RDFL" + the address as four upper-case hex digits.
std::string readRequestLine(std::uint16_t address);

// The 270 bytes as 540 upper-case hex digits, high nibble first: the line
// that follows "WRFL", and the body of a "RDFL" reply.
std::string frameDigits(const BlockFrame& frame);

// A complete module reply: "RDFL" + frameDigits.
std::string blockReplyLine(const BlockFrame& frame);

enum class BlockReply { Received, Rejected };

// Decodes a line that begins with "RDFL" into lastBlock. Wrong length, any
// character that is not an upper-case hex digit, or a checksum that does not
// match the little-endian field all reject. On a bad digit the bytes decoded
// before it stay in lastBlock, as the module's callers have always seen.
BlockReply decodeBlockReply(std::string_view line, BlockFrame& lastBlock);

}  // namespace corvanta
