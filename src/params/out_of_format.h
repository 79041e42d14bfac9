#pragma once
// Fields whose stored bits are more than the value they show: bytes outside
// the format (a smart zone time of 40, which shows as 25; a name with a NUL
// inside; an erased test time FF FF, which shows as 99:99), and values the
// editor would refuse if they were typed (an installer code of "******", a
// user code with letters). Storing the shown value would change them, so
// whatever carries an image as values (the CLI's JSON) carries their bytes
// beside it, and the editor says so at the control.

#include <cstdint>
#include <string>
#include <vector>

#include "params/field_catalogue.h"
#include "params/parameter_image.h"

namespace corvanta {

struct OutOfFormatField {
    const fields::Field* field;      // an entry of fields::catalogue()
    std::vector<std::uint8_t> bytes;  // the field's bytes, other fields' bits as 0
};

// In catalogue order.
std::vector<OutOfFormatField> outOfFormatFields(const ParameterImage& image);

// The field's bytes in `image`, the bits of other fields as 0.
std::vector<std::uint8_t> fieldBytes(const fields::Field& field, const ParameterImage& image);

// Key of these fields in the JSON, and the line the editor's tooltip shows.
inline constexpr const char* kOutOfFormatKey = "outOfFormat";
std::string outOfFormatTip(const std::vector<std::uint8_t>& bytes);

}  // namespace corvanta
