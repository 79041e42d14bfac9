#pragma once
// Serial port names and the words used when one cannot be opened.

#include <string>
#include <string_view>

namespace corvanta {

// "COM" + number names (any case) become "COM1".."COM96"; a number that is
// missing or out of range gives "COM1", as does an empty name. Anything else
// is a device name (/dev/ttyUSB0, a pseudo-terminal) and stays as given.
std::string normaliseSerialPortName(std::string_view name);

enum class SerialOpenProblem { NoSuchDevice, PermissionDenied, Busy, Other };

// Message for a port that would not open, saying what to do about it.
// group: the group that owns the device (PermissionDenied); detail: the
// serial layer's own words (Other); systemError: errno, 0 when unknown.
std::string serialOpenErrorText(SerialOpenProblem problem, std::string_view port,
                                std::string_view group, std::string_view detail,
                                int systemError);

}  // namespace corvanta
