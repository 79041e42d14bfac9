#include <gtest/gtest.h>

#include "params/win1250.h"

using namespace corvanta;

TEST(Win1250, HungarianLettersRoundTripAsSingleBytes) {
    const std::string text = "Zóna Élesítés őrző ŰŐ";
    const std::string bytes = toWin1250(text);
    EXPECT_EQ(bytes.size(), utf8Length(text));
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xF3);  // ó
    EXPECT_EQ(fromWin1250(bytes), text);
}

TEST(Win1250, UnmappableAndMalformedInputBecomeQuestionMarks) {
    EXPECT_EQ(toWin1250("a\xE2\x82\xAC" "b"), std::string("a\x80" "b"));  // euro sign exists in 1250
    EXPECT_EQ(toWin1250("x\xE4\xB8\xAD" "y"), "x?y");                     // CJK does not
    EXPECT_EQ(toWin1250("\xC3"), "?");                                     // truncated sequence
}

TEST(Win1250, EveryByteValueSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string text = fromWin1250(all);
    EXPECT_EQ(utf8Length(text), all.size());
    EXPECT_EQ(toWin1250(text), all);
    // The bytes the code page leaves undefined stay visible as their own
    // code points instead of melting into one replacement character.
    EXPECT_EQ(fromWin1250("\x81\x98"), "\xC2\x81\xC2\x98");
}
