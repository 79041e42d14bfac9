#include "sim/block_codec.h"

namespace corvanta::sim {

using namespace layout;

namespace {

constexpr char kUpper[] = "0123456789ABCDEF";
constexpr char kLower[] = "0123456789abcdef";

int upperHexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

uint32_t frameSum(const Frame& frame) {
    uint32_t sum = 0;
    for (std::size_t i = 0; i < kFrameChecksum; ++i)
        sum += i < kFrameData ? uint8_t(frame[i] ^ uint8_t(i)) : frame[i];
    return sum;
}

uint16_t frameAddress(const Frame& frame) {
    return uint16_t(frame[kFrameAddressHigh] << 8 | frame[kFrameAddressLow]);
}

bool programSumHolds(const Frame& frame) {
    uint32_t stored = 0;
    for (std::size_t i = 0; i < 4; ++i) stored = stored << 8 | frame[kFrameChecksum + i];
    return stored == frameSum(frame);
}

void sealModuleFrame(Frame& frame, uint16_t address) {
    frame[kFrameAddressHigh] = uint8_t(address >> 8);
    frame[kFrameAddressLow] = uint8_t(address);
    const uint32_t sum = frameSum(frame);
    for (std::size_t i = 0; i < 4; ++i) frame[kFrameChecksum + i] = uint8_t(sum >> (8 * i));
}

void sealProgramFrame(Frame& frame, uint16_t address) {
    frame[kFrameAddressHigh] = uint8_t(address >> 8);
    frame[kFrameAddressLow] = uint8_t(address);
    const uint32_t sum = frameSum(frame);
    for (std::size_t i = 0; i < 4; ++i) frame[kFrameChecksum + i] = uint8_t(sum >> (24 - 8 * i));
}

std::string frameHex(const Frame& frame, bool lowerCase) {
    const char* digits = lowerCase ? kLower : kUpper;
    std::string out;
    out.reserve(kFrameHexDigits);
    for (uint8_t b : frame) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::optional<Frame> parseFrameHex(std::string_view digits) {
    if (digits.size() != kFrameHexDigits) return std::nullopt;
    Frame frame{};
    for (std::size_t k = 0; k < kFrameSize; ++k) {
        const int hi = upperHexValue(digits[2 * k]);
        const int lo = upperHexValue(digits[2 * k + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        frame[k] = uint8_t(hi << 4 | lo);
    }
    return frame;
}

std::string hexByte(uint8_t value) {
    return {kUpper[value >> 4], kUpper[value & 15]};
}

std::optional<uint16_t> parseHex4(std::string_view digits) {
    if (digits.size() != 4) return std::nullopt;
    uint16_t value = 0;
    for (char c : digits) {
        const int v = upperHexValue(c);
        if (v < 0) return std::nullopt;
        value = uint16_t(value << 4 | v);
    }
    return value;
}

}  // namespace corvanta::sim
