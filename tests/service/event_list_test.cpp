// The event log entry's columns, the ring order of the short list, the
// subject cell and the names taken from the module's parameter blocks.

#include "service/event_list.h"
#include "service/event_list_export.h"

#include <gtest/gtest.h>

#include "params/win1250.h"

using namespace corvanta;

namespace {

EventLogEntry entry(int kind, int month, int subject, int day = 1, int hour = 0, int minute = 0,
                    int routes = 0, int report = 0) {
    return {std::uint8_t(kind), std::uint8_t(month << 4 | subject), std::uint8_t(day),
            std::uint8_t(hour), std::uint8_t(minute), 0, std::uint8_t(routes), std::uint8_t(report)};
}

std::string status(int routes, int report) {
    return routeStatusText(entry(1, 1, 1, 1, 0, 0, routes, report));
}

ModuleNames::Source blocksWithNames() {
    ModuleNames::Source b{};
    const std::string user3 = toWin1250("Kovács");
    std::copy(user3.begin(), user3.end(), b.begin() + 2 * 15);
    // A zero in the middle of a field is skipped, not an end.
    const std::uint8_t zone1[] = {'A', 0, 'j', 't', 0xF3};  // "Ajtó"
    std::copy(std::begin(zone1), std::end(zone1), b.begin() + 183);
    // The last user and zone fill all ten bytes.
    std::fill_n(b.begin() + 11 * 15, 10, std::uint8_t('U'));
    std::fill_n(b.begin() + 183 + 11 * 20, 10, std::uint8_t('Z'));
    // Bytes just after a name field (a code, the zone type) are not name.
    b[11 * 15 + 10] = 'x';
    b[183 + 11 * 20 + 10] = 'y';
    return b;
}

}  // namespace

TEST(EventColumns, TimeIsMonthDayHourMinuteWithLeadingZeros) {
    EXPECT_EQ(eventTimeText(entry(1, 3, 9, 15, 8, 5)), "03/15 - 08:05");
    EXPECT_EQ(eventTimeText(entry(1, 12, 15, 31, 23, 59)), "12/31 - 23:59");
    // The subject in the low nibble never leaks into the month.
    EXPECT_EQ(eventTimeText(entry(1, 0, 15, 0, 0, 0)), "00/00 - 00:00");
}

TEST(EventColumns, KindIsTheEventNamePaddedToSeventeenCharacters) {
    EXPECT_EQ(eventKindText(entry(1, 1, 1)), "IN1 Riasztás     ");
    EXPECT_EQ(utf8Length(eventKindText(entry(47, 1, 0))), 17u);
    EXPECT_EQ(eventKindText(entry(47, 1, 0)), "RF zaj           ");
    // Relay trigger names beyond 47 are never shown as logged events.
    EXPECT_EQ(eventKindText(entry(48, 1, 0)), std::string(17, ' '));
}

TEST(EventColumns, RouteMarksFollowTheBitsInColumnOrder) {
    const auto marks = routeMarks(entry(1, 1, 1, 1, 0, 0, 0b1000'0101, 0b1111'1111));
    const std::array<std::string, 9> expected = {"X", "-", "X", "-", "-", "-", "-", "X", "X"};
    EXPECT_EQ(marks, expected);
    const auto none = routeMarks(entry(1, 1, 1, 1, 0, 0, 0, 0xFE));
    for (const auto& m : none) EXPECT_EQ(m, "-");
}

TEST(EventColumns, RouteStatusWeighsEndedThenDelayedThenPending) {
    EXPECT_EQ(status(0, 2), "OK.");
    EXPECT_EQ(status(1, 2), "STOP");
    EXPECT_EQ(status(0, 3), "STOP");  // only the central station still pending
    EXPECT_EQ(status(1, 16), "Késl.");
    EXPECT_EQ(status(0, 16), "Késl.");
    EXPECT_EQ(status(0, 1), "Aktív");
    EXPECT_EQ(status(0x80, 0), "Aktív");
    EXPECT_EQ(status(0, 0), "OK.");
    EXPECT_EQ(status(0, 0xE0), "OK.");  // bits 5..7 mean nothing
    // Each of the three ended bits alone wins over the delay.
    for (int ended : {0x02, 0x04, 0x08}) {
        EXPECT_EQ(status(1, ended | 0x10), "STOP") << ended;
        EXPECT_EQ(status(0, ended | 0x10), "OK.") << ended;
    }
}

TEST(EventColumns, SubjectMarkersAtTheEdgesOfEachGroup) {
    for (int k : {1, 26, 37, 40}) EXPECT_EQ(subjectMarker(k), SubjectMarker::Zone) << k;
    for (int k : {27, 30, 43, 46}) EXPECT_EQ(subjectMarker(k), SubjectMarker::User) << k;
    for (int k : {31, 36, 41, 42, 44, 45, 47}) EXPECT_EQ(subjectMarker(k), SubjectMarker::None) << k;
}

TEST(EventRing, RowsWalkBackFromTheNewestAndWrap) {
    EventMemory m{};
    m[eventmemory::kNewestIndex] = 0;
    EXPECT_EQ(entryForRow(m, 1), 0);
    EXPECT_EQ(entryForRow(m, 2), 95);
    EXPECT_EQ(entryForRow(m, 3), 94);
    m[eventmemory::kNewestIndex] = 95;
    EXPECT_EQ(entryForRow(m, 1), 95);
    EXPECT_EQ(entryForRow(m, 90), 6);
    EXPECT_EQ(entryForRow(m, 91), std::nullopt);

    m[0] = 0x11;                                  // the ring's first entry
    m[95 * eventmemory::kEntrySize + 7] = 0x22;   // and its last
    EXPECT_EQ(entryAt(m, 0)[0], 0x11);
    EXPECT_EQ(entryAt(m, 95)[7], 0x22);
    for (int k : {-1, 96}) EXPECT_EQ(entryAt(m, k), EventLogEntry{}) << k;  // not the newest index behind it
}

TEST(EventRing, NewestIndexOutsideTheRingShowsNothing) {
    EventMemory m{};
    for (int newest : {96, 127, 255}) {
        m[eventmemory::kNewestIndex] = std::uint8_t(newest);
        for (int row = 1; row <= eventmemory::kShownRows; ++row)
            EXPECT_EQ(entryForRow(m, row), std::nullopt) << newest << " row " << row;
    }
}

TEST(SubjectCell, UsersAndZonesWithNamesAndFixedSubjects) {
    const ModuleNames loaded = ModuleNames::fromBlocks(blocksWithNames());
    const ModuleNames none;
    EXPECT_EQ(subjectCellText(entry(27, 1, 3), loaded), "3.  Kovács");
    EXPECT_EQ(subjectCellText(entry(43, 1, 13), loaded), "13. Telepítő");
    EXPECT_EQ(subjectCellText(entry(46, 1, 14), loaded), "14. Automat.");
    EXPECT_EQ(subjectCellText(entry(28, 1, 0), loaded), "0. ");
    EXPECT_EQ(subjectCellText(entry(28, 1, 15), loaded), "15. ");
    EXPECT_EQ(subjectCellText(entry(1, 1, 0), none), "0. LCD-Kezelő");
    EXPECT_EQ(subjectCellText(entry(1, 1, 5), none), "5. ");
    EXPECT_EQ(subjectCellText(entry(39, 1, 1), loaded), "1.  Ajtó");
    EXPECT_EQ(subjectCellText(entry(40, 1, 13), loaded), "13. ");
    EXPECT_EQ(subjectCellText(entry(31, 1, 3), loaded), "");
}

TEST(SubjectCell, EmptySlotLeavesTheWholeRowEmpty) {
    const ModuleNames none;
    for (int kind : {0, 48, 255}) {
        const EventListRow row = eventListRow(entry(kind, 3, 3, 15, 8, 5, 0xFF, 0xFF), none);
        EXPECT_TRUE(row.time.empty() && row.kind.empty() && row.subject.empty() &&
                    row.status.empty())
            << kind;
        for (const auto& mark : row.routes) EXPECT_TRUE(mark.empty());
    }
    const EventListRow full = eventListRow(entry(31, 3, 0, 15, 8, 5, 1, 0), none);
    EXPECT_EQ(full.time, "03/15 - 08:05");
    EXPECT_EQ(full.routes[0], "X");
    EXPECT_EQ(full.status, "Aktív");
}

TEST(ModuleNamesLoad, NamesAreOneBlankAndTheNonZeroBytesOfTheirField) {
    const ModuleNames names = ModuleNames::fromBlocks(blocksWithNames());
    EXPECT_EQ(names.userName(3), " Kovács");
    EXPECT_EQ(names.zoneName(1), " Ajtó");
    EXPECT_EQ(names.userName(12), " UUUUUUUUUU");
    EXPECT_EQ(names.zoneName(12), " ZZZZZZZZZZ");
    EXPECT_EQ(names.userName(1), " ");
    EXPECT_TRUE(ModuleNames::isBlank(names.userName(1)));
    EXPECT_FALSE(ModuleNames::isBlank(names.userName(3)));
    EXPECT_EQ(names.userName(0), "");
    EXPECT_EQ(names.zoneName(13), "");
    EXPECT_TRUE(ModuleNames::isBlank(""));
    EXPECT_FALSE(ModuleNames::isBlank("  a "));
}

TEST(EventListExport, KeptRowsSkipEmptySlotsAndLoseOnlyThePadding) {
    EventMemory m{};
    m[eventmemory::kNewestIndex] = 1;
    const EventLogEntry user3 = entry(27, 3, 3, 15, 8, 5, 0x01, 0);
    std::copy(user3.begin(), user3.end(), m.begin() + 8);  // entry 1, the newest
    const EventLogEntry test = entry(31, 3, 0, 14, 12, 0);
    std::copy(test.begin(), test.end(), m.begin() + 95 * 8);  // row 3; entry 0 (row 2) is empty
    const auto rows = shownEventRows(m, ModuleNames::fromBlocks(blocksWithNames()));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].number, 1);
    EXPECT_EQ(rows[1].number, 3);
    const auto cells = keptCells(rows[0]);
    EXPECT_EQ(cells[2], "Élesítés Part.1");
    EXPECT_EQ(cells[3], "3. Kovács");
    EXPECT_EQ(cells[4], "X");
    EXPECT_EQ(keptCells(rows[1])[3], "");
    const std::string csv = eventListCsv(rows);
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "Sorszám,Időpont,Esemény,Zóna / Felhasználó,T1,T2,T3,T4,S1,S2,S3,S4,Közp,Státusz");
    EXPECT_NE(csv.find("\n1,03/15 - 08:05,Élesítés Part.1,3. Kovács,X,-,-,-,-,-,-,-,-,Aktív\n"), std::string::npos);
}

TEST(EventListExport, CsvQuotesOnlyFieldsThatNeedIt) {
    EXPECT_EQ(csvLine({"a", "", "b c"}), "a,,b c\n");
    EXPECT_EQ(csvLine({"x,y", "say \"hi\"", "two\nlines"}), "\"x,y\",\"say \"\"hi\"\"\",\"two\nlines\"\n");
}
