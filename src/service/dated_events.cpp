#include "service/dated_events.h"

#include <chrono>
#include <cstdio>

#include "service/event_list_export.h"

namespace corvanta {

namespace {

// A leap day waits up to eight years for its year (2096 to 2104 skips one).
constexpr int kYearsBackForLeapDay = 8;

bool validDate(int year, int month, int day) {
    using namespace std::chrono;
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 &&
           year_month_day{std::chrono::year{year}, std::chrono::month{unsigned(month)}, std::chrono::day{unsigned(day)}}.ok();
}

ModuleMinute nextDay(ModuleMinute m) {
    using namespace std::chrono;
    const year_month_day d{std::chrono::year{m.year}, std::chrono::month{unsigned(m.month)},
                           std::chrono::day{unsigned(m.day)}};
    const year_month_day next{sys_days{d} + days{1}};
    m.year = int(next.year());
    m.month = int(unsigned(next.month()));
    m.day = int(unsigned(next.day()));
    return m;
}

}  // namespace

bool ModuleMinute::valid() const {
    return validDate(year, month, day) && hour >= 0 && hour < 24 && minute >= 0 && minute < 60;
}

std::string ModuleMinute::text() const {
    char out[48];
    std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d", year, month, day, hour, minute);
    return out;
}

ModuleMinute datedMinute(const EventLogEntry& entry, const ModuleMinute& loadedAt) {
    ModuleMinute m;
    m.month = entry[eventlog::kMonthSubject] >> 4;
    m.day = entry[eventlog::kDay];
    m.hour = entry[eventlog::kHour];
    m.minute = entry[eventlog::kMinute];
    const ModuleMinute latest = loadedAt.valid() ? nextDay(loadedAt) : loadedAt;
    for (int year = latest.year; year > latest.year - kYearsBackForLeapDay; --year) {
        m.year = year;
        if (validDate(year, m.month, m.day) && m <= latest) return m;
    }
    m.year = loadedAt.year;
    return m;
}

std::vector<DatedEvent> datedEvents(const EventMemory& memory, const ModuleNames& names,
                                    const ModuleMinute& loadedAt) {
    std::vector<DatedEvent> out;
    for (const NumberedEventRow& row : shownEventRows(memory, names)) {
        const std::optional<int> k = entryForRow(memory, row.number);
        DatedEvent e;
        e.entry = entryAt(memory, *k);
        e.at = datedMinute(e.entry, loadedAt);
        e.subject = keptCells(row)[3];
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace corvanta
