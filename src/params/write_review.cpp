#include "params/write_review.h"

#include <algorithm>

#include "params/code_fields.h"
#include "params/image_layout.h"

namespace corvanta {

namespace {

// Three zero bytes are "no code" (shown as "******").
bool holdsCode(const ParameterImage& image, std::size_t offset) {
    return std::any_of(image.begin() + std::ptrdiff_t(offset),
                       image.begin() + std::ptrdiff_t(offset + codes::kCodeBytes), [](std::uint8_t b) { return b != 0; });
}

}  // namespace

WriteReview reviewWrite(const ParameterImage& module, const ParameterImage& image) {
    WriteReview review;
    review.changes = diff(module, image);
    for (FieldChange& c : review.changes.changes) {
        if (!codes::isCodePath(c.field->path)) continue;
        c.before = codes::shownCode(c.before, false);
        c.after = codes::shownCode(c.after, false);
        // Both hidden alike: say which way it goes without the digits.
        if (c.before == c.after) c.after += " (\u00faj)";
    }
    const codes::CodeDifferences differ = codes::codeDifferences(module, image);
    for (int u : differ.users)
        if (holdsCode(module, layout::userOffset(std::size_t(u)) + layout::kUserCodeRel))
            review.userCodesOverwritten.push_back(u);
    review.installerCodeChanges = differ.installer;
    return review;
}

std::string codeOverwriteWarning(const WriteReview& review) {
    if (review.userCodesOverwritten.empty()) return {};
    return std::to_string(review.userCodesOverwritten.size()) + " felhaszn\u00e1l\u00f3i k\u00f3dot fel\u00fcl\u00edr";
}

std::string reviewLine(const FieldChange& change) {
    const bool text = change.field->text && !codes::isCodePath(change.field->path);
    const auto shown = [text](const std::string& v) { return text ? "\"" + v + "\"" : v; };
    return change.field->caption + ": " + shown(change.before) + " \u2192 " + shown(change.after);
}

std::string otherBytesReviewLine(int count) {
    return "A modul saj\u00e1t b\u00e1jtjai k\u00f6z\u00fcl " + std::to_string(count) + " elt\u00e9r";
}

}  // namespace corvanta
