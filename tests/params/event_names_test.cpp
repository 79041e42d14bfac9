#include <gtest/gtest.h>

#include "params/event_names.h"
#include "params/win1250.h"

using namespace corvanta;

TEST(EventNames, FitTheCaptionWidthAndEndWithTheInputSignals) {
    for (int n = 1; n <= kEventNameCount; ++n) {
        EXPECT_LE(utf8Length(eventName(n)), 17u) << n;
        EXPECT_EQ(utf8Length(paddedEventName(n)), 17u) << n;
    }
    EXPECT_EQ(eventName(47), "RF zaj");
    EXPECT_EQ(eventName(48), "IN1 jelez");
    EXPECT_EQ(eventName(59), "IN12 jelez");
    EXPECT_EQ(eventName(0), "");
    EXPECT_EQ(eventName(60), "");
}

TEST(RowCaptions, PadAccentedNamesByCharacters) {
    // "á" takes two UTF-8 bytes but one place.
    EXPECT_EQ(eventRowCaption(0), "   01. IN1 Riasztás     ");
    EXPECT_EQ(eventRowCaption(46), "   47. RF zaj           ");
    EXPECT_EQ(eventRowCaption(39), "   40. Zóna takar.vissza");
    EXPECT_EQ(relayRowCaption(0), "   00. Telefonos vezérlés");
    EXPECT_EQ(relayRowCaption(1), eventRowCaption(0));
    EXPECT_EQ(relayRowCaption(59), "   59. IN12 jelez       ");
}
