#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "params/field_catalogue.h"
#include "params/image_diff.h"
#include "params/json_docs.h"
#include "params/parameter_codec.h"
#include "tests/support/build_paths.h"

using namespace corvanta;

namespace {

// An image with something in every field: an erased memory with a few
// values typed in, so texts, codes and selections are all non-trivial.
ParameterImage sampleImage() {
    ParameterImage image;
    image.fill(0xFF);
    ParameterValues v = decode(image);
    v.zones[2].name = "Bejárat";
    v.zones[2].entryDelay = 10;
    v.users[1].code = "1234";
    v.testTime = "07:05";
    v.phones[kPhone2] = {'0', '6', '3', '0'};
    encode(v, image);
    return image;
}

const FieldChange* changeAt(const ImageDiff& d, const std::string& path) {
    for (const auto& c : d.changes) {
        if (c.field->path == path) return &c;
    }
    return nullptr;
}

}  // namespace

// Any bit that changes what decode makes of an image must belong to exactly
// one field of the catalogue, and the diff must name that field: a field the
// codec reads but the catalogue forgot would go unseen.
TEST(FieldCatalogue, EveryBitDecodeReadsBelongsToOneFieldTheDiffNames) {
    const auto& fields = fields::catalogue().fields;
    std::array<std::uint8_t, kImageSize> held{};
    for (const auto& f : fields) {
        for (std::size_t i = f.offset; i < f.offset + f.length; ++i) {
            ASSERT_EQ(held[i] & f.mask, 0) << f.path << " shares byte " << i;
            held[i] |= f.mask;
        }
    }
    // The diff is checked on the first image only, to keep the test quick.
    bool checkDiff = true;
    for (const ParameterImage& base : {sampleImage(), ParameterImage{}}) {
        const ParameterValues before = decode(base);
        for (std::size_t i = 0; i < kImageSize; ++i) {
            for (int bit = 0; bit < 8; ++bit) {
                ParameterImage flipped = base;
                flipped[i] ^= std::uint8_t(1u << bit);
                const bool seen = !(decode(flipped) == before);
                const bool isHeld = held[i] & (1u << bit);
                if (seen) {
                    ASSERT_TRUE(isHeld) << "byte " << i << " bit " << bit;
                }
                if (!checkDiff) continue;
                const ImageDiff d = diff(base, flipped);
                ASSERT_EQ(d.changes.size(), isHeld ? 1u : 0u) << "byte " << i << " bit " << bit;
                ASSERT_EQ(d.otherBytes, isHeld ? 0 : 1);
            }
        }
        checkDiff = false;
    }
}

TEST(ImageDiff, NamesEachKindOfFieldWithPathCaptionAndShownValues) {
    const ParameterImage a = sampleImage();
    ParameterValues v = decode(a);
    v.zones[2].name = "Hátsó ajtó";                  // text
    v.users[1].code = "987654";                      // code
    v.relayRows[12].triggers[3] = false;             // bit in a bitmap
    v.zones[0].inputType = 1;                        // radio item
    v.remotes[3].buttons[1] = 5;                     // list item
    v.testTime = "23:45";                            // time
    v.phones[kPhone2][4] = '7';                      // phone digit
    v.users[0].rights[15] = false;                   // bit of a flag word
    ParameterImage b = a;
    encode(v, b);

    const ImageDiff d = diff(a, b);
    EXPECT_EQ(d.otherBytes, 0);
    ASSERT_EQ(d.changes.size(), 8u);
    struct Expected {
        const char* path;
        const char* caption;
        const char* before;
        const char* after;
    };
    const Expected expected[] = {
        {"zones[0].inputType", "1. Zóna · Bekötés", "Rádiós érzékelő", "Szakadásra aktív"},
        {"zones[2].name", "3. Zóna · Zóna neve", "Bejárat", "Hátsó ajtó"},
        {"users[0].rights[15]", "1. Felhasználó · Tel. Hangrögz.", "igen", "nem"},
        {"users[1].code", "2. Felhasználó · Azonosító kódja", "1234", "987654"},
        {"relayRows[12][3]", "12. IN6 Visszaállás · R2 kikapcs.", "igen", "nem"},
        {"phones[1]", "2. Telefonszám", "0630", "06307"},
        {"testTime", "Tesztjelentés időpontja", "07:05", "23:45"},
        {"remotes[3][1]", "4. Felhasználó · 2. nyomógomb", "(nincs kiválasztva)", "Kikapcsolás"},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const FieldChange& c = d.changes[i];
        EXPECT_EQ(c.field->path, expected[i].path);
        EXPECT_EQ(c.field->caption, expected[i].caption);
        EXPECT_EQ(c.before, expected[i].before) << c.field->path;
        EXPECT_EQ(c.after, expected[i].after) << c.field->path;
    }
    EXPECT_TRUE(d.changes[1].field->text);
    EXPECT_FALSE(d.changes[0].field->text);
    EXPECT_TRUE(diff(a, a).equal());
}

// Differences decode does not show still count: a value beyond a radio
// group shows as its last item, and the module's own bytes have no field.
TEST(ImageDiff, DifferencesTheEditorHidesAreStillReported) {
    ParameterImage a = sampleImage();
    ParameterImage b = a;
    a[183 + 10] = 4;  // zone 1 input type: both show the last item
    b[183 + 10] = 7;
    b[1645] ^= 0x01;  // the module's own bytes
    b[1901] ^= 0x80;
    b[1805] ^= 0x80;  // bit 7 of the last bitmap byte: above row 59
    const ImageDiff d = diff(a, b);
    EXPECT_EQ(d.otherBytes, 3);
    const FieldChange* input = changeAt(d, "zones[0].inputType");
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->before, "Rádiós érzékelő [04]");
    EXPECT_EQ(input->after, "Rádiós érzékelő [07]");
    EXPECT_EQ(otherBytesLine(d.otherBytes), "other bytes: 3 differ");
}

TEST(JsonDocs, TheCommittedDocumentIsTheGeneratedOne) {
    std::ifstream in(CORVANTA_JSON_DOCS, std::ios::binary);
    ASSERT_TRUE(in) << CORVANTA_JSON_DOCS;
    std::stringstream committed;
    committed << in.rdbuf();
    EXPECT_EQ(committed.str(), parametersJsonDocument())
        << "run: cmake --build build --target json-docs";
}
