#pragma once
// Building the outgoing TCP/IP frames: the password key, the plain hello and
// data blocks, the 18-byte wire frame, and the cutting of outgoing text into
// pieces.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "link/tcp_frame_layout.h"
#include "link/tcp_random.h"

namespace corvanta {

using TcpFrame = std::array<std::uint8_t, tcpframe::kFrameSize>;

// Key from the password field's bytes (module code page): blanks and control
// characters trimmed at both ends, the first 16 bytes, zero-filled after.
AesKey passwordKey(std::string_view fieldBytes);

// Hello block: seven values drawn from random, first drawn first.
AesBlock helloPlainBlock(TcpRandom& random);

// Data block for a piece of 1 to 12 bytes (a longer piece is cut at 12).
AesBlock dataPlainBlock(std::string_view piece, std::uint8_t randomValue);

// "{" + the encrypted block + "}".
TcpFrame wrapFrame(const AesKey& key, const AesBlock& plain);

// Appends text to pending and takes off the pieces that can leave now: every
// full 12 bytes, then the rest if it ends with CR. What remains waits.
std::vector<std::string> takePieces(std::string& pending, std::string_view text);

}  // namespace corvanta
