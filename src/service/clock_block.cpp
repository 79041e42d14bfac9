#include "service/clock_block.h"

#include <cstdio>

namespace corvanta {

ClockTime clockFromBlock(const BlockFrame& frame) {
    using namespace clock_layout;
    return {frame[kYear], frame[kMonth], frame[kDay], frame[kHour], frame[kMinute]};
}

BlockFrame clockWriteFrame(const ClockTime& time) {
    using namespace clock_layout;
    BlockFrame frame{};
    // A year before the common era never comes from a computer clock; the
    // remainder stays in 0..99 all the same.
    frame[kYear] = std::uint8_t((time.year % 100 + 100) % 100);
    frame[kMonth] = std::uint8_t(time.month);
    frame[kDay] = std::uint8_t(time.day);
    frame[kHour] = std::uint8_t(time.hour);
    frame[kMinute] = std::uint8_t(time.minute);
    sealFrame(frame, kClockBlock);
    return frame;
}

std::string clockMessage(const ClockTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "A modul órája: %.2d/%.2d/%.2d - %.2d:%.2d", t.year, t.month, t.day,
                  t.hour, t.minute);
    return text;
}

}  // namespace corvanta
