#pragma once
// Every field of the parameter image once, one entry per value the editor
// shows: its key path in the JSON corvanta-cli prints ("zones[2].entryDelay",
// "relayRows[12][3]"), its caption as the editor shows it ("3. Zóna ·
// Belépési késlelt."), the bits of the image it lives in and how its value is
// shown. The field diff and the JSON documentation both walk this one list,
// built from the byte map and the control table the codec uses.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "params/parameter_image.h"
#include "params/working_records.h"

namespace corvanta::fields {

// One kind of field (every zone's entry delay, say): a row of the JSON
// documentation.
struct FieldKind {
    std::string key;      // "zones[0..11].entryDelay"
    std::string type;     // JSON type: "string", "number", "boolean"
    std::string values;   // range, items or text form
    std::string meaning;  // what it is, in English
};

struct Field {
    std::string path;     // "zones[2].entryDelay"
    std::string caption;  // "3. Zóna · Belépési késlelt."
    std::size_t kind;     // index into Catalogue::kinds
    // The bytes offset .. offset + length - 1, and of each byte the bits
    // `mask`, are the field's; a field never shares a bit with another.
    std::size_t offset;
    std::size_t length;
    std::uint8_t mask;
    bool text;            // a typed text (names, codes, numbers of digits)
    // The value as the editor shows it after decode.
    std::function<std::string(const ParameterValues&)> show;
    // For the fields the editor checks as they are typed (the codes, the test
    // report time): whether the value would pass that check. Unset for the
    // rest, whose range and items are their only rule.
    std::function<bool(const ParameterValues&)> passesTypedCheck;

    // Whether `a` and `b` hold the same value in this field's bits.
    bool sameBits(const ParameterImage& a, const ParameterImage& b) const;
    // Copies this field's bits from `from` into `to`; every other bit of `to`
    // stays as it is.
    void copyBits(const ParameterImage& from, ParameterImage& to) const;
};

struct Catalogue {
    std::vector<FieldKind> kinds;
    std::vector<Field> fields;  // in JSON order
};

// Built on first use, then shared.
const Catalogue& catalogue();

// The field of that key path ("zones[2].entryDelay"), or null.
const Field* fieldAt(std::string_view path);

// Of each byte of the image, the bits some field holds. The others are the
// module's own: whole bytes no field covers, and the unused bits of flag
// words and relay bitmaps.
const std::array<std::uint8_t, kImageSize>& fieldBits();

// How a check box and an empty drop-down list are shown.
inline constexpr const char* kChecked = "igen";
inline constexpr const char* kUnchecked = "nem";
inline constexpr const char* kNotSelected = "(nincs kiválasztva)";

}  // namespace corvanta::fields
