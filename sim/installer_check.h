#pragma once
// Whether the six code characters of a command carry the installer code held
// in parameter memory.

#include <cstdint>
#include <string>
#include <string_view>

namespace corvanta::sim {

// Digits of a stored 3-byte code: nibble n (6..15) is the digit 15 - n,
// nibble 0 is an empty place. Nibbles 1..5 hold no digit and give "".
std::string storedCodeDigits(const uint8_t* threeBytes);

// Digits carried by the six characters of a command: upper-case hex digit
// c gives 15 - c, "0" an empty place. Anything else gives "".
std::string sentCodeDigits(std::string_view sixChars);

bool codeMatches(const uint8_t* storedThreeBytes, std::string_view sixChars);

}  // namespace corvanta::sim
