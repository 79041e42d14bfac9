// The JSON of an image carries it whole: what decode prints builds the same
// image, with and without it as the base; a value changed in the JSON changes
// that field alone; the code and time rules hold only for values the image
// does not hold; keys that are not what they seem are refused by name.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include <random>

#include "app/cli/params_json.h"
#include "params/field_catalogue.h"
#include "params/image_layout.h"
#include "params/parameter_codec.h"
#include "tests/support/field_images.h"

using namespace corvanta;
using namespace corvanta::cli;

namespace {

using corvanta::testing::filled;
using corvanta::testing::randomImage;

// As the CLI passes it: printed as text and parsed again.
QJsonObject printed(const ParameterImage& image) {
    return QJsonDocument::fromJson(QJsonDocument(imageToJson(image)).toJson()).object();
}

struct Built {
    std::optional<std::string> refusal;
    ParameterImage image{};
    std::vector<std::string> warnings;
};

Built build(const QJsonObject& json, const ParameterImage* base = nullptr) {
    Built b;
    b.image.fill(0x5A);
    b.refusal = imageFromJson(json, base, b.image, b.warnings);
    return b;
}

QJsonObject withValue(QJsonObject json, const char* key, const QJsonValue& value) {
    json[key] = value;
    return json;
}

QJsonObject withoutOutOfFormat(QJsonObject json, const char* path) {
    QJsonObject stored = json["outOfFormat"].toObject();
    stored.remove(path);
    json["outOfFormat"] = stored;
    return json;
}

}  // namespace

TEST(ParamsJson, WhatDecodePrintsBuildsTheSameImageWithAndWithoutItAsBase) {
    std::mt19937 rng(2025);
    std::vector<ParameterImage> all{filled(0xFF), filled(0)};
    for (int i = 0; i < 150; ++i) all.push_back(randomImage(rng));
    for (const ParameterImage& image : all) {
        const QJsonObject json = printed(image);
        const Built bare = build(json);
        ASSERT_FALSE(bare.refusal) << *bare.refusal;
        ASSERT_EQ(bare.image, image);
        const Built based = build(json, &image);
        ASSERT_FALSE(based.refusal) << *based.refusal;
        ASSERT_EQ(based.image, image);
        for (const std::string& w : bare.warnings) EXPECT_TRUE(w.starts_with("installerCode: ")) << w;
    }
}

// The JSON of an image with one field changed, onto the image: that image
// with that field changed, byte for byte, whatever the neighbours hold.
// Every field on an erased memory, whose neighbours are nearly all out of
// format; every seventh on a random one (the codec's own test takes them all).
TEST(ParamsJson, OneFieldChangedInTheJsonChangesThatFieldOnly) {
    std::mt19937 rng(30);
    const auto& all = fields::catalogue().fields;
    for (const auto& [image, step] : {std::pair{filled(0xFF), 1}, std::pair{randomImage(rng), 7}}) {
        const ParameterValues shown = decode(image);
        for (std::size_t n = 0; n < all.size(); n += std::size_t(step)) {
            const fields::Field& f = all[n];
            ParameterImage changed = image;
            for (int attempt = 0; attempt < 2000 && f.show(decode(changed)) == f.show(shown); ++attempt) {
                changed = image;
                f.copyBits(attempt < 256 ? filled(std::uint8_t(attempt)) : randomImage(rng), changed);
            }
            ASSERT_NE(f.show(decode(changed)), f.show(shown)) << f.path;
            const Built b = build(imageToJson(changed), &image);
            ASSERT_FALSE(b.refusal) << f.path << ": " << *b.refusal;
            ASSERT_EQ(b.image, changed) << f.path;
        }
    }
}

TEST(ParamsJson, CodeAndTimeRulesHoldForValuesTheImageDoesNotHold) {
    // An all-zero image holds no installer code ("******"); an erased one the
    // test time FF FF ("99:99").
    const ParameterImage zero = filled(0);
    const QJsonObject noCode = printed(zero);
    EXPECT_EQ(noCode["installerCode"].toString(), "******");
    Built b = build(noCode);
    ASSERT_FALSE(b.refusal) << *b.refusal;
    EXPECT_EQ(b.image, zero);
    ASSERT_EQ(b.warnings.size(), 1u);
    EXPECT_EQ(b.warnings[0], "installerCode: \"******\" is what the image holds, but not 4 or 6 digits: write "
                             "refuses this image until the code is set");
    // Without the bytes beside it, or onto an image with a code, "******" is typed.
    b = build(withoutOutOfFormat(noCode, "installerCode"));
    ASSERT_TRUE(b.refusal);
    EXPECT_EQ(*b.refusal, "installerCode: the installer code must be 4 or 6 digits");
    EXPECT_EQ(b.image, filled(0x5A));
    ParameterImage withCode = zero;
    withCode[layout::kInstallerCode] = 0xED;  // "12" + "34" in the next byte
    withCode[layout::kInstallerCode + 1] = 0xCB;
    EXPECT_TRUE(build(withoutOutOfFormat(noCode, "installerCode"), &withCode).refusal);
    // Onto an image without one it is what the image holds.
    b = build(withoutOutOfFormat(noCode, "installerCode"), &zero);
    EXPECT_FALSE(b.refusal);
    EXPECT_EQ(b.warnings.size(), 1u);

    const ParameterImage erased = filled(0xFF);
    const QJsonObject pastTheDay = printed(erased);
    EXPECT_EQ(pastTheDay["testTime"].toString(), "99:99");
    EXPECT_EQ(pastTheDay["outOfFormat"]["testTime"].toString(), "FFFF");
    b = build(pastTheDay);
    ASSERT_FALSE(b.refusal) << *b.refusal;
    EXPECT_EQ(b.image, erased);
    EXPECT_TRUE(b.warnings.empty());
    b = build(withValue(pastTheDay, "testTime", "24:00"));
    ASSERT_TRUE(b.refusal);
    EXPECT_TRUE(b.refusal->starts_with("testTime: expected a time")) << *b.refusal;
    // A time set right is stored by the rule, and the bytes beside it are
    // dropped with a word.
    b = build(withValue(pastTheDay, "testTime", "7_:05"), &erased);
    ASSERT_FALSE(b.refusal) << *b.refusal;
    EXPECT_EQ(b.image[layout::kTestHour], 7);
    EXPECT_EQ(b.image[layout::kTestMinute], 5);
    ASSERT_EQ(b.warnings.size(), 1u);
    EXPECT_TRUE(b.warnings[0].starts_with("outOfFormat.testTime: ")) << b.warnings[0];
    b.image[layout::kTestHour] = b.image[layout::kTestMinute] = 0xFF;
    EXPECT_EQ(b.image, erased);
}

TEST(ParamsJson, UnknownKeysAndBrokenCarriedBytesAreRefusedByName) {
    const ParameterImage erased = filled(0xFF);
    const QJsonObject json = printed(erased);
    QJsonArray zones = json["zones"].toArray();
    QJsonObject zone = zones[2].toObject();
    zone["entryDelya"] = 99;
    zones[2] = zone;
    const struct {
        QJsonObject json;
        const char* refusal;
    } cases[] = {
        {withValue(json, "zones", zones), "zones[2].entryDelya: unknown key"},
        {withValue(json, "installerKode", "1234"), "installerKode: unknown key"},
        {withValue(json, "keypad", QJsonObject{{"backlight", 0}, {"nightArmSilent", true}, {"alarmBeep", true},
                                               {"quickArm", true}, {"zoneView", true}, {"light", 1}}),
         "keypad.light: unknown key"},
        {withValue(json, "outOfFormat", QJsonObject{{"zones[12].name", "00"}}),
         "outOfFormat.zones[12].name: no field has this key path"},
        {withValue(json, "outOfFormat", QJsonObject{{"testTime", "FF"}}), "outOfFormat.testTime: expected 4 hex digits"},
        // The first button is the high nibble of its byte; the low one is the second's.
        {withValue(json, "outOfFormat", QJsonObject{{"remotes[0][0]", "9C"}}),
         "outOfFormat.remotes[0][0]: holds bits of another field"},
        {withValue(json, "unmapped", QJsonObject{{"426", "01"}}),
         "unmapped.426: holds bits of a field; only FE are no field's"},
        {withValue(json, "unmapped", QJsonObject{{"427", "00"}}),
         "unmapped.427: neither the first offset of a range no field covers (1645, 1901, 1906) nor a byte with "
         "bits no field holds"},
        {withValue(json, "unmapped", QJsonObject{{"0426", "02"}}),
         "unmapped.0426: neither the first offset of a range no field covers (1645, 1901, 1906) nor a byte with "
         "bits no field holds"},
    };
    for (const auto& c : cases) {
        for (const ParameterImage* base : {static_cast<const ParameterImage*>(nullptr), &erased}) {
            const Built b = build(c.json, base);
            ASSERT_TRUE(b.refusal) << c.refusal;
            EXPECT_EQ(*b.refusal, c.refusal);
            EXPECT_EQ(b.image, filled(0x5A));
        }
    }

    // Unused bits travel in "unmapped" by their byte, without a base.
    Built b = build(withValue(json, "unmapped", QJsonObject{{"426", "02"}}));
    ASSERT_FALSE(b.refusal) << *b.refusal;
    EXPECT_EQ(b.image[426], 0x03);  // routes bit 8 of the erased image, and bit 9
    b = build(withValue(json, "unmapped", QJsonObject{}));
    EXPECT_EQ(b.image[426], 0x01);  // unused bits 0, the rest of the range erased
    EXPECT_EQ(b.image[1645], 0xFF);
}

TEST(ParamsJson, AKeyGivenTwiceIsNamedByItsPath) {
    EXPECT_EQ(duplicateKey(R"({"a": 1, "b": {"c": [1, {"d": 2, "e": 3}]}})"), std::nullopt);
    EXPECT_EQ(duplicateKey(R"({"zones": [{"name": "a"}, {}, {"entryDelay": 1, "name": "b", "entryDelay": 2}]})"),
              "zones[2].entryDelay");
    EXPECT_EQ(duplicateKey(R"({"keypad": {"backlight": 1}, "keypad": {}})"), "keypad");
    // The same key spelt with an escape, and a brace inside a text.
    EXPECT_EQ(duplicateKey(R"({"x": "{\"", "users": [{"code": "1", "\u0063ode": "2"}]})"), "users[0].code");
    EXPECT_EQ(duplicateKey(R"({"a": [{"k": 1}, {"k": 1}], "b": {"k": [], "l": {"k": 0}}})"), std::nullopt);
    const QByteArray text = QJsonDocument(imageToJson(filled(0xFF))).toJson();
    EXPECT_EQ(duplicateKey(text), std::nullopt);
}
