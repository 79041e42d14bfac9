#pragma once
// Firmware files (GCF) and the block frames they travel in. A file is text:
// each line holds a seed byte, a target address and 64 payload bytes in hex,
// the payload scrambled with the key stream of the seed. The frames carry the
// payload rescrambled with the key stream of the line's own index; the check
// frame lets the module verify the whole upload before it restarts.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/block_frame.h"

namespace corvanta {

inline constexpr std::size_t kFirmwareMaxLines = 2048;  // later lines are not used
inline constexpr std::size_t kFirmwareLinesPerFrame = 4;
inline constexpr std::size_t kFirmwareMaxFrames = kFirmwareMaxLines / kFirmwareLinesPerFrame;
inline constexpr std::size_t kFirmwarePayloadBytes = 64;
inline constexpr std::size_t kFirmwareKeySize = 8;

// Character positions of a line, 1-based as the file format counts them.
inline constexpr std::size_t kLineSeedPos = 2;
inline constexpr std::size_t kLineAddressHighPos = 4;
inline constexpr std::size_t kLineAddressLowPos = 6;
inline constexpr std::size_t kLinePayloadPos = 8;
inline constexpr std::size_t kLineLastUsedPos = kLinePayloadPos + 2 * kFirmwarePayloadBytes - 1;  // 135

// Record of one line inside a data frame: address high, address low, payload.
inline constexpr std::size_t kFirmwareRecordSize = 2 + kFirmwarePayloadBytes;  // 66
inline constexpr std::size_t kRecordPayloadOffset = 2;
inline constexpr std::uint8_t kFirmwareEmptyByte = 0xFF;  // a slot without a line

// Check frame byte map.
inline constexpr std::size_t kCheckFramesPerGroup = 4;   // one 16-bit sum per group
inline constexpr std::size_t kCheckCountOffset = 256;    // frame count, high byte first
inline constexpr std::size_t kCheckTagOffset = 258;
inline constexpr std::string_view kCheckTag = "FIRMW.";

using FirmwareKeyStream = std::array<std::uint8_t, kFirmwarePayloadBytes>;

// The eight bytes the firmware files are scrambled with. A real module's are
// not built in (see firmware_key.h); this one belongs to the simulated module
// alone, and a file descrambled with it would reach a real module garbled,
// which the module's check could not tell.
using FirmwareKey = std::array<std::uint8_t, kFirmwareKeySize>;
inline constexpr FirmwareKey kDemoFirmwareKey = {0x5A, 0xC3, 0x17, 0x8E, 0x29, 0xF0, 0x64, 0xB1};

struct PreparedFirmware {
    std::vector<BlockFrame> frames;  // sealed, frame j at block 0021 + j
    BlockFrame checkFrame{};         // sealed at block 0221
};

// The used lines of a file's text, or a message naming the first bad line.
struct FirmwareLines {
    std::vector<std::string> lines;
    std::string error;  // UTF-8; empty when the lines are good
};

// Splits the text at CR LF, LF or CR and keeps the first 2048 lines. Blank
// lines at the end of the file and a final Ctrl-Z (an old editor's end mark)
// are no lines. Every kept line must hold upper-case hex digits at positions
// 2..135: a short or damaged line would otherwise be sent as zeros, and the
// check frame, made from the same frames, would let the module accept it.
FirmwareLines readFirmwareLines(std::string_view text);

// Value of the two characters at `position` (1-based) and the next one;
// a character that is not an upper-case hex digit, or lies past the end,
// counts as 0.
std::uint8_t firmwareDigitPair(std::string_view line, std::size_t position);

// The 64 key bytes that scramble a line under `seed`.
FirmwareKeyStream firmwareKeyStream(std::uint8_t seed, const FirmwareKey& key);

// Frames and check frame of the lines (at most the first 2048 are used).
PreparedFirmware prepareFirmware(const std::vector<std::string>& lines, const FirmwareKey& key);

}  // namespace corvanta
