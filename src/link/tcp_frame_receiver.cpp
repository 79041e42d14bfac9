#include "link/tcp_frame_receiver.h"

#include <algorithm>

#include "link/aes_block.h"

namespace corvanta {

using namespace tcpframe;

std::vector<std::uint8_t> TcpFrameReceiver::feed(std::span<const std::uint8_t> bytes,
                                                 const AesKey& key)
{
    tail_.insert(tail_.end(), bytes.begin(), bytes.end());
    std::vector<std::uint8_t> payload;
    std::size_t i = 0;
    while (tail_.size() - i >= tcpframe::kFrameSize) {
        const auto frame = tail_.begin() + static_cast<std::ptrdiff_t>(i);
        if (frame[kStartOffset] != kStart || frame[kEndOffset] != kEnd) {
            ++i;
            continue;
        }
        AesBlock cipher{};
        std::copy_n(frame + kCipherOffset, kAesBlockSize, cipher.begin());
        const AesBlock plain = aes128DecryptBlock(key, cipher);
        if (plain[kDataOpenOffset] != kDataOpen || plain[kDataCloseOffset] != kDataClose) {
            ++i;
            continue;
        }
        for (std::size_t k = kDataPieceOffset; k < kDataPieceOffset + kDataPieceSize; ++k)
            if (plain[k] != 0) payload.push_back(plain[k]);
        i += tcpframe::kFrameSize;
    }
    tail_.erase(tail_.begin(), tail_.begin() + static_cast<std::ptrdiff_t>(i));
    return payload;
}

}  // namespace corvanta
