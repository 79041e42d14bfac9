#pragma once
// The secret fields of the image: the twelve user codes and the installer
// code. Which fields they are, which of them differ between the module and
// the image (a compare leaves them out, since users change their own codes
// at the keypad), and how windows and printed reports show them unless the
// installer asks to see them. Files keep them as they are.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "params/parameter_image.h"
#include "params/working_records.h"

namespace corvanta::codes {

// Bytes of one inverted-digit code.
inline constexpr std::size_t kCodeBytes = 3;
// Stands in for a code on screen and on paper.
inline constexpr const char* kHidden = "\u2022\u2022\u2022\u2022";

// "installerCode" or "users[N].code".
bool isCodePath(std::string_view path);
// Offsets 15·u+10 .. 15·u+12 and 180..182.
bool isCodeByte(std::size_t imageOffset);

// How a code shows unless codes are shown: kHidden for one that holds a
// digit; a code without digits ("******", no code at all) as it is, since
// it gives nothing away.
std::string shownCode(std::string_view code, bool showCodes);

// The codes in which the module and the image differ.
struct CodeDifferences {
    std::vector<int> users;  // user indexes 0..11, ascending
    bool installer = false;

    bool any() const { return installer || !users.empty(); }
    bool operator==(const CodeDifferences&) const = default;
};

// `module` holds the module's bytes from image offset 0 on (its block 0 is
// enough: every code lives there); a code that does not fit is not counted.
CodeDifferences codeDifferences(std::span<const std::uint8_t> module, const ParameterImage& image);

// One line for each code that differs, after the field list's own lines:
// "2. Felhasználó · Azonosító kódja (users[1].code): eltér, nem
// hasonlítva". The codes themselves are never in it.
std::vector<std::string> codeDifferenceLines(const CodeDifferences& differences);

// Every code of `values` as shownCode(code, false) gives it.
void hideCodes(ParameterValues& values);

}  // namespace corvanta::codes
