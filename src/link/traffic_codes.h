#pragma once
// The traffic log's view of the block frames that carry the parameter image:
// the user codes and the installer code travel in them barely encoded (each
// digit a nibble), so every place the log is shown or saved hides those
// nibbles unless the installer asks for the frames as they are.

#include <string>
#include <string_view>

namespace corvanta {

// Stands in for each hex digit of a code.
inline constexpr char kMaskedDigit = '*';

// `line` with the digits of every code byte replaced by kMaskedDigit, when
// it is a parameter block frame: a read reply ("RDFL" and 540 digits) or the
// 540 digits of a write. The checksum of a frame that holds codes goes too:
// with every other byte in view it gives away the sum of the codes, which
// narrows a four-digit installer code down to a few dozen. Which block it is comes from the frame's address;
// a line of another length, or whose address is no parameter block's (a
// clock, version or event block, a damaged address), comes back as it is.
// A digit damaged elsewhere in a frame does not keep its codes in view.
std::string maskTrafficCodes(std::string_view line);

}  // namespace corvanta
