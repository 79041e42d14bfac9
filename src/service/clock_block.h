#pragma once
// The module clock: the data part of block FFFE as the module hands it out,
// the frame the tool writes into it, and the text the installer is shown.

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/block_frame.h"

namespace corvanta {

namespace clock_layout {
inline constexpr std::size_t kYear = 0;    // within the century, 0..99
inline constexpr std::size_t kMonth = 1;
inline constexpr std::size_t kDay = 2;
inline constexpr std::size_t kHour = 3;
inline constexpr std::size_t kMinute = 4;
inline constexpr std::size_t kSecond = 5;  // kept by the module; written as 0
}  // namespace clock_layout

// Date and time to the minute. Read from the module, year is the year within
// the century; given for a write, it may be a full year.
struct ClockTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    bool operator==(const ClockTime&) const = default;
};

ClockTime clockFromBlock(const BlockFrame& frame);

// The sealed frame for block FFFE: the year modulo 100, month, day, hour and
// minute; every other data and extension byte zero, so the seconds restart.
BlockFrame clockWriteFrame(const ClockTime& time);

// "A modul órája: YY/MM/DD - hh:mm" (UTF-8), each field at least two digits.
std::string clockMessage(const ClockTime& time);

}  // namespace corvanta
