#pragma once
// The short event list as text people keep: its column titles, the rows it
// shows (numbered as the grid numbers them, empty slots left out) and CSV.

#include <array>
#include <string>
#include <vector>

#include "service/event_list.h"

namespace corvanta {

inline constexpr std::size_t kEventListColumns = 14;
// "Sorszám", "Időpont", "Esemény", "Zóna / Felhasználó", T1..S4, "Közp", "Státusz".
extern const std::array<const char*, kEventListColumns> kEventListTitles;

struct NumberedEventRow {
    int number = 0;  // 1..90, newest first
    EventListRow cells;
};

// The rows of the list that hold an event.
std::vector<NumberedEventRow> shownEventRows(const EventMemory& memory, const ModuleNames& names);

// The 14 cells as kept text: the event name without its padding and one
// blank after the subject number.
std::array<std::string, kEventListColumns> keptCells(const NumberedEventRow& row);

// One CSV line (with its "\n"): fields joined by commas; a field holding a
// comma, a quote or a line break is quoted, its quotes doubled.
std::string csvLine(const std::vector<std::string>& fields);

// A header line of the titles, then one line per row.
std::string eventListCsv(const std::vector<NumberedEventRow>& rows);

}  // namespace corvanta
