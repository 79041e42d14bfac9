#pragma once
// Hexadecimal digits as the module writes them (upper case) and as people
// type them (either case). Every reader of hex text shares these.

namespace corvanta {

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// Value of an upper-case hex digit, or -1: the module never sends lower case,
// so a lower-case digit on the wire is damage.
constexpr int upperHexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Value of a hex digit of either case, or -1.
constexpr int hexValue(char c) {
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return upperHexValue(c);
}

}  // namespace corvanta
