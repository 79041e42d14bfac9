#include "sim/installer_check.h"

#include "sim/layout.h"

namespace corvanta::sim {

namespace {

// Appends the digit of one inverted nibble; false when the nibble holds none.
bool appendDigit(int nibble, std::string& digits) {
    if (nibble == 0) return true;
    if (nibble < 6) return false;
    digits += char('0' + 15 - nibble);
    return true;
}

}  // namespace

std::string storedCodeDigits(const uint8_t* threeBytes) {
    std::string digits;
    for (std::size_t p = 0; p < layout::kCodeBytes; ++p)
        if (!appendDigit(threeBytes[p] >> 4, digits) || !appendDigit(threeBytes[p] & 15, digits))
            return {};
    return digits;
}

std::string sentCodeDigits(std::string_view sixChars) {
    if (sixChars.size() != layout::kCodeDigits) return {};
    std::string digits;
    for (char c : sixChars) {
        int nibble = -1;
        if (c >= '0' && c <= '9') nibble = c - '0';
        if (c >= 'A' && c <= 'F') nibble = c - 'A' + 10;
        if (nibble < 0 || !appendDigit(nibble, digits)) return {};
    }
    return digits;
}

bool codeMatches(const uint8_t* storedThreeBytes, std::string_view sixChars) {
    const std::string stored = storedCodeDigits(storedThreeBytes);
    // An erased or empty code opens nothing: a module without an installer
    // code must not accept every caller.
    return !stored.empty() && stored == sentCodeDigits(sixChars);
}

}  // namespace corvanta::sim
