#include "params/field_rules.h"

#include <algorithm>

#include "params/win1250.h"

namespace corvanta {

namespace {

bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == '_' || c == ' '; }

// Length in bytes of the UTF-8 sequence that starts with `lead`.
std::size_t characterLength(unsigned char lead) {
    if (lead < 0xC0) return 1;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    return 4;
}

}  // namespace

bool isAcceptableCode(std::string_view text, CodeKind kind) {
    if (text == kNoCodeText) return kind == CodeKind::User;
    if (text.size() != 4 && text.size() != 6) return false;
    for (char c : text) {
        if (!isDecimalDigit(c)) return false;
    }
    return true;
}

std::optional<std::string> normalTestTime(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2) return std::nullopt;
    int hour = 0;
    int hourDigits = 0;
    for (char c : text.substr(0, colon)) {
        if (isDecimalDigit(c)) {
            hour = hour * 10 + (c - '0');
            ++hourDigits;
        } else if (!isBlank(c)) {
            return std::nullopt;
        }
    }
    const std::string_view minutes = text.substr(colon + 1);
    if (hourDigits == 0 || minutes.size() != 2 || !isDecimalDigit(minutes[0]) || !isDecimalDigit(minutes[1]))
        return std::nullopt;
    const int minute = (minutes[0] - '0') * 10 + (minutes[1] - '0');
    if (hour > 23 || minute > 59) return std::nullopt;
    return std::string{char('0' + hour / 10), char('0' + hour % 10), ':', minutes[0], minutes[1]};
}

std::optional<std::string> unstorableCharacter(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = std::min(characterLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        const std::string_view one = utf8.substr(i, n);
        const std::string byte = toWin1250(one);
        if (byte.size() != 1 || byte[0] == '\0' || byte[0] == '\xFF' || fromWin1250(byte) != one)
            return std::string(one);
        i += n;
    }
    return std::nullopt;
}

std::string printableStorableCharacters() {
    std::string all;
    for (int byte = 0x20; byte <= 0xFF; ++byte) {
        const std::string one = fromWin1250(std::string(1, char(byte)));
        // DEL and the code page's gaps, which decode to C1 controls.
        const bool control = byte == 0x7F || (one.size() == 2 && one[0] == '\xC2' && static_cast<unsigned char>(one[1]) < 0xA0);
        if (!control && !unstorableCharacter(one)) all += one;
    }
    return all;
}

}  // namespace corvanta
