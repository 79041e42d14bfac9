#include "sim/firmware_check.h"

#include <cstring>

namespace corvanta::sim {

using namespace layout;

void FirmwareCheck::storeDataFrame(const Frame& frame) {
    const std::size_t j = frameAddress(frame) - kFirmwareFirst;
    if (j < kFirmwareMaxFrames) sums_[j] = frameSum(frame);
}

void FirmwareCheck::reset() { sums_.fill(std::nullopt); }

std::size_t FirmwareCheck::framesReceived() const {
    std::size_t n = 0;
    for (const auto& s : sums_) n += s.has_value();
    return n;
}

bool FirmwareCheck::verify(const Frame& check, std::string* why) const {
    auto fail = [why](std::string text) {
        if (why) *why = std::move(text);
        return false;
    };
    if (std::memcmp(&check[kFirmwareTag], "FIRMW.", 6) != 0) return fail("no FIRMW. tag");
    const std::size_t count = std::size_t(check[kFirmwareCount]) << 8 | check[kFirmwareCount + 1];
    if (count == 0 || count > kFirmwareMaxFrames) return fail("frame count " + std::to_string(count));
    for (std::size_t j = 0; j < kFirmwareMaxFrames; ++j)
        if (sums_[j].has_value() != (j < count))
            return fail((j < count ? "missing frame " : "extra frame ") + std::to_string(j));
    for (std::size_t g = 0; g < kFirmwareGroups; ++g) {
        uint32_t sum = 0;
        for (std::size_t j = g * kFirmwareFramesPerGroup; j < (g + 1) * kFirmwareFramesPerGroup && j < count; ++j)
            sum += *sums_[j];
        const uint16_t stored = uint16_t(check[2 * g] << 8 | check[2 * g + 1]);
        if (stored != uint16_t(sum)) return fail("group sum " + std::to_string(g) + " differs");
    }
    return true;
}

}  // namespace corvanta::sim
