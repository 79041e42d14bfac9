// A "RDFL" reply: accepted only when its digits are the exact text of a frame
// whose module checksum holds, and every sealed frame comes back through it
// unchanged. The version block read from any frame stays within its fields.

#include <algorithm>

#include "link/block_frame.h"
#include "link/version_block.h"
#include "tests/fuzz/fuzz_targets.h"

namespace corvanta::fuzz {

namespace {

constexpr std::uint8_t kUntouched = 0xA5;

std::uint32_t littleEndianChecksum(const BlockFrame& f) {
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k) v |= std::uint32_t(f[kFrameChecksumOffset + k]) << (8 * k);
    return v;
}

}  // namespace

void blockReply(Input in) {
    // The input as a line from the module (the dispatcher hands over only
    // lines that begin with the command).
    const std::string_view line = text(in);
    BlockFrame block;
    block.fill(kUntouched);
    const BlockReply reply = decodeBlockReply(line, block);
    if (reply == BlockReply::Received) {
        FUZZ_CHECK(frameDigits(block) == line.substr(kReadCommand.size()));
        FUZZ_CHECK(littleEndianChecksum(block) == blockChecksum(block));
    } else if (line.size() != kBlockReplyLength) {
        FUZZ_CHECK(std::all_of(block.begin(), block.end(), [](std::uint8_t b) { return b == kUntouched; }));
    }

    // The input as the content of a frame the module seals and sends.
    Reader r(in);
    BlockFrame frame{};
    const std::uint16_t address = r.word();
    for (std::uint8_t& b : frame) b = r.byte();
    sealModuleFrame(frame, address);
    FUZZ_CHECK(frameAddress(frame) == address);
    BlockFrame back{};
    FUZZ_CHECK(decodeBlockReply(blockReplyLine(frame), back) == BlockReply::Received);
    FUZZ_CHECK(back == frame);

    // Any one digit changed, checksum digits included, must be caught.
    std::string damaged = blockReplyLine(frame);
    const std::size_t at = kReadCommand.size() + r.word() % kFrameDigits;
    const char digit = "0123456789ABCDEF"[r.byte() % 16];
    if (damaged[at] != digit) {
        damaged[at] = digit;
        FUZZ_CHECK(decodeBlockReply(damaged, back) == BlockReply::Rejected);
    }

    const VersionInfo version = parseVersionBlock(frame);
    FUZZ_CHECK(version.text.size() <= 33);
    FUZZ_CHECK(version.text.find('\0') == std::string::npos);
    FUZZ_CHECK(version.dataVersion >= 0);
}

}  // namespace corvanta::fuzz
