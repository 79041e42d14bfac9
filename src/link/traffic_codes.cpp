#include "link/traffic_codes.h"

#include "link/block_frame.h"
#include "params/code_fields.h"
#include "params/hex_digits.h"
#include "params/parameter_image.h"

namespace corvanta {

namespace {

// Where the 540 frame digits begin in `line`, or npos for no frame.
std::size_t frameStart(std::string_view line) {
    if (line.size() == kBlockReplyLength && line.substr(0, kReadCommand.size()) == kReadCommand)
        return kReadCommand.size();
    if (line.size() == kFrameDigits) return 0;
    return std::string_view::npos;
}

// The block address written in the frame's digits, or -1 when they are not
// four hex digits.
int addressIn(std::string_view digits) {
    int address = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        const int v = upperHexValue(digits[2 * kFrameAddressOffset + k]);
        if (v < 0) return -1;
        address = address * 16 + v;
    }
    return address;
}

}  // namespace

std::string maskTrafficCodes(std::string_view line) {
    std::string out(line);
    const std::size_t start = frameStart(line);
    if (start == std::string_view::npos) return out;
    const int block = addressIn(line.substr(start));
    if (block < 0 || std::size_t(block) >= kImageBlockCount) return out;
    auto mask = [&](std::size_t k) {
        out[start + 2 * k] = kMaskedDigit;
        out[start + 2 * k + 1] = kMaskedDigit;
    };
    bool heldCodes = false;
    for (std::size_t k = 0; k < kFrameDataSize; ++k) {
        if (!codes::isCodeByte(std::size_t(block) * kImageBlockSize + k)) continue;
        mask(k);
        heldCodes = true;
    }
    if (heldCodes)
        for (std::size_t k = kFrameChecksumOffset; k < kFrameSize; ++k) mask(k);
    return out;
}

}  // namespace corvanta
