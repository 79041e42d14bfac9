#pragma once
// The module's "AT_{" line (its last eight events) and "AT_/" message line,
// as the status monitor shows them.

#include <array>
#include <string>
#include <string_view>

#include "service/event_list.h"
#include "service/event_log_entry.h"

namespace corvanta {

// Entry 0 is the newest. A pair of characters that is not two upper-case
// hexadecimal digits, or that lies beyond the end of a short line, is the
// byte 0.
std::array<EventLogEntry, 8> decodeEventFrame(std::string_view line);

// Columns 1..13 of one row of the monitor's grid. The subject column shows
// only the number: "Z=5", "F=2", or "--" for events without a subject. An
// empty slot gives an all-empty row.
EventListRow eventFrameRow(const EventLogEntry& entry);

// The text of an "AT_/" line: everything after the prefix, still in the
// module's Windows-1250 bytes.
std::string_view statusMessageText(std::string_view line);

}  // namespace corvanta
