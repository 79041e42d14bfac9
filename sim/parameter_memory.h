#pragma once
// The module's 2048-byte parameter memory and the factory contents it starts
// with when no image file is given.

#include <array>
#include <cstdint>
#include <string>

#include "sim/layout.h"

namespace corvanta::sim {

using ParameterMemory = std::array<uint8_t, layout::kImageSize>;

// Named zones and users, installer code 1234, a few telephone numbers and
// event reporting settings that a real installation could have.
ParameterMemory factoryMemory();

// Reads a raw 2048-byte image; on failure returns false and says why.
bool loadMemoryFile(const std::string& path, ParameterMemory& memory, std::string& error);

}  // namespace corvanta::sim
