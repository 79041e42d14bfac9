// The TCP byte stream after AES: whatever arrives, only data blocks under the
// right key give payload, zero bytes never come out, the kept tail stays
// short, and how the stream is split into reads changes nothing. A stream of
// well-formed frames gives back exactly what was put in.

#include <vector>

#include "link/tcp_frame_receiver.h"
#include "link/tcp_frames.h"
#include "tests/fuzz/fuzz_targets.h"

namespace corvanta::fuzz {

void tcpFrames(Input in) {
    static const AesKey key = passwordKey("corvanta");
    Reader r(in);
    const std::size_t step = r.byte() % 40 + 1;
    const Input stream = r.rest();

    TcpFrameReceiver whole;
    const std::vector<std::uint8_t> all = whole.feed(stream, key);
    FUZZ_CHECK(whole.pendingBytes() < tcpframe::kFrameSize);
    FUZZ_CHECK(all.size() <= stream.size() / tcpframe::kFrameSize * tcpframe::kDataPieceSize);
    for (std::uint8_t b : all) FUZZ_CHECK(b != 0);

    TcpFrameReceiver pieces;
    std::vector<std::uint8_t> joined;
    for (std::size_t at = 0; at < stream.size(); at += step) {
        const auto got = pieces.feed(stream.subspan(at, std::min(step, stream.size() - at)), key);
        joined.insert(joined.end(), got.begin(), got.end());
    }
    FUZZ_CHECK(joined == all);
    FUZZ_CHECK(pieces.pendingBytes() == whole.pendingBytes());

    // The same bytes sent by a peer that knows the password.
    std::vector<std::uint8_t> sent, expected;
    for (std::size_t at = 0; at < stream.size(); at += tcpframe::kDataPieceSize) {
        const Input piece = stream.subspan(at, std::min(tcpframe::kDataPieceSize, stream.size() - at));
        const TcpFrame frame = wrapFrame(key, dataPlainBlock(text(piece), piece[0]));
        sent.insert(sent.end(), frame.begin(), frame.end());
        for (std::uint8_t b : piece)
            if (b != 0) expected.push_back(b);
    }
    TcpFrameReceiver peer;
    FUZZ_CHECK(peer.feed(sent, key) == expected);
    FUZZ_CHECK(peer.pendingBytes() == 0);
}

}  // namespace corvanta::fuzz
