#pragma once
// The 12 user and 12 zone names read from the module (blocks 0..2 of its
// parameter memory), kept apart from the parameter image being edited.
// Texts are UTF-8; every loaded name starts with one blank.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvanta {

class ModuleNames {
public:
    static constexpr int kUsers = 12;
    static constexpr int kZones = 12;
    // Blocks 0..2 hold every user and zone record.
    static constexpr std::size_t kSourceSize = 3 * 256;
    using Source = std::array<std::uint8_t, kSourceSize>;

    // All empty: nothing loaded yet.
    ModuleNames() = default;

    // Each name is one blank and then every non-zero byte of its 10-byte
    // field in order, as Windows-1250 characters.
    static ModuleNames fromBlocks(const Source& blocks);

    // u and z count from 1; other numbers give an empty name.
    const std::string& userName(int u) const;
    const std::string& zoneName(int z) const;

    // Empty, or blanks only: what an unnamed (all zero) field loads as.
    static bool isBlank(std::string_view name);

private:
    // Users 1..12 at 0..11, zones 1..12 at 12..23.
    std::array<std::string, kUsers + kZones> names_;
};

}  // namespace corvanta
