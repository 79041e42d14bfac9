// The clock block and the radio frame, byte by byte.

#include <gtest/gtest.h>

#include <string>

#include "service/clock_block.h"
#include "service/radio_frame.h"

using namespace corvanta;

namespace {

// "AT_<" + 40 bytes as hex + ">", every byte zero unless given.
std::string radioLine(std::initializer_list<std::pair<int, int>> bytes) {
    std::string hex(80, '0');
    for (auto [i, v] : bytes) {
        const char* digits = "0123456789ABCDEF";
        hex[2 * i] = digits[v >> 4];
        hex[2 * i + 1] = digits[v & 15];
    }
    return "AT_<" + hex + ">";
}

}  // namespace

TEST(ClockBlock, WriteFrameHoldsTheMinuteWithYearInCenturyAndZerosElsewhere) {
    const BlockFrame f = clockWriteFrame({2000, 1, 5, 7, 9});
    EXPECT_EQ(f[0], 0);
    EXPECT_EQ(f[1], 1);
    EXPECT_EQ(f[2], 5);
    EXPECT_EQ(f[3], 7);
    EXPECT_EQ(f[4], 9);
    for (std::size_t i = 5; i < kFrameAddressOffset; ++i) ASSERT_EQ(f[i], 0) << i;
    EXPECT_EQ(f[264], 0xFF);
    EXPECT_EQ(f[265], 0xFE);
    const std::uint32_t sum = blockChecksum(f);
    EXPECT_EQ(f[266] << 24 | f[267] << 16 | f[268] << 8 | f[269], int(sum));

    EXPECT_EQ(clockWriteFrame({2124, 12, 31, 23, 59})[0], 24);
    EXPECT_EQ(clockFromBlock(f), (ClockTime{0, 1, 5, 7, 9}));
}

TEST(ClockBlock, MessageShowsEveryFieldWithTwoDigits) {
    EXPECT_EQ(clockMessage({24, 3, 15, 8, 5}), "A modul órája: 24/03/15 - 08:05");
    EXPECT_EQ(clockMessage({0, 1, 5, 7, 9}), "A modul órája: 00/01/05 - 07:09");
    // A byte the module should never hold is shown as it is, not cut.
    EXPECT_EQ(clockMessage({255, 12, 31, 23, 59}), "A modul órája: 255/12/31 - 23:59");
}

TEST(RadioFrame, LearningMarkerAloneDecidesWhichSlotLearns) {
    // Slot 3 claims to learn by its own bit; only the marker counts.
    auto f = decodeRadioFrame(radioLine({{0, 0x80}, {3, 0x03}, {36, 0x85}}));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->slotBytes[0], 0x80);  // the first slot, and a pair whose low digit is 0
    EXPECT_EQ(f->slotBytes[5], 0x02);
    EXPECT_EQ(f->slotBytes[3], 0x01);

    f = decodeRadioFrame(radioLine({{35, 0x02}, {36, 0xA4}}));  // slot 36 does not exist
    ASSERT_TRUE(f);
    for (auto s : f->slotBytes) EXPECT_EQ(s, 0);

    f = decodeRadioFrame(radioLine({{5, 0x01}, {36, 0x05}}));  // bit 7 clear
    ASSERT_TRUE(f);
    EXPECT_EQ(f->slotBytes[5], 0x01);
}

TEST(RadioFrame, StrengthAndBadDigitsAndMalformedLines) {
    auto f = decodeRadioFrame(radioLine({{37, 41}, {38, 0xFF}}));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->strength, 41);

    std::string lower = radioLine({{0, 0xAB}, {1, 0x09}, {2, 0x0B}});
    lower[4] = 'a';   // "aB": the pair is 0
    lower[9] = 'b';   // "0b": the pair is 0
    f = decodeRadioFrame(lower);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->slotBytes[0], 0);
    EXPECT_EQ(f->slotBytes[1], 0x09);
    EXPECT_EQ(f->slotBytes[2], 0);

    const std::string good = radioLine({});
    EXPECT_FALSE(decodeRadioFrame(good.substr(0, 84)));             // one short
    EXPECT_FALSE(decodeRadioFrame("AT_<"));
    EXPECT_FALSE(decodeRadioFrame(good.substr(0, 84) + "<"));
    EXPECT_FALSE(decodeRadioFrame("AT_[" + good.substr(4)));
    EXPECT_TRUE(decodeRadioFrame(good + "00"));                      // offset 84 is what counts
}

TEST(RadioFrame, SlotByteShowsTextAndColour) {
    using C = SlotColour;
    EXPECT_EQ(slotDisplay(0x00), (SlotDisplay{"-", C::ButtonFace}));
    EXPECT_EQ(slotDisplay(0x01), (SlotDisplay{"OK.", C::Teal}));
    EXPECT_EQ(slotDisplay(0x05), (SlotDisplay{"<7V", C::Yellow}));
    EXPECT_EQ(slotDisplay(0x09), (SlotDisplay{"1", C::Teal}));
    EXPECT_EQ(slotDisplay(0x80), (SlotDisplay{"-", C::Red}));
    EXPECT_EQ(slotDisplay(0x88), (SlotDisplay{"1", C::Red}));
    EXPECT_EQ(slotDisplay(0x79), (SlotDisplay{"F", C::Teal}));
    // Learning wins over the battery, the battery over the alert colour.
    EXPECT_EQ(slotDisplay(0x87), (SlotDisplay{"Tanulás", C::Blue}));
    EXPECT_EQ(slotDisplay(0x8C), (SlotDisplay{"<7V", C::Yellow}));
}

TEST(RadioFrame, SlotNamesFollowTheInputsThenTheUsers) {
    EXPECT_EQ(radioSlotName(0), "IN1 'A' szenzor");
    EXPECT_EQ(radioSlotName(11), "IN12 'A' szenzor");
    EXPECT_EQ(radioSlotName(12), "IN1 'B' szenzor");
    EXPECT_EQ(radioSlotName(23), "IN12 'B' szenzor");
    EXPECT_EQ(radioSlotName(24), "1. felhasználó távvezérlője");
    EXPECT_EQ(radioSlotName(35), "12. felhasználó távvezérlője");
    EXPECT_EQ(radioSlotName(36), "");
}
