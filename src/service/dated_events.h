#pragma once
// The entries of a loaded event list as they are kept for years: each with
// the calendar minute it happened at. The module's clock has no year in its
// entries, so the year is the one that puts the entry last before the load
// (a day of leeway for a module clock that runs ahead): the same entry gets
// the same year however often, and whenever within the year, it is loaded.

#include <string>
#include <vector>

#include "service/event_list.h"

namespace corvanta {

// A minute on the module's own clock (no time zone).
struct ModuleMinute {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;

    // A date the calendar has and a time of day the clock can show.
    bool valid() const;
    // "YYYY-MM-DD HH:MM"; also for a minute that is not valid, so that it
    // is kept as the module gave it.
    std::string text() const;
    auto operator<=>(const ModuleMinute&) const = default;
};

struct DatedEvent {
    ModuleMinute at;
    EventLogEntry entry{};
    // The "Zóna / Felhasználó" cell as kept text, with the names known then.
    std::string subject;
};

// The year of an entry's month, day and time as seen at `loadedAt`: the
// latest such minute no later than a day after the load. A month and day
// that no year has (13/40) take the load's year.
ModuleMinute datedMinute(const EventLogEntry& entry, const ModuleMinute& loadedAt);

// The events the list shows (empty slots left out), newest first.
std::vector<DatedEvent> datedEvents(const EventMemory& memory, const ModuleNames& names,
                                    const ModuleMinute& loadedAt);

}  // namespace corvanta
