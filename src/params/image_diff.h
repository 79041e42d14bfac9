#pragma once
// What differs between two parameter images, field by field, with each
// field's key path, caption and the values shown before and after.

#include <string>
#include <vector>

#include "params/field_catalogue.h"
#include "params/parameter_image.h"

namespace corvanta {

struct FieldChange {
    const fields::Field* field;  // an entry of fields::catalogue()
    // As the editor shows them. When the bytes differ but show the same (a
    // value beyond a list or range shows as its neighbour does), both carry
    // the field's bytes in hexadecimal, so no difference goes unseen.
    std::string before;
    std::string after;
};

struct ImageDiff {
    std::vector<FieldChange> changes;  // in catalogue order
    // Bytes that differ in bits no field holds (the module's own bytes,
    // unused bits of a flag word).
    int otherBytes = 0;

    bool equal() const { return changes.empty() && otherBytes == 0; }
};

ImageDiff diff(const ParameterImage& a, const ParameterImage& b);

// The line that stands for ImageDiff::otherBytes: "other bytes: 3 differ".
std::string otherBytesLine(int count);
// Key path of that line in JSON, the key decode prints those bytes under.
inline constexpr const char* kOtherBytesPath = "unmapped";

}  // namespace corvanta
