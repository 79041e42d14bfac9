#include "link/tcp_frames.h"

#include <algorithm>

#include "link/aes_block.h"
#include "params/hex_digits.h"

namespace corvanta {
namespace {

using namespace tcpframe;

void putHex(AesBlock& block, std::size_t offset, std::uint8_t value)
{
    block[offset] = static_cast<std::uint8_t>(kHexDigits[value >> 4]);
    block[offset + 1] = static_cast<std::uint8_t>(kHexDigits[value & 0x0F]);
}

// Blanks and control characters, as the password field's trimming sees them.
bool isTrimmed(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

AesKey passwordKey(std::string_view fieldBytes)
{
    while (!fieldBytes.empty() && isTrimmed(fieldBytes.front())) fieldBytes.remove_prefix(1);
    while (!fieldBytes.empty() && isTrimmed(fieldBytes.back())) fieldBytes.remove_suffix(1);
    AesKey key{};
    std::copy_n(fieldBytes.begin(), std::min(fieldBytes.size(), key.size()), key.begin());
    return key;
}

AesBlock helloPlainBlock(TcpRandom& random)
{
    AesBlock block{};
    block[kHelloOpenOffset] = kHelloOpen;
    for (std::size_t i = 0; i < kHelloRandomCount; ++i)
        putHex(block, kHelloRandomOffset + 2 * i, random.next());
    block[kHelloCloseOffset] = kHelloClose;
    return block;
}

AesBlock dataPlainBlock(std::string_view piece, std::uint8_t randomValue)
{
    AesBlock block{};
    block[kDataOpenOffset] = kDataOpen;
    putHex(block, kDataRandomOffset, randomValue);
    std::copy_n(piece.begin(), std::min(piece.size(), kDataPieceSize),
                block.begin() + kDataPieceOffset);
    block[kDataCloseOffset] = kDataClose;
    return block;
}

TcpFrame wrapFrame(const AesKey& key, const AesBlock& plain)
{
    TcpFrame frame{};
    frame[kStartOffset] = kStart;
    const AesBlock cipher = aes128EncryptBlock(key, plain);
    std::copy(cipher.begin(), cipher.end(), frame.begin() + kCipherOffset);
    frame[kEndOffset] = kEnd;
    return frame;
}

std::vector<std::string> takePieces(std::string& pending, std::string_view text)
{
    pending.append(text);
    std::vector<std::string> pieces;
    std::size_t used = 0;
    while (pending.size() - used >= kDataPieceSize) {
        pieces.push_back(pending.substr(used, kDataPieceSize));
        used += kDataPieceSize;
    }
    pending.erase(0, used);
    if (!pending.empty() && pending.back() == '\r') {
        pieces.push_back(pending);
        pending.clear();
    }
    return pieces;
}

}  // namespace corvanta
