// The last-eight-events line and the message line of the status monitor.

#include <gtest/gtest.h>

#include <string>

#include "service/event_frame.h"

namespace corvanta {
namespace {

std::string hexOf(const EventLogEntry& e) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (std::uint8_t b : e) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

std::string frameOf(const std::array<EventLogEntry, 8>& entries) {
    std::string line = "AT_{";
    for (const EventLogEntry& e : entries) line += hexOf(e);
    return line;
}

TEST(EventFrameTest, EntriesComeInOrderWithEveryByteInPlace) {
    std::array<EventLogEntry, 8> entries{};
    for (std::size_t r = 0; r < 8; ++r)
        for (std::size_t j = 0; j < 8; ++j) entries[r][j] = std::uint8_t(r * 16 + j * 17 + 1);
    const std::string line = frameOf(entries);
    ASSERT_EQ(line.size(), 132u);
    EXPECT_EQ(decodeEventFrame(line), entries);
}

TEST(EventFrameTest, InvalidOrMissingPairsReadAsZero) {
    std::string line = frameOf({EventLogEntry{0x1B, 0x32, 0x0F, 8, 5, 0, 0xAB, 0x01}});
    line.replace(4 + 2 * 6, 2, "ab");  // lower case is not the module's
    line.replace(4 + 2 * 2, 2, "0G");
    auto entries = decodeEventFrame(line);
    EXPECT_EQ(entries[0], (EventLogEntry{0x1B, 0x32, 0, 8, 5, 0, 0, 0x01}));

    // A line cut in the middle of entry 1: the rest is zero, nothing is read past the end.
    entries = decodeEventFrame(line.substr(0, 4 + 16 + 5));
    EXPECT_EQ(entries[0][0], 0x1B);
    EXPECT_EQ(entries[1], (EventLogEntry{0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(decodeEventFrame("AT_{")[0], (EventLogEntry{}));
}

TEST(EventFrameTest, SubjectColumnNamesTheKindOfSubject) {
    // Kind 27 (partition arming) by user 2 in March.
    const EventListRow user = eventFrameRow({27, 0x32, 15, 8, 5, 0, 0x01, 0x00});
    EXPECT_EQ(user.subject, "F=2");
    EXPECT_EQ(user.time, "03/15 - 08:05");
    EXPECT_EQ(user.routes[0], "X");
    EXPECT_EQ(user.routes[1], "-");
    EXPECT_EQ(user.status, "Aktív");
    EXPECT_EQ(eventFrameRow({1, 0x3C, 1, 1, 1, 0, 0, 0}).subject, "Z=12");
    EXPECT_EQ(eventFrameRow({31, 0x35, 1, 1, 1, 0, 0, 0}).subject, "--");
}

TEST(EventFrameTest, EmptySlotsGiveEmptyRows) {
    for (std::uint8_t kind : {0, 48, 255}) {
        const EventListRow row = eventFrameRow({kind, 0x32, 15, 8, 5, 0, 0xFF, 0xFF});
        EXPECT_TRUE(row.time.empty() && row.kind.empty() && row.subject.empty() && row.status.empty()) << int(kind);
        for (const std::string& mark : row.routes) EXPECT_TRUE(mark.empty());
    }
}

TEST(EventFrameTest, MessageLineLosesOnlyItsPrefix) {
    EXPECT_EQ(statusMessageText("AT_/GSM t\xE9rer\xF5: 20"), "GSM t\xE9rer\xF5: 20");
    EXPECT_EQ(statusMessageText("AT_/"), "");
    EXPECT_EQ(statusMessageText("AT_/x"), "x");
    EXPECT_EQ(statusMessageText("AT_/ AT_/x"), " AT_/x");
}

}  // namespace
}  // namespace corvanta
