#include "params/out_of_format.h"

#include "params/hex_digits.h"
#include "params/parameter_codec.h"

namespace corvanta {

std::vector<std::uint8_t> fieldBytes(const fields::Field& field, const ParameterImage& image) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(field.length);
    for (std::size_t i = field.offset; i < field.offset + field.length; ++i) bytes.push_back(image[i] & field.mask);
    return bytes;
}

std::vector<OutOfFormatField> outOfFormatFields(const ParameterImage& image) {
    const ParameterValues shown = decode(image);
    ParameterImage stored = image;
    encodeEveryField(shown, stored);
    std::vector<OutOfFormatField> out;
    for (const fields::Field& f : fields::catalogue().fields) {
        const bool passes = !f.passesTypedCheck || f.passesTypedCheck(shown);
        if (f.sameBits(image, stored) && passes) continue;
        out.push_back({&f, fieldBytes(f, image)});
    }
    return out;
}

std::string outOfFormatTip(const std::vector<std::uint8_t>& bytes) {
    std::string tip = "A modul a formátumon kívüli értéket tárol:";
    for (std::uint8_t b : bytes) {
        tip += " 0x";
        tip += kHexDigits[b >> 4];
        tip += kHexDigits[b & 0x0F];
    }
    return tip;
}

}  // namespace corvanta
