#pragma once
// The tool's copy of the module's event memory and the rows of the short
// event list drawn from it: the newest 90 of the ring's 96 entries, newest
// first, with the names of the users and zones involved.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "service/event_log_entry.h"
#include "service/module_names.h"

namespace corvanta {

// Byte map of the event memory: four 256-byte blocks from 0xF000.
namespace eventmemory {
inline constexpr std::size_t kSize = 1024;
inline constexpr std::size_t kBlocks = 4;
inline constexpr std::size_t kBlockSize = 256;
inline constexpr int kRingEntries = 96;
inline constexpr std::size_t kEntrySize = 8;
inline constexpr std::size_t kNewestIndex = 768;
inline constexpr int kShownRows = 90;
}  // namespace eventmemory

using EventMemory = std::array<std::uint8_t, eventmemory::kSize>;

EventLogEntry entryAt(const EventMemory& memory, int k);

// Ring entry shown in row 1..90: the newest, then back round the ring.
// Nothing when the newest index is outside the ring: the module never writes
// one, and the order of the entries cannot be known from it.
std::optional<int> entryForRow(const EventMemory& memory, int row);

// "s. name" for users and zones; "" for events without a subject. A loaded
// name brings its own leading blank.
std::string subjectCellText(const EventLogEntry& entry, const ModuleNames& names);

// Columns 1..13 of one row ("Időpont" .. "Státusz"); all empty for an empty
// slot, so no marks of an earlier display stay beside it.
struct EventListRow {
    std::string time;
    std::string kind;
    std::string subject;
    std::array<std::string, eventlog::kRouteCount> routes;
    std::string status;
};

EventListRow eventListRow(const EventLogEntry& entry, const ModuleNames& names);

}  // namespace corvanta
