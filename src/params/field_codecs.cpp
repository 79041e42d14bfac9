#include "params/field_codecs.h"

#include <algorithm>

#include "params/hex_digits.h"
#include "params/win1250.h"

namespace corvanta {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

char charAt(std::string_view text, std::size_t i) { return i < text.size() ? text[i] : '\0'; }

}  // namespace

std::string decodePaddedText(const ParameterImage& image, std::size_t offset, std::size_t width) {
    std::string bytes;
    bytes.reserve(width);
    for (std::size_t i = 0; i < width; ++i) {
        const std::uint8_t b = image[offset + i];
        if (b != 0x00 && b != 0xFF) bytes.push_back(static_cast<char>(b));
    }
    bytes.erase(bytes.find_last_not_of(' ') + 1);
    return fromWin1250(bytes);
}

void encodePaddedText(ParameterImage& image, std::size_t offset, std::size_t width,
                      std::string_view text) {
    std::string bytes = toWin1250(text);  // one byte per character
    bytes.resize(width, ' ');
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::string decodeInvertedCode(const ParameterImage& image, std::size_t offset) {
    std::string code;
    for (std::size_t i = 0; i < 3; ++i) {
        for (int nibble : {image[offset + i] >> 4, image[offset + i] & 0x0F}) {
            if (nibble != 0) code.push_back(kHexDigits[15 - nibble]);
        }
    }
    return code.empty() ? "******" : code;
}

void encodeInvertedCode(ParameterImage& image, std::size_t offset, std::string_view code) {
    // Decode shows nibbles 1..5 as the letters E..A; they are stored back as
    // they were read, so a code that merely passed through the editor keeps
    // its bytes instead of losing those places.
    auto nibble = [&](std::size_t i) {
        const int v = hexValue(charAt(code, i));
        return v >= 0 && v <= 14 ? 15 - v : 0;
    };
    for (std::size_t p = 0; p < 3; ++p) {
        image[offset + p] = static_cast<std::uint8_t>(nibble(2 * p) * 16 + nibble(2 * p + 1));
    }
}

std::string decodeContactId(const ParameterImage& image, std::size_t offset) {
    std::string text;
    for (std::size_t i = 0; i < 3; ++i) {
        if (i > 0) text.push_back(' ');
        text.push_back(kHexDigits[image[offset + i] & 0x0F]);
    }
    return text;
}

void encodeContactId(ParameterImage& image, std::size_t offset, std::string_view text) {
    for (std::size_t i = 0; i < 3; ++i) {
        image[offset + i] = static_cast<std::uint8_t>(std::max(0, hexValue(charAt(text, 2 * i))));
    }
}

PhoneCells decodePhone(const ParameterImage& image, std::size_t offset) {
    PhoneCells cells{};
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const char b = static_cast<char>(image[offset + c]);
        cells[c] = isDigit(b) ? b : '\0';
    }
    return cells;
}

void encodePhone(ParameterImage& image, std::size_t offset, const PhoneCells& cells) {
    for (std::size_t c = 0; c < cells.size(); ++c) {
        image[offset + c] = isDigit(cells[c]) ? static_cast<std::uint8_t>(cells[c]) : 0;
    }
}

AccountCells decodeAccount(const ParameterImage& image, std::size_t offset) {
    AccountCells cells{};
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const std::uint8_t b = image[offset + c];
        cells[c] = b <= 15 ? kHexDigits[b] : '0';
    }
    return cells;
}

void encodeAccount(ParameterImage& image, std::size_t offset, const AccountCells& cells) {
    for (std::size_t c = 0; c < cells.size(); ++c) {
        image[offset + c] = static_cast<std::uint8_t>(std::max(0, hexValue(cells[c])));
    }
}

std::uint16_t decodeFlagWord(const ParameterImage& image, std::size_t offset) {
    return static_cast<std::uint16_t>(image[offset] << 8 | image[offset + 1]);
}

void encodeFlagWord(ParameterImage& image, std::size_t offset, std::uint16_t word) {
    image[offset] = static_cast<std::uint8_t>(word >> 8);
    image[offset + 1] = static_cast<std::uint8_t>(word & 0xFF);
}

RelayBitmap decodeRelayBitmap(const ParameterImage& image, std::size_t offset) {
    RelayBitmap rows{};
    for (std::size_t n = 0; n < rows.size(); ++n) rows[n] = (image[offset + n / 8] >> (n % 8)) & 1;
    return rows;
}

void encodeRelayBitmap(ParameterImage& image, std::size_t offset, const RelayBitmap& rows) {
    for (std::size_t i = 0; i < 8; ++i) image[offset + i] = 0;
    for (std::size_t n = 0; n < rows.size(); ++n) {
        if (rows[n]) image[offset + n / 8] = static_cast<std::uint8_t>(image[offset + n / 8] | 1u << (n % 8));
    }
}

std::string decodeTestTime(const ParameterImage& image, std::size_t hourOffset,
                           std::size_t minuteOffset) {
    auto pair = [](int v) {
        v = std::min(v, 99);
        return std::string{static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
    };
    return pair(image[hourOffset]) + ":" + pair(image[minuteOffset]);
}

void encodeTestTime(ParameterImage& image, std::size_t hourOffset, std::size_t minuteOffset,
                    std::string_view text) {
    // The time mask lets the first hour digit stay blank; such a position is
    // read as 0 rather than as a character code.
    auto digit = [&](std::size_t i) {
        const char c = charAt(text, i);
        return isDigit(c) ? c - '0' : 0;
    };
    image[hourOffset] = static_cast<std::uint8_t>(digit(0) * 10 + digit(1));
    image[minuteOffset] = static_cast<std::uint8_t>(digit(3) * 10 + digit(4));
}

}  // namespace corvanta
