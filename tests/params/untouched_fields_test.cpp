// An edit changes only what was edited: whatever an image holds, decoding it
// and encoding the values back changes no bit, and changing one field's value
// changes that field's bits and no others, also when its neighbours hold
// bytes outside the format.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "params/field_catalogue.h"
#include "params/image_diff.h"
#include "params/image_layout.h"
#include "params/out_of_format.h"
#include "params/parameter_codec.h"
#include "tests/support/field_images.h"

using namespace corvanta;

namespace {

using corvanta::testing::filled;
using corvanta::testing::randomImage;

// The erased and the all-zero memory, then `count` seeded random ones.
std::vector<ParameterImage> images(int count, unsigned seed = 25) {
    std::vector<ParameterImage> all{filled(0xFF), filled(0)};
    std::mt19937 rng(seed);
    for (int i = 0; i < count; ++i) all.push_back(randomImage(rng));
    return all;
}

// `image` with field `f` holding another value than it shows: each byte
// value in all of its bytes, then random bits, until it shows otherwise.
ParameterImage withOtherValue(const ParameterImage& image, const ParameterValues& values, const fields::Field& f,
                              std::mt19937& rng) {
    const std::string shown = f.show(values);
    std::uniform_int_distribution<int> first(0, 255);
    const int start = first(rng);
    for (int attempt = 0; attempt < 1256; ++attempt) {
        const ParameterImage other = attempt < 256 ? filled(std::uint8_t(start + attempt)) : randomImage(rng);
        ParameterImage changed = image;
        f.copyBits(other, changed);
        if (f.show(decode(changed)) != shown) return changed;
    }
    ADD_FAILURE() << f.path << " shows nothing else";
    return image;
}

}  // namespace

TEST(UntouchedFields, DecodeThenEncodeChangesNoBitOfAnyImage) {
    for (const ParameterImage& image : images(150)) {
        ParameterImage out = image;
        encode(decode(image), out);
        ASSERT_EQ(out, image);
    }
}

// Decoding loses only what outOfFormatFields lists and the bits no field
// holds: with those, the shown values build the image again.
TEST(UntouchedFields, ShownValuesAndTheOutOfFormatBytesRebuildTheImage) {
    const auto& held = fields::fieldBits();
    for (const ParameterImage& image : images(150)) {
        ParameterImage out = filled(0xFF);
        encodeEveryField(decode(image), out);
        for (std::size_t i = 0; i < kImageSize; ++i) out[i] = std::uint8_t((out[i] & held[i]) | (image[i] & ~held[i]));
        for (const OutOfFormatField& f : outOfFormatFields(image)) {
            ASSERT_EQ(f.bytes, fieldBytes(*f.field, image));
            f.field->copyBits(image, out);
        }
        ASSERT_EQ(out, image);
    }
}

TEST(UntouchedFields, ChangingOneFieldChangesNoBitOutsideItAndTheDiffNamesIt) {
    std::mt19937 rng(30);
    const auto& all = fields::catalogue().fields;
    for (const ParameterImage& image : images(2)) {
        const ParameterValues values = decode(image);
        for (const fields::Field& f : all) {
            const ParameterValues wanted = decode(withOtherValue(image, values, f, rng));
            ParameterImage out = image;
            encode(wanted, out);
            ASSERT_TRUE(decode(out) == wanted) << f.path;
            ParameterImage outside = out;
            f.copyBits(image, outside);
            ASSERT_EQ(outside, image) << f.path << " changed bits outside it";

            const ImageDiff d = diff(image, out);
            ASSERT_EQ(d.changes.size(), 1u) << f.path;
            EXPECT_EQ(d.changes[0].field, &f);
            EXPECT_EQ(d.otherBytes, 0) << f.path;
        }
    }
}

// Values encoded onto another image: the fields whose shown value is that
// image's keep its bits, even out of format, and so do the bits no field
// holds; the others take the values.
TEST(UntouchedFields, EncodingOntoAnotherImageWritesOnlyTheFieldsThatDiffer) {
    const auto all = images(20, 31);
    const auto& held = fields::fieldBits();
    for (std::size_t n = 0; n + 1 < all.size(); ++n) {
        const ParameterImage& from = all[n];
        const ParameterImage& onto = all[n + 1];
        const ParameterValues values = decode(from);
        const ParameterValues ontoValues = decode(onto);
        ParameterImage out = onto;
        encode(values, out);
        ASSERT_TRUE(decode(out) == values) << n;
        for (std::size_t i = 0; i < kImageSize; ++i) ASSERT_EQ(out[i] & ~held[i], onto[i] & ~held[i]) << i;
        for (const fields::Field& f : fields::catalogue().fields) {
            if (f.show(values) == f.show(ontoValues)) {
                EXPECT_TRUE(f.sameBits(out, onto)) << f.path;
            }
        }
    }
}

TEST(OutOfFormat, ListsWhatTheShownValueCannotSayOrTheEditorWouldRefuse) {
    const auto paths = [](const ParameterImage& image) {
        std::vector<std::string> out;
        for (const auto& f : outOfFormatFields(image)) out.push_back(f.field->path);
        return out;
    };
    const auto has = [](const std::vector<std::string>& list, const std::string& path) {
        return std::find(list.begin(), list.end(), path) != list.end();
    };

    // Erased: FF FF is no time of day, FF no smart zone time, F in the high
    // nibble no part of a Contact-ID digit, FF no flag (written 0 or 1) and
    // no text (skipped as padding). Codes of six 0 digits are codes, and 255
    // is a delay.
    const auto erased = paths(filled(0xFF));
    for (const char* p : {"testTime", "zones[0].smartZoneTime", "events[46].contactId", "zones[0].name",
                          "phones[0]", "keypad.backlight", "zones[0].silent", "keypad.quickArm"})
        EXPECT_TRUE(has(erased, p)) << p;
    for (const char* p : {"installerCode", "users[0].code", "zones[11].nightSetting", "zones[0].entryDelay",
                          "relayRows[0][0]", "ackModes[0]", "remotes[0][0]"})
        EXPECT_FALSE(has(erased, p)) << p;

    // All zero: "******" is no installer code, but a user may have none.
    const auto zero = paths(filled(0));
    EXPECT_TRUE(has(zero, "installerCode"));
    EXPECT_TRUE(has(zero, "nightWalkTime"));  // 0 shows as 1
    EXPECT_FALSE(has(zero, "users[3].code"));
    EXPECT_FALSE(has(zero, "testTime"));

    ParameterImage image = filled(0);
    image[layout::userOffset(2) + layout::kUserCodeRel] = 0xE1;  // digit 1, then nibble 1: "1E"
    image[layout::zoneOffset(1) + 3] = 0xFF;                     // a name with a skipped byte inside
    image[layout::zoneOffset(1)] = 'A';
    image[layout::zoneOffset(1) + 5] = 'B';
    const auto odd = outOfFormatFields(image);
    ASSERT_GE(odd.size(), 3u);
    const auto code = std::find_if(odd.begin(), odd.end(), [](const auto& f) { return f.field->path == "users[2].code"; });
    ASSERT_NE(code, odd.end());
    EXPECT_EQ(code->bytes, (std::vector<std::uint8_t>{0xE1, 0, 0}));
    EXPECT_TRUE(has(paths(image), "zones[1].name"));

    EXPECT_EQ(outOfFormatTip({0xFF}), "A modul a formátumon kívüli értéket tárol: 0xFF");
    EXPECT_EQ(outOfFormatTip({0xE1, 0x00, 0x0A}), "A modul a formátumon kívüli értéket tárol: 0xE1 0x00 0x0A");
}
