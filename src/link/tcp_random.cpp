#include "link/tcp_random.h"

namespace corvanta {

std::uint8_t TcpRandom::next()
{
    seed_ = seed_ * 134775813u + 1u;  // wraps modulo 2^32 by design
    return static_cast<std::uint8_t>((std::uint64_t{seed_} * 255u) >> 32);
}

}  // namespace corvanta
