// The status monitor's decoders of the "AT_[", "AT_{" and "AT_/" lines.

#include <gtest/gtest.h>

#include <string>

#include "service/event_frame.h"
#include "service/status_frame.h"

namespace corvanta {
namespace {

// Kind 4: every input a 2k loop of type 0, OUT 1 on, partition 1 armed,
// GSM 31 ("O"), mains present, battery "=0", terminals "<0", 23 degrees.
const std::string kFullFrame =
    "AT_[00000000000000000000000000000000,22222222222222,0000000000000,<0,100000000,10,O,1,=0,17]";

// A kind 1 frame (84 characters) with the given inputs and terminal pair.
std::string kind1Frame(const std::string& states = std::string(14, '2'), const std::string& types = std::string(13, '0'),
                       const std::string& terminal = "<0") {
    return "AT_[" + std::string(32, '0') + "," + states + "," + types + "," + terminal + ",000000000,00,5]";
}

TEST(StatusFrameTest, FullKindFourFrameShowsEveryValue) {
    ASSERT_EQ(kFullFrame.size(), 92u);
    const auto v = decodeStatusFrame(kFullFrame);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->kind, 4);
    for (const ZoneView& z : v->zones) {
        EXPECT_EQ(z.state, (ShownValue{"Alaphelyzet", Shade::Green}));
        EXPECT_EQ(z.loop.text, "2k");
    }
    EXPECT_EQ(v->inputsAB[0].text, "2k");
    EXPECT_EQ(v->inputsAB[1].text, "2k");
    EXPECT_EQ(v->batteryTenths, 136);
    EXPECT_EQ(v->terminalTenths, 125);
    EXPECT_EQ(v->outputs[0], (ShownValue{"12 V", Shade::Green}));
    EXPECT_EQ(v->outputs[1], (ShownValue{"0 V", Shade::Black}));
    for (const ShownValue& r : v->relays) EXPECT_EQ(r, (ShownValue{"KI", Shade::Black}));
    EXPECT_EQ(v->keypadSupply, (ShownValue{"12 V", Shade::Green}));
    EXPECT_EQ(v->fixed12V, (ShownValue{"12 V", Shade::Green}));
    EXPECT_EQ(v->partitions[0], (ShownValue{"Élesítve", Shade::Red}));
    EXPECT_EQ(v->partitions[1], (ShownValue{"Kikapcsolva", Shade::Green}));
    EXPECT_EQ(v->gsmLevel, 31);
    EXPECT_EQ(v->mains, (ShownValue{"OK", Shade::Green}));
    EXPECT_EQ(v->temperature, 23);
}

TEST(StatusFrameTest, DamagedFramesAreDropped) {
    std::string shortOne = kFullFrame;
    shortOne.erase(90, 7);  // 85 characters, still ending in "]"
    EXPECT_FALSE(decodeStatusFrame(shortOne));
    for (std::size_t at : {36u, 51u, 65u, 68u, 78u, 81u}) {
        std::string noComma = kFullFrame;
        noComma[at] = '0';
        EXPECT_FALSE(decodeStatusFrame(noComma)) << at;
    }
    std::string noBracket = kFullFrame;
    noBracket.back() = ',';
    EXPECT_FALSE(decodeStatusFrame(noBracket));
    EXPECT_FALSE(decodeStatusFrame(""));
}

TEST(StatusFrameTest, KindSetsMainsBatteryAndTemperature) {
    const auto k1 = decodeStatusFrame(kind1Frame());
    ASSERT_TRUE(k1);
    EXPECT_EQ(k1->kind, 1);
    EXPECT_EQ(k1->mains, (ShownValue{"?", Shade::Grey}));
    EXPECT_FALSE(k1->batteryTenths);
    EXPECT_FALSE(k1->temperature);

    const auto k2 = decodeStatusFrame(kind1Frame().substr(0, 83) + ",0]");
    ASSERT_TRUE(k2);
    EXPECT_EQ(k2->kind, 2);
    EXPECT_EQ(k2->mains, (ShownValue{"0V", Shade::Red}));
    EXPECT_FALSE(k2->batteryTenths);

    const auto k3 = decodeStatusFrame(kFullFrame.substr(0, 88) + "]");
    ASSERT_TRUE(k3);
    EXPECT_EQ(k3->kind, 3);
    EXPECT_EQ(k3->batteryTenths, 136);
    EXPECT_FALSE(k3->temperature);

    std::string noReading = kFullFrame;
    noReading.replace(89, 2, "80");
    EXPECT_FALSE(decodeStatusFrame(noReading)->temperature);
    noReading.replace(89, 2, "85");
    EXPECT_EQ(decodeStatusFrame(noReading)->temperature, -5);
    EXPECT_EQ(temperatureDegrees('?', '?'), -127);
}

TEST(StatusFrameTest, VoltagePairsFollowTheModuleScale) {
    EXPECT_EQ(voltageTenths('0', '0'), 0);
    EXPECT_EQ(voltageTenths('3', 'D'), 35);
    EXPECT_EQ(voltageTenths('<', '0'), 125);
    EXPECT_EQ(voltageTenths('?', 'o'), 167);
    EXPECT_EQ(voltageTenths('6', 'U'), 69);  // v = 421: the division comes out exact
    EXPECT_EQ(voltageTenths('1', 'd'), 0);   // 1.9 V would be shown; below 2.0 V reads 0
    EXPECT_EQ(voltageTenths('1', 'e'), 20);  // 2.0 V itself is shown
    // Six bits per character: characters below "0" wrap instead of going negative.
    EXPECT_EQ(voltageTenths('<' + 64, '0' + 64), 125);
    EXPECT_EQ(decodeStatusFrame(kind1Frame(std::string(14, '2'), std::string(13, '0'), "00"))->terminalTenths, 0);
}

TEST(StatusFrameTest, WiredZonesByInputType) {
    struct Case {
        char state, type;
        ShownValue shown, loop;
    };
    const ShownValue idle{"Alaphelyzet", Shade::Green}, alarm{"Riasztás", Shade::Red},
        tamper{"Szabotázs", Shade::Red}, none{".", Shade::Black};
    const Case cases[] = {
        {'0', '0', alarm, {"Rövidzár", Shade::Black}},
        {'1', '0', alarm, {"1k", Shade::Black}},
        {'/', '0', alarm, {".", Shade::Black}},  // below "0" still counts as S <= 1
        {'3', '0', idle, {"Szakadás", Shade::Black}},
        {'1', '1', idle, {"1k", Shade::Black}},
        {'2', '1', alarm, {"2k", Shade::Black}},
        {'1', '2', idle, {"1k", Shade::Black}},
        {'2', '2', alarm, {"2k", Shade::Black}},
        {'0', '2', tamper, {"Rövidzár", Shade::Black}},
        {'3', '2', tamper, {"Szakadás", Shade::Black}},
        {'4', '2', none, {".", Shade::Black}},
        {'2', '4', none, {"2k", Shade::Black}},  // no such input type
    };
    for (const Case& c : cases) {
        const ZoneView z = decodeZone(c.state, c.type);
        EXPECT_EQ(z.state, c.shown) << c.state << c.type;
        EXPECT_EQ(z.loop, c.loop) << c.state << c.type;
    }
}

TEST(StatusFrameTest, RadioDetectorShowsChannelsAndWarnings) {
    // "u": state rest, channel A 1 with a warning, channel B 0.
    EXPECT_EQ(decodeZone('u', '3'),
              (ZoneView{{"Alaphelyzet", Shade::Green}, {"V! A1  /  B0", Shade::Red}}));
    EXPECT_EQ(decodeZone('3', '3'), (ZoneView{{".", Shade::Black}, {"A0  /  B0", Shade::Black}}));
    EXPECT_EQ(decodeZone('?', '3').loop, (ShownValue{"A-  /  B0", Shade::Black}));
    EXPECT_EQ(decodeZone('2', '3').state, (ShownValue{"Riasztás", Shade::Red}));
    EXPECT_EQ(decodeZone('0', '3').state, (ShownValue{"Szabotázs", Shade::Red}));
    // Bit 7 (a Windows-1250 byte above 0xAF) warns before channel B.
    EXPECT_EQ(decodeZone(char('0' + 0x80 + 0x30 + 1), '3'),
              (ZoneView{{"Alaphelyzet", Shade::Green}, {"A0  /  V! B-", Shade::Red}}));
}

TEST(StatusFrameTest, ZonesReadTheirOwnStateAndTypeCharacters) {
    // Input 1 radio, input 12 short-circuit alarm, input A open, input B other.
    std::string states = "u2222222222" "0" "3" "9";
    std::string types = "3" "00000000000" "0";
    const auto v = decodeStatusFrame(kind1Frame(states.substr(0, 14), types));
    ASSERT_TRUE(v);
    EXPECT_EQ(v->zones[0].loop.text, "V! A1  /  B0");
    EXPECT_EQ(v->zones[1].state.text, "Alaphelyzet");
    EXPECT_EQ(v->zones[11].state.text, "Riasztás");
    EXPECT_EQ(v->inputsAB[0].text, "Szakadás");
    EXPECT_EQ(v->inputsAB[1].text, ".");
}

TEST(StatusFrameTest, OverCurrentOutranksAnOutputThatIsOn) {
    std::string frame = kFullFrame;
    frame.replace(69, 9, "111111111");
    const auto v = decodeStatusFrame(frame);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->outputs[0], (ShownValue{"Túláram", Shade::Red}));
    EXPECT_EQ(v->outputs[1], (ShownValue{"Túláram", Shade::Red}));
    EXPECT_EQ(v->keypadSupply, (ShownValue{"Túláram", Shade::Red}));
    EXPECT_EQ(v->fixed12V, (ShownValue{"Túláram", Shade::Red}));
    for (const ShownValue& r : v->relays) EXPECT_EQ(r, (ShownValue{"BE", Shade::Green}));
}

}  // namespace
}  // namespace corvanta
