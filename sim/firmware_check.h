#pragma once
// Collects the firmware data frames of an upload and verifies them against
// the check frame: the frame count and one 16-bit sum per group of four
// frame checksums.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "sim/block_codec.h"

namespace corvanta::sim {

class FirmwareCheck {
public:
    // A data frame at 0021..0220 whose checksum already held.
    void storeDataFrame(const Frame& frame);
    // True when the check frame matches the frames received; why not otherwise.
    bool verify(const Frame& checkFrame, std::string* why = nullptr) const;
    void reset();
    std::size_t framesReceived() const;

private:
    std::array<std::optional<uint32_t>, layout::kFirmwareMaxFrames> sums_{};
};

}  // namespace corvanta::sim
