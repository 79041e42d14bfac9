#include "link/installer_code.h"

#include "params/hex_digits.h"

namespace corvanta {

std::string installerCodeDigits(std::string_view fieldText) {
    std::string digits;
    for (char c : fieldText)
        if (c >= '0' && c <= '9') digits.push_back(c);
    return digits;
}

std::string encodeInstallerCode(std::string_view digits) {
    std::string code(kInstallerCodeLength, '0');
    for (std::size_t i = 0; i < kInstallerCodeLength && i < digits.size(); ++i) {
        const char d = digits[i];
        if (d >= '0' && d <= '9') code[i] = kHexDigits[15 - (d - '0')];
    }
    return code;
}

}  // namespace corvanta
