#pragma once
// Images that differ in one field, for tests that need many distinct ones.

#include "params/parameter_codec.h"
#include "params/parameter_image.h"

namespace corvanta::testing {

// An erased module's image with the first zone's entry delay set.
inline ParameterImage imageWithEntryDelay(int delay) {
    ParameterImage image;
    image.fill(0xFF);
    ParameterValues v = decode(image);
    v.zones[0].entryDelay = delay;
    encode(v, image);
    return image;
}

}  // namespace corvanta::testing
