#pragma once
// Edits confirmed into the parameter image that exist nowhere else yet: not
// written to the module and not saved to a file. Whatever replaces the image
// (a read, an opened file, a copy from the site book) or ends the program
// asks first while there are any, and only then.

#include "params/parameter_image.h"

namespace corvanta {

class Messenger;

class UnsavedEdits {
public:
    static constexpr const char* kQuestion = "Az el nem mentett módosítások elvesznek. Folytatja?";

    // Watches `image`, which must outlive this; as it stands now it counts
    // as kept.
    explicit UnsavedEdits(const ParameterImage& image) : image_(image), kept_(image) {}

    // The image as it stands is kept elsewhere now: read from or written to
    // the module, opened from or saved to a file, taken from a stored copy.
    void markKept() { kept_ = image_; }
    bool pending() const { return image_ != kept_; }
    // The image as it was last kept.
    const ParameterImage& kept() const { return kept_; }

    // True when nothing would be lost, or when the user agreed to lose it.
    // Without a messenger to ask, edits are never thrown away.
    bool confirmLoss(Messenger* messenger) const;

private:
    const ParameterImage& image_;
    ParameterImage kept_;
};

}  // namespace corvanta
