#include "params/image_diff.h"

#include <array>

#include "params/hex_digits.h"
#include "params/parameter_codec.h"

namespace corvanta {
namespace {

// Which bits of each byte belong to a field, and which fields hold a byte.
struct ByteIndex {
    std::array<std::uint8_t, kImageSize> held{};
    std::array<std::vector<std::uint16_t>, kImageSize> fieldsAt;
};

ByteIndex buildIndex() {
    ByteIndex index;
    const auto& fields = fields::catalogue().fields;
    for (std::size_t f = 0; f < fields.size(); ++f) {
        for (std::size_t i = fields[f].offset; i < fields[f].offset + fields[f].length; ++i) {
            index.held[i] |= fields[f].mask;
            index.fieldsAt[i].push_back(static_cast<std::uint16_t>(f));
        }
    }
    return index;
}

const ByteIndex& byteIndex() {
    static const ByteIndex index = buildIndex();
    return index;
}

std::string fieldHex(const fields::Field& field, const ParameterImage& image) {
    std::string hex = " [";
    for (std::size_t i = field.offset; i < field.offset + field.length; ++i) {
        const std::uint8_t b = image[i] & field.mask;
        if (i != field.offset) hex.push_back(' ');
        hex.push_back(kHexDigits[b >> 4]);
        hex.push_back(kHexDigits[b & 0x0F]);
    }
    return hex + "]";
}

}  // namespace

ImageDiff diff(const ParameterImage& a, const ParameterImage& b) {
    ImageDiff result;
    const ByteIndex& index = byteIndex();
    const auto& fields = fields::catalogue().fields;
    std::vector<bool> changed(fields.size());
    bool any = false;
    for (std::size_t i = 0; i < kImageSize; ++i) {
        const std::uint8_t x = a[i] ^ b[i];
        if (x == 0) continue;
        if (x & ~index.held[i]) ++result.otherBytes;
        for (std::uint16_t f : index.fieldsAt[i]) {
            if (x & fields[f].mask) changed[f] = any = true;
        }
    }
    if (!any) return result;

    const ParameterValues va = decode(a);
    const ParameterValues vb = decode(b);
    for (std::size_t f = 0; f < fields.size(); ++f) {
        if (!changed[f]) continue;
        FieldChange change{&fields[f], fields[f].show(va), fields[f].show(vb)};
        if (change.before == change.after) {
            change.before += fieldHex(fields[f], a);
            change.after += fieldHex(fields[f], b);
        }
        result.changes.push_back(std::move(change));
    }
    return result;
}

std::string otherBytesLine(int count) { return "other bytes: " + std::to_string(count) + " differ"; }

}  // namespace corvanta
