#pragma once
// The random values in the TCP/IP plain blocks: a linear congruential
// generator that starts at seed 0 and is never reseeded, so every run of the
// program draws the same sequence. The far end never checks the values; they
// only vary the ciphertext of otherwise equal blocks.

#include <cstdint>

namespace corvanta {

class TcpRandom {
public:
    // Next value, 0..254 (never 255).
    std::uint8_t next();

private:
    std::uint32_t seed_ = 0;
};

}  // namespace corvanta
