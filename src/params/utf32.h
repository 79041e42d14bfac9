#pragma once
// UTF-8 text to one code point per element and back, for work that counts
// columns in characters (the settings listing).

#include <string>
#include <string_view>

namespace corvanta {

// Malformed sequences become U+FFFD.
std::u32string toUtf32(std::string_view utf8);
std::string toUtf8(std::u32string_view text);

}  // namespace corvanta
