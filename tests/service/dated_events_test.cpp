// The year an event list's entries are kept under: the one that puts each
// last before the load, the same for every load within the year.

#include "service/dated_events.h"

#include <gtest/gtest.h>

using namespace corvanta;

namespace {

EventLogEntry entryOn(int month, int day, int hour = 8, int minute = 5, int kind = 27, int subject = 3) {
    return {std::uint8_t(kind), std::uint8_t(month << 4 | subject), std::uint8_t(day), std::uint8_t(hour),
            std::uint8_t(minute), 0, 0, 0};
}

std::string dated(const EventLogEntry& e, ModuleMinute loadedAt) { return datedMinute(e, loadedAt).text(); }

}  // namespace

TEST(DatedEvents, AnEntryTakesTheYearThatPutsItLastBeforeTheLoad) {
    const ModuleMinute march{2026, 3, 15, 10, 0};
    EXPECT_EQ(dated(entryOn(3, 14), march), "2026-03-14 08:05");
    // December seen in March, and seen again in January, is last year's.
    EXPECT_EQ(dated(entryOn(12, 30), march), "2025-12-30 08:05");
    EXPECT_EQ(dated(entryOn(12, 30), {2026, 1, 2, 9, 0}), "2025-12-30 08:05");
    EXPECT_EQ(dated(entryOn(12, 30), {2025, 12, 31, 9, 0}), "2025-12-30 08:05");
    // A module clock up to a day ahead of the computer's is this year.
    EXPECT_EQ(dated(entryOn(3, 16, 9), march), "2026-03-16 09:05");
    EXPECT_EQ(dated(entryOn(3, 17), march), "2025-03-17 08:05");
    EXPECT_EQ(dated(entryOn(1, 1, 0, 10), {2025, 12, 31, 23, 55}), "2026-01-01 00:10");
}

TEST(DatedEvents, ALeapDayWaitsForALeapYearAndNoDateKeepsTheModulesNumbers) {
    EXPECT_EQ(dated(entryOn(2, 29), {2026, 3, 15, 10, 0}), "2024-02-29 08:05");
    const ModuleMinute none = datedMinute(entryOn(13, 40, 25), {2026, 3, 15, 10, 0});
    EXPECT_FALSE(none.valid());
    EXPECT_EQ(none.text(), "2026-13-40 25:05");
}

TEST(DatedEvents, TheListsEventsComeNewestFirstWithTheirSubjectCells) {
    EventMemory memory{};
    const EventLogEntry newer = entryOn(3, 14, 9, 0), older = entryOn(3, 13, 9, 0, 31, 0);
    std::copy(newer.begin(), newer.end(), memory.begin() + 8);
    std::copy(older.begin(), older.end(), memory.begin());
    memory[eventmemory::kNewestIndex] = 1;
    const auto events = datedEvents(memory, ModuleNames{}, {2026, 3, 15, 10, 0});
    ASSERT_EQ(events.size(), 2u);  // the empty slots are left out
    EXPECT_EQ(events[0].at.text(), "2026-03-14 09:00");
    EXPECT_EQ(events[0].entry, newer);
    EXPECT_EQ(events[0].subject, "3.");
    EXPECT_EQ(events[1].subject, "");  // kind 31 names no one
}
