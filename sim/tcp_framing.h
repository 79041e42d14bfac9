#pragma once
// The far end of the encrypted TCP link: 18-byte frames "{" + one AES-128
// block + "}", each data block "[" + two hex digits + up to 12 text bytes
// padded with 0x00 + "]".

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanta::sim {

using AesKey = std::array<uint8_t, 16>;
using AesBlock = std::array<uint8_t, 16>;

constexpr std::size_t kTcpFrameSize = 18;
constexpr std::size_t kTcpPieceSize = 12;

// The password with blanks and control characters trimmed from both ends,
// its first 16 bytes, zero-filled.
AesKey passwordKey(std::string_view password);

// Single blocks, ECB, no padding, through OpenSSL's EVP interface.
AesBlock aesEncrypt(const AesKey& key, const AesBlock& plain);
AesBlock aesDecrypt(const AesKey& key, const AesBlock& cipher);

// The text cut into pieces of at most 12 bytes, each sealed in one frame.
// random gives the filler value 0..254 of each block.
std::vector<std::string> sealText(std::string_view text, const AesKey& key, const std::function<uint8_t()>& random);

// Finds frames in a byte stream; bytes that start no frame, and frames that
// do not decrypt to a data block (the hello block among them), are skipped.
// Unlike the program, it keeps a partial frame for the next read.
class FrameUnpacker {
public:
    explicit FrameUnpacker(const AesKey& key) : key_(key) {}
    // Payload bytes of every complete data frame, 0x00 fillers left out.
    std::string feed(std::string_view bytes);

private:
    AesKey key_;
    std::string pending_;
};

}  // namespace corvanta::sim
