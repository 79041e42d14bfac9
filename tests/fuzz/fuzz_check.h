#pragma once
// What every fuzz target may use: a check that stays on in release builds and
// stops the run with the rule that broke, and small readers of the input.
// libFuzzer keeps the input that broke a rule; the corpus replay names it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

namespace corvanta::fuzz {

using Input = std::span<const std::uint8_t>;

// Set by the corpus replay to the file being replayed.
inline const char* currentInput = nullptr;

[[noreturn]] inline void fail(const char* rule, const char* file, int line) {
    std::fprintf(stderr, "fuzz: rule broken at %s:%d: %s%s%s\n", file, line, rule,
                 currentInput ? "\n      input: " : "", currentInput ? currentInput : "");
    std::abort();
}

inline std::string_view text(Input in) {
    return {reinterpret_cast<const char*>(in.data()), in.size()};
}

// Structurally valid UTF-8 (no stray continuation bytes, no cut sequences).
inline bool isUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
        i += n;
    }
    return true;
}

// Reads the input front to back; past its end every read gives zeros.
class Reader {
public:
    explicit Reader(Input in) : in_(in) {}
    std::uint8_t byte() { return at_ < in_.size() ? in_[at_++] : 0; }
    std::uint16_t word() { return static_cast<std::uint16_t>(byte() << 8 | byte()); }
    Input rest() { auto r = in_.subspan(at_); at_ = in_.size(); return r; }

private:
    Input in_;
    std::size_t at_ = 0;
};

}  // namespace corvanta::fuzz

#define FUZZ_CHECK(rule) \
    do { \
        if (!(rule)) ::corvanta::fuzz::fail(#rule, __FILE__, __LINE__); \
    } while (0)
