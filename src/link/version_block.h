#pragma once
// The module's version block (address FFFF): its version text and the data
// version that names the layout of its parameter memory.

#include <cstdint>
#include <string>

#include "link/block_frame.h"

namespace corvanta {

inline constexpr int kProgramDataVersion = 2;

struct VersionInfo {
    std::string text;  // module bytes (Windows-1250)
    std::int32_t dataVersion = 0;
};

// Each field is read from its start offset for at most 33 characters, up to
// the first zero byte; so a 32-character version text with no terminator runs
// into the first digit of the data version, as the module's own readers do.
// Digits missing or not a number give data version 0.
VersionInfo parseVersionBlock(const BlockFrame& frame);

}  // namespace corvanta
