#pragma once
// Images that differ in one field, for tests that need many distinct ones.

#include <random>

#include "params/parameter_codec.h"
#include "params/parameter_image.h"

namespace corvanta::testing {

// Every byte `b`: the erased memory (0xFF), the zeroed one, any pattern.
inline ParameterImage filled(std::uint8_t b) {
    ParameterImage image;
    image.fill(b);
    return image;
}

inline ParameterImage randomImage(std::mt19937& rng) {
    std::uniform_int_distribution<int> byte(0, 255);
    ParameterImage image;
    for (auto& b : image) b = static_cast<std::uint8_t>(byte(rng));
    return image;
}

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
