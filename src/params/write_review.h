#pragma once
// What a write would change on the module, field by field, told before it
// is sent: against the image the module is known to hold (read from it in
// this run, or the site's latest snapshot). Codes are named, never shown,
// and a write that would replace codes the module holds says so apart: a
// customer's code changed at the keypad stops working.

#include <string>
#include <vector>

#include "params/image_diff.h"
#include "params/parameter_image.h"

namespace corvanta {

struct WriteReview {
    // Module -> image, codes shown as codes::kHidden.
    ImageDiff changes;
    // Users whose code the module holds (not "no code") and the write
    // replaces or clears, ascending.
    std::vector<int> userCodesOverwritten;
    bool installerCodeChanges = false;

    int fieldCount() const { return int(changes.changes.size()); }
    bool changesNothing() const { return changes.equal(); }
};

WriteReview reviewWrite(const ParameterImage& module, const ParameterImage& image);

// "3 felhasználói kódot felülír"; empty for none.
std::string codeOverwriteWarning(const WriteReview& review);
inline constexpr const char* kInstallerCodeWarning = "a telepítői kódot megváltoztatja";

// "3. Zóna · Belépési késlelt.: 10 → 20", texts in quotes.
std::string reviewLine(const FieldChange& change);
// "A modul saját bájtjai közül 3 eltér" for bytes no field holds.
std::string otherBytesReviewLine(int count);

}  // namespace corvanta
