#include "fleet/parameter_change.h"

#include "params/code_fields.h"
#include "params/image_diff.h"
#include "params/parameter_codec.h"

namespace corvanta::fleet {

ParameterImage applied(const ParameterChange& change, const ParameterImage& image) {
    // As encode does it: a field is written only where its value changes,
    // so bits outside a field's format that show the value are kept.
    const ParameterValues shown = decode(image);
    const ParameterValues wanted = decode(change.values);
    ParameterImage out = image;
    for (const fields::Field* f : change.fields) {
        if (f->show(shown) != f->show(wanted)) f->copyBits(change.values, out);
    }
    return out;
}

ParameterChange changeBetween(const ParameterImage& from, const ParameterImage& to) {
    ParameterChange change;
    change.values = to;
    for (const FieldChange& c : diff(from, to).changes) change.fields.push_back(c.field);
    return change;
}

bool sameButCodes(const ParameterImage& a, const ParameterImage& b) {
    for (std::size_t i = 0; i < kImageSize; ++i) {
        if (a[i] != b[i] && !codes::isCodeByte(i)) return false;
    }
    return true;
}

bool stillHolds(const ParameterImage& module, const ParameterImage& before, const ParameterImage& written) {
    for (std::size_t i = 0; i < kImageSize; ++i) {
        if (module[i] == written[i]) continue;
        if (!codes::isCodeByte(i) || before[i] != written[i]) return false;
    }
    return true;
}

ParameterImage undone(const ParameterImage& module, const ParameterImage& before, const ParameterImage& written) {
    ParameterImage out = module;
    for (std::size_t i = 0; i < kImageSize; ++i) {
        if (before[i] != written[i]) out[i] = before[i];
    }
    return out;
}

}  // namespace corvanta::fleet
