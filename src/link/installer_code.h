#pragma once
// The installer code as it travels in coded commands: six characters, one
// per position, each digit d sent as the hex digit of 15 - d and a missing
// digit as "0" (so a digit never encodes as "0").

#include <string>
#include <string_view>

namespace corvanta {

inline constexpr std::size_t kInstallerCodeLength = 6;

// The decimal digits of the code field's text, in order; everything else is
// dropped.
std::string installerCodeDigits(std::string_view fieldText);

// Always six characters; digits beyond the sixth are ignored.
std::string encodeInstallerCode(std::string_view digits);

}  // namespace corvanta
