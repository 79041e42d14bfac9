#include <gtest/gtest.h>

#include <random>

#include "params/control_table.h"
#include "params/image_layout.h"
#include "params/parameter_codec.h"
#include "tests/support/field_images.h"

using namespace corvanta;
using namespace corvanta::layout;

namespace {

using corvanta::testing::filled;

ParameterImage roundTrip(const ParameterImage& image) {
    ParameterImage out = image;
    encode(decode(image), out);
    return out;
}

// The image the shown values make when every field is written by its rule,
// as for a new image.
ParameterImage rebuilt(const ParameterImage& image) {
    ParameterImage out = image;
    encodeEveryField(decode(image), out);
    return out;
}

}  // namespace

TEST(Decode, ErasedImageShowsEmptyTextsMaximaAndNoSelections) {
    const ParameterValues v = decode(filled(0xFF));
    EXPECT_EQ(v.zones[0].name, "");
    EXPECT_EQ(v.users[11].name, "");
    EXPECT_EQ(v.users[0].code, "000000");
    EXPECT_EQ(v.installerCode, "000000");
    EXPECT_EQ(v.events[46].contactId, "F F F");
    EXPECT_EQ(v.events[0].sms, "");
    EXPECT_FALSE(v.zones[3].bypass || v.zones[3].silent || v.zones[3].follower);
    EXPECT_TRUE(v.tamperSiren && v.keypad.nightArmSilent && v.keypad.alarmBeep &&
                v.keypad.quickArm && v.keypad.zoneView);
    EXPECT_EQ(v.zones[0].inputType, 3);
    EXPECT_EQ(v.zones[0].partition, 3);
    EXPECT_EQ(v.keypad.backlight, 4);
    EXPECT_EQ(v.zones[0].nightSetting, kNoSelection);
    EXPECT_EQ(v.ackModes[2], kNoSelection);
    EXPECT_EQ(v.sirens[1].mode, kNoSelection);
    EXPECT_EQ(v.remotes[5].buttons, (std::array<int, 4>{-1, -1, -1, -1}));
    EXPECT_EQ(v.zones[0].smartZoneTime, 25);
    EXPECT_EQ(v.events[0].voice, 12);
    EXPECT_EQ(v.nightWalkTime, 25);
    EXPECT_EQ(v.alarmMaxTime, 25);
    EXPECT_EQ(v.sirens[0].maxTime, 25);
    EXPECT_EQ(v.onOffMode, 3);
    EXPECT_EQ(v.relays[2].maxTime, 255);
}

TEST(Decode, ZeroImageShowsEmptyTextsAndNoCodes) {
    const ParameterValues v = decode(filled(0));
    EXPECT_EQ(v.zones[11].name, "");
    EXPECT_EQ(v.users[0].code, "******");
    EXPECT_EQ(v.installerCode, "******");
    EXPECT_EQ(v.events[0].contactId, "0 0 0");
    EXPECT_EQ(v.phones[kPhone1], PhoneCells{});
    EXPECT_EQ(v.phones[kSmsForwardPhone], PhoneCells{});
    // Spin minima above zero are clamped up.
    EXPECT_EQ(v.nightWalkTime, 1);
    EXPECT_EQ(v.alarmMaxTime, 5);
    EXPECT_EQ(v.sirens[0].maxTime, 1);
}

TEST(Decode, FlagBytesZoneOnlyOneButKeypadAnyNonZero) {
    ParameterImage image = filled(0);
    image[zoneOffset(2) + kZoneSilentRel] = 2;
    image[zoneOffset(2) + kZoneFollowerRel] = 1;
    image[kBypassBase + 2] = 0x80;
    image[kKeypadQuickArm] = 2;
    for (int z : {0, 11}) {  // the first and the last zone
        image[kBypassBase + z] = 1;
        image[zoneOffset(z) + kZoneSilentRel] = 1;
        image[zoneOffset(z) + kZoneFollowerRel] = 1;
    }
    const ParameterValues v = decode(image);
    EXPECT_FALSE(v.zones[2].silent);
    EXPECT_TRUE(v.zones[2].follower);
    EXPECT_FALSE(v.zones[2].bypass);
    for (int z : {0, 11}) EXPECT_TRUE(v.zones[z].bypass && v.zones[z].silent && v.zones[z].follower) << z;
    EXPECT_TRUE(v.keypad.quickArm);

    const ParameterImage out = rebuilt(image);
    EXPECT_EQ(out[zoneOffset(2) + kZoneSilentRel], 0);
    EXPECT_EQ(out[kKeypadQuickArm], 1);
    // Left as they were shown, they keep their bytes.
    EXPECT_EQ(roundTrip(image), image);
}

TEST(RoundTrip, SelectionsPastTheirItemsAreWrittenAsShownWhenRebuiltAndKeptWhenUntouched) {
    ParameterImage image = filled(0);
    image[zoneOffset(0) + kZoneInputTypeRel] = 4;
    image[zoneOffset(0) + kZonePartitionRel] = 9;
    image[zoneOffset(0) + kZoneNightSettingRel] = 4;
    image[zoneOffset(0) + kZoneSmartTimeRel] = 40;
    image[kKeypadBacklight] = 7;
    image[kAckModes] = 3;
    image[remoteOffset(0)] = 0x9C;
    EXPECT_EQ(roundTrip(image), image);
    const ParameterImage out = rebuilt(image);
    EXPECT_EQ(out[zoneOffset(0) + kZoneInputTypeRel], 3);
    EXPECT_EQ(out[zoneOffset(0) + kZonePartitionRel], 3);
    EXPECT_EQ(out[zoneOffset(0) + kZoneNightSettingRel], 0xFF);
    EXPECT_EQ(out[zoneOffset(0) + kZoneSmartTimeRel], 25);
    EXPECT_EQ(out[kKeypadBacklight], 4);
    EXPECT_EQ(out[kAckModes], 0xFF);
    EXPECT_EQ(out[remoteOffset(0)], 0xFF);
}

TEST(Encode, RemoteButtonsAndRelayRowsLandOnTheirBits) {
    ParameterImage image = filled(0);
    ParameterValues v = decode(image);
    v.remotes[0].buttons = {5, 7, kNoSelection, 0};  // "Kikapcsolás", "Relé2"
    v.relayRows[0].triggers[3] = true;               // R2 off, telephone control
    v.relayRows[59].triggers[4] = true;              // R3 on, "IN12 jelez"
    encode(v, image);
    EXPECT_EQ(image[1871], 0x57);
    EXPECT_EQ(image[1872], 0xF0);
    EXPECT_EQ(image[1824], 0x01);
    EXPECT_EQ(image[1841], 0x08);

    const ParameterImage erased = filled(0xFF);
    EXPECT_EQ(roundTrip(erased)[remoteOffset(11)], 0xFF);
    EXPECT_EQ(roundTrip(erased)[remoteOffset(11) + 1], 0xFF);
}

TEST(Encode, OutOfRangeValuesAreClampedNotWrapped) {
    ParameterImage image = filled(0);
    image[kNightWalkTime] = 10;
    ParameterValues v = decode(image);
    v.zones[0].sensitivity = 300;
    v.zones[0].inputType = -1;
    v.zones[0].partition = 4;     // one past a radio group's items: its last item
    v.zones[0].nightSetting = 4;  // one past a list's items: nothing chosen
    v.nightWalkTime = 0;
    v.events[0].voice = 13;
    v.remotes[0].buttons[0] = 9;
    encode(v, image);
    EXPECT_EQ(image[zoneOffset(0) + kZoneSensitivityRel], 255);
    EXPECT_EQ(image[zoneOffset(0) + kZoneInputTypeRel], 0);
    EXPECT_EQ(image[zoneOffset(0) + kZonePartitionRel], 3);
    EXPECT_EQ(image[zoneOffset(0) + kZoneNightSettingRel], 0xFF);
    EXPECT_EQ(image[kNightWalkTime], 1);
    EXPECT_EQ(image[eventOffset(0) + kEventVoiceRel], 12);
    EXPECT_EQ(image[remoteOffset(0)] >> 4, 15);
}

TEST(Encode, TextsAndCodesLandAtTheirRecordOffsets) {
    ParameterImage image = filled(0);
    ParameterValues v = decode(image);
    v.zones[11].name = "Hátsó ajtó kint";
    v.users[1].code = "4321";
    v.events[46].sms = "Riasztás";
    encode(v, image);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[403]), 10), "H\xE1ts\xF3 ajt\xF3");
    EXPECT_EQ(image[25], 0xBC);  // user 1 code at 15 + 10
    EXPECT_EQ(image[1624], 'R');  // event 46 SMS at 423 + 26 * 46 + 5
}

TEST(RoundTrip, TextBytesOfEveryValueComeBackUnchanged) {
    ParameterImage image = filled(0);
    const std::uint8_t name[] = {0x81, 0x83, 0x88, 0x90, 0x98, 0x01, 0x7F, 0xA0, 0xFE, 'x'};
    std::copy(std::begin(name), std::end(name), image.begin() + zoneOffset(4));
    for (std::size_t i = 0; i < kEventSmsLength; ++i) {
        image[eventOffset(3) + kEventSmsRel + i] = static_cast<std::uint8_t>(0x80 + i);
    }
    const ParameterImage out = roundTrip(image);
    EXPECT_TRUE(std::equal(std::begin(name), std::end(name), out.begin() + zoneOffset(4)));
    for (std::size_t i = 0; i < kEventSmsLength; ++i) {
        EXPECT_EQ(out[eventOffset(3) + kEventSmsRel + i], 0x80 + i) << i;
    }
}

// Random images exercise every field with every byte value. Writing every
// field from the shown values may only normalise: it never touches the
// preserved bytes, only clamps single-byte settings, writes unused bits as
// 0, and a second pass changes nothing.
TEST(RoundTrip, RandomImagesRebuiltChangeOnlyNormalisedBytes) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    struct Spin {
        std::size_t at;
        controls::SpinRange range;
    };
    const Spin spins[] = {{kNightWalkTime, controls::edNightDelay}, {kAlarmMaxTime, controls::edAlarmMax},
                          {kZoneAlarmMax, controls::edZoneAlarmMax}, {kOnOffMode, controls::edOnOffMode},
                          {kTestPeriod, controls::edTesztGyak},     {sirenOffset(1) + kSirenTimeRel, controls::edOUT2time},
                          {zoneOffset(5) + kZoneSmartTimeRel, controls::edZonaIntel},
                          {eventOffset(20) + kEventVoiceRel, controls::edHanguz}};

    for (int round = 0; round < 200; ++round) {
        ParameterImage image;
        for (auto& b : image) b = static_cast<std::uint8_t>(byte(rng));
        const ParameterImage once = rebuilt(image);

        for (const ByteRange& r : kPreservedRanges) {
            for (std::size_t i = r.first; i < r.first + r.length; ++i) ASSERT_EQ(once[i], image[i]) << i;
        }
        EXPECT_EQ(rebuilt(once), once) << "round " << round;
        EXPECT_EQ(roundTrip(once), once) << "round " << round;

        for (const Spin& s : spins) EXPECT_EQ(once[s.at], s.range.clamp(image[s.at])) << s.at;
        EXPECT_EQ(once[kKeypadAlarmBeep], image[kKeypadAlarmBeep] != 0 ? 1 : 0);
        for (int z = 0; z < kZoneCount; ++z) {
            for (std::size_t at : {kBypassBase + z, zoneOffset(z) + kZoneSilentRel, zoneOffset(z) + kZoneFollowerRel})
                EXPECT_EQ(once[at], image[at] == 1 ? 1 : 0) << at;
        }
        // Unused bits: the route word above bit 8, the door chime above bit 11,
        // the last relay bitmap byte above row 59. The used bits survive.
        const std::size_t routes = eventOffset(9) + kEventRoutesRel;
        EXPECT_EQ(once[routes], image[routes] & 0x01);
        EXPECT_EQ(once[routes + 1], image[routes + 1]);
        EXPECT_EQ(once[kDoorChime], image[kDoorChime] & 0x0F);
        EXPECT_EQ(once[kDoorChime + 1], image[kDoorChime + 1]);
        const std::size_t lastRelayByte = relayOffset(1) + kRelayOffRel + 7;
        EXPECT_EQ(once[lastRelayByte], image[lastRelayByte] & 0x0F);
        EXPECT_EQ(once[relayOffset(1) + kRelayOffRel], image[relayOffset(1) + kRelayOffRel]);
    }
}

TEST(RoundTrip, NormalisedImageComesBackIdentical) {
    ParameterImage image = rebuilt(filled(0xFF));
    for (std::size_t i = 1645; i < 1671; ++i) image[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(roundTrip(image), image);
}
