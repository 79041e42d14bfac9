#pragma once
// The encodings shared by the fields of the parameter image, each as a pair of
// pure functions over (image, offset). The editor codec, the event list (user
// and zone names) and the settings listing all read the image through these.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "params/parameter_image.h"
#include "params/working_records.h"

namespace corvanta {

// Text of `width` Windows-1250 bytes. Decode skips 0x00 and 0xFF bytes and
// drops trailing spaces; encode cuts at `width` characters and pads with
// spaces. The text side is UTF-8.
std::string decodePaddedText(const ParameterImage& image, std::size_t offset, std::size_t width);
void encodePaddedText(ParameterImage& image, std::size_t offset, std::size_t width,
                      std::string_view text);

// User and installer codes: 3 bytes, one digit d per nibble as 15 - d, nibble
// 0 for "no digit". Decode gives "******" when no digit is stored; nibbles 1..5
// show as the letters E..A. Encode stores '0'..'9' and the letters A..E back
// into their nibbles and leaves every other character (such as '*') as "no
// digit".
std::string decodeInvertedCode(const ParameterImage& image, std::size_t offset);
void encodeInvertedCode(ParameterImage& image, std::size_t offset, std::string_view code);

// Contact-ID event code: 3 bytes, one hexadecimal digit each in the low
// nibble, shown as "1 3 A". Encode reads the digits at text positions 0, 2, 4;
// a missing or non-hexadecimal character stores 0.
std::string decodeContactId(const ParameterImage& image, std::size_t offset);
void encodeContactId(ParameterImage& image, std::size_t offset, std::string_view text);

// Telephone number: 16 bytes, one character code per cell; cells that are not
// '0'..'9' are empty and stored as 0.
PhoneCells decodePhone(const ParameterImage& image, std::size_t offset);
void encodePhone(ParameterImage& image, std::size_t offset, const PhoneCells& cells);

// Customer account: 4 bytes, one hexadecimal digit value per byte. A byte
// above 15 shows as '0', which is what it is written back as.
AccountCells decodeAccount(const ParameterImage& image, std::size_t offset);
void encodeAccount(ParameterImage& image, std::size_t offset, const AccountCells& cells);

// Big-endian 16-bit flag word: item i of a check list is bit i.
std::uint16_t decodeFlagWord(const ParameterImage& image, std::size_t offset);
void encodeFlagWord(ParameterImage& image, std::size_t offset, std::uint16_t word);

template <std::size_t N>
std::array<bool, N> flagItems(std::uint16_t word) {
    static_assert(N <= 16);
    std::array<bool, N> items{};
    for (std::size_t i = 0; i < N; ++i) items[i] = (word >> i) & 1u;
    return items;
}

template <std::size_t N>
std::uint16_t flagWord(const std::array<bool, N>& items) {
    static_assert(N <= 16);
    std::uint16_t word = 0;
    for (std::size_t i = 0; i < N; ++i) {
        if (items[i]) word = static_cast<std::uint16_t>(word | (1u << i));
    }
    return word;
}

// Relay trigger bitmap: 8 bytes, row n is bit n % 8 of byte n / 8. Encode
// rebuilds all 8 bytes, so the 4 bits above row 59 are always written 0.
using RelayBitmap = std::array<bool, 60>;
RelayBitmap decodeRelayBitmap(const ParameterImage& image, std::size_t offset);
void encodeRelayBitmap(ParameterImage& image, std::size_t offset, const RelayBitmap& rows);

// Test report time: an hour byte and a minute byte shown as "hh:mm". Values
// above 99 cannot be shown in two digits and show as 99. A blank or other
// non-digit position in the text counts as 0.
std::string decodeTestTime(const ParameterImage& image, std::size_t hourOffset,
                           std::size_t minuteOffset);
void encodeTestTime(ParameterImage& image, std::size_t hourOffset, std::size_t minuteOffset,
                    std::string_view text);

// Grid cells (telephone digits, account) as text: an empty cell is a blank,
// trailing blanks dropped. The JSON and the field diff show them alike.
template <std::size_t N>
std::string gridCellsText(const std::array<char, N>& cells) {
    std::string s;
    for (char c : cells) s.push_back(c == '\0' ? ' ' : c);
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

}  // namespace corvanta
