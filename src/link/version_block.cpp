#include "link/version_block.h"

#include <charconv>

namespace corvanta {

namespace {

constexpr std::size_t kVersionTextOffset = 0;
constexpr std::size_t kDataVersionOffset = 32;
constexpr std::size_t kFieldMaxLength = 33;

std::string zeroEndedField(const BlockFrame& frame, std::size_t offset) {
    std::string out;
    for (std::size_t i = offset; i < offset + kFieldMaxLength && frame[i] != 0; ++i)
        out.push_back(static_cast<char>(frame[i]));
    return out;
}

}  // namespace

VersionInfo parseVersionBlock(const BlockFrame& frame) {
    VersionInfo info;
    info.text = zeroEndedField(frame, kVersionTextOffset);
    // A leading "0" makes an empty field read as zero.
    const std::string digits = "0" + zeroEndedField(frame, kDataVersionOffset);
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    info.dataVersion = (ec == std::errc() && end == digits.data() + digits.size()) ? value : 0;
    return info;
}

}  // namespace corvanta
