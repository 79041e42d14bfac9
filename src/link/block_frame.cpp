#include "link/block_frame.h"

#include <cstdio>

#include "params/hex_digits.h"

namespace corvanta {

namespace {

void writeAddress(BlockFrame& frame, std::uint16_t address) {
    frame[kFrameAddressOffset] = static_cast<std::uint8_t>(address >> 8);
    frame[kFrameAddressOffset + 1] = static_cast<std::uint8_t>(address & 0xFF);
}

}  // namespace

std::uint32_t blockChecksum(const BlockFrame& frame) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < kFrameDataSize; ++i)
        sum += static_cast<std::uint8_t>(frame[i] ^ static_cast<std::uint8_t>(i));
    for (std::size_t i = kFrameDataSize; i < kFrameChecksumOffset; ++i) sum += frame[i];
    return sum;
}

void sealFrame(BlockFrame& frame, std::uint16_t address) {
    writeAddress(frame, address);
    const std::uint32_t sum = blockChecksum(frame);
    for (std::size_t k = 0; k < 4; ++k)
        frame[kFrameChecksumOffset + k] = static_cast<std::uint8_t>(sum >> (8 * (3 - k)));
}

void sealModuleFrame(BlockFrame& frame, std::uint16_t address) {
    writeAddress(frame, address);
    const std::uint32_t sum = blockChecksum(frame);
    for (std::size_t k = 0; k < 4; ++k)
        frame[kFrameChecksumOffset + k] = static_cast<std::uint8_t>(sum >> (8 * k));
}

std::uint16_t frameAddress(const BlockFrame& frame) {
    return static_cast<std::uint16_t>(frame[kFrameAddressOffset] << 8 |
                                      frame[kFrameAddressOffset + 1]);
}

std::string readRequestLine(std::uint16_t address) {
    char digits[5];
    std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(address));
    return std::string(kReadCommand) + digits;
}

std::string frameDigits(const BlockFrame& frame) {
    std::string out;
    out.reserve(kFrameDigits);
    for (std::uint8_t b : frame) {
        out.push_back(kHexDigits[b >> 4]);
        out.push_back(kHexDigits[b & 0x0F]);
    }
    return out;
}

std::string blockReplyLine(const BlockFrame& frame) {
    return std::string(kReadCommand) + frameDigits(frame);
}

BlockReply decodeBlockReply(std::string_view line, BlockFrame& lastBlock) {
    if (line.size() != kBlockReplyLength) return BlockReply::Rejected;
    const std::size_t first = kReadCommand.size();
    for (std::size_t k = 0; k < kFrameSize; ++k) {
        const int high = upperHexValue(line[first + 2 * k]);
        const int low = upperHexValue(line[first + 2 * k + 1]);
        if (high < 0 || low < 0) return BlockReply::Rejected;
        lastBlock[k] = static_cast<std::uint8_t>(high * 16 + low);
    }
    std::uint32_t stored = 0;
    for (std::size_t k = 0; k < 4; ++k)
        stored |= static_cast<std::uint32_t>(lastBlock[kFrameChecksumOffset + k]) << (8 * k);
    return stored == blockChecksum(lastBlock) ? BlockReply::Received : BlockReply::Rejected;
}

}  // namespace corvanta
