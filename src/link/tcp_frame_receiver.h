#pragma once
// Finds the frames in the received TCP byte stream and yields the payload
// bytes of the data blocks among them.

#include <cstdint>
#include <span>
#include <vector>

#include "link/tcp_frame_layout.h"

namespace corvanta {

class TcpFrameReceiver {
public:
    // Scans what arrived, after the tail kept from the previous call. A frame
    // is taken where "{" and "}" stand 17 bytes apart and the block decrypts
    // to "[" ... "]"; its payload bytes come out in order with zero bytes
    // left out. Anything else (stray bytes, a hello block, a block under a
    // different password) is passed over one byte at a time. Fewer than 18
    // bytes at the end are kept: TCP may split a frame across two reads.
    std::vector<std::uint8_t> feed(std::span<const std::uint8_t> bytes, const AesKey& key);

    // Forgets the kept tail (a new connection starts a new stream).
    void reset() { tail_.clear(); }

    std::size_t pendingBytes() const { return tail_.size(); }

private:
    std::vector<std::uint8_t> tail_;
};

}  // namespace corvanta
