#pragma once
// The one conversion pair between the module's Windows-1250 bytes and the
// UTF-8 text the program works with. Every name, SMS text and version text
// crosses here, nowhere else.

#include <string>
#include <string_view>

namespace corvanta {

// Module bytes (Windows-1250) to UTF-8. The five byte values the code page
// leaves undefined become the C1 controls U+0081, U+0083, U+0088, U+0090 and
// U+0098, and toWin1250 turns those back, so every byte survives a round trip.
std::string fromWin1250(std::string_view bytes);

// UTF-8 text to module bytes. Characters the code page cannot hold become
// '?'; malformed UTF-8 sequences also become '?'. One character in, one byte
// out, so a text of N characters always encodes to N bytes.
std::string toWin1250(std::string_view utf8);

// Number of characters (code points) in a UTF-8 text.
std::size_t utf8Length(std::string_view utf8);

}  // namespace corvanta
