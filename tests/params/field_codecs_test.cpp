#include <gtest/gtest.h>

#include "params/field_codecs.h"
#include "params/field_rules.h"
#include "tests/support/field_images.h"

using namespace corvanta;

namespace {

using corvanta::testing::filled;

std::string bytesAt(const ParameterImage& image, std::size_t at, std::size_t n) {
    return std::string(reinterpret_cast<const char*>(image.data()) + at, n);
}

}  // namespace

TEST(PaddedText, DecodeSkipsEmptyBytesAndTrailingSpacesOnly) {
    ParameterImage image = filled(0);
    const std::string stored = std::string(" A\xFF" "B C\0  ", 9) + "\xFF";
    std::copy(stored.begin(), stored.end(), image.begin() + 100);
    EXPECT_EQ(decodePaddedText(image, 100, 10), " AB C");
}

TEST(PaddedText, EncodeCutsAndPadsByCharactersNotUtf8Bytes) {
    ParameterImage image = filled(0xAA);
    encodePaddedText(image, 10, 10, "Előszoba12345");  // 13 characters
    EXPECT_EQ(bytesAt(image, 10, 10), "El\xF5szoba12");
    EXPECT_EQ(image[20], 0xAA);                          // neighbour untouched
    EXPECT_EQ(decodePaddedText(image, 10, 10), "Előszoba12");

    encodePaddedText(image, 10, 10, "Ház  ");
    EXPECT_EQ(bytesAt(image, 10, 10), "H\xE1z       ");
    EXPECT_EQ(decodePaddedText(image, 10, 10), "Ház");
}

TEST(InvertedCode, FourAndSixDigitCodesRoundTrip) {
    ParameterImage image = filled(0x55);
    encodeInvertedCode(image, 0, "1290");
    EXPECT_EQ(image[0], 0xED);  // 15-1, 15-2
    EXPECT_EQ(image[1], 0x6F);  // 15-9, 15-0
    EXPECT_EQ(image[2], 0x00);
    EXPECT_EQ(decodeInvertedCode(image, 0), "1290");

    encodeInvertedCode(image, 0, "905172");
    EXPECT_EQ(image[2], 0x8D);
    EXPECT_EQ(decodeInvertedCode(image, 0), "905172");
}

TEST(InvertedCode, StarsAndMissingDigitsStoreNothing) {
    ParameterImage image = filled(0x55);
    encodeInvertedCode(image, 0, "******");
    EXPECT_EQ(bytesAt(image, 0, 3), std::string(3, '\0'));
    EXPECT_EQ(decodeInvertedCode(image, 0), "******");

    encodeInvertedCode(image, 0, "1*34");
    EXPECT_EQ(image[0], 0xE0);
    EXPECT_EQ(decodeInvertedCode(image, 0), "134");
}

TEST(InvertedCode, UnreadableNibblesShowAsLettersAndErasedAsZeros) {
    ParameterImage image = filled(0xFF);
    EXPECT_EQ(decodeInvertedCode(image, 0), "000000");
    image[0] = 0x15;
    image[1] = 0xE0;
    image[2] = 0x00;
    EXPECT_EQ(decodeInvertedCode(image, 0), "EA1");
    // Written back as shown, not with the letters dropped.
    encodeInvertedCode(image, 0, "EA1");
    EXPECT_EQ(bytesAt(image, 0, 3), std::string("\x15\xE0\x00", 3));
}

TEST(ContactId, HexDigitsOnePerByte) {
    ParameterImage image = filled(0xFF);
    encodeContactId(image, 5, "1 3 A");
    EXPECT_EQ(bytesAt(image, 5, 3), std::string("\x01\x03\x0A", 3));
    EXPECT_EQ(image[8], 0xFF);  // the next field's byte is left alone
    EXPECT_EQ(decodeContactId(image, 5), "1 3 A");

    image[5] = 0xF7;  // the high nibble is not part of the code
    EXPECT_EQ(decodeContactId(image, 5).substr(0, 1), "7");

    encodeContactId(image, 5, "Z 1");  // unreadable and missing digits store 0
    EXPECT_EQ(bytesAt(image, 5, 3), std::string("\x00\x01\x00", 3));
}

TEST(Phone, ShowsDigitsOnlyAndStoresEmptyCellsAsZero) {
    ParameterImage image = filled(0);
    const std::string number = "0612345678";
    std::copy(number.begin(), number.end(), image.begin() + 40);
    image[41 + 10] = '7';  // a digit after a gap still shows, in its own cell
    image[42 + 10] = 'x';
    const PhoneCells cells = decodePhone(image, 40);
    EXPECT_EQ(std::string(cells.data(), 10), number);
    EXPECT_EQ(cells[10], '\0');
    EXPECT_EQ(cells[11], '7');
    EXPECT_EQ(cells[12], '\0');

    PhoneCells typed{'0', '6', '3', '0'};
    image.fill(0xFF);
    encodePhone(image, 40, typed);
    EXPECT_EQ(bytesAt(image, 40, 16), std::string("0630") + std::string(12, '\0'));
}

TEST(Account, HexDigitsOnePerByte) {
    ParameterImage image = filled(0);
    encodeAccount(image, 0, {'1', 'b', 'F', '\0'});
    EXPECT_EQ(bytesAt(image, 0, 4), std::string("\x01\x0B\x0F\x00", 4));
    image[3] = 0x10;  // past the digit values: shown as what it will be written as
    EXPECT_EQ(decodeAccount(image, 0), (AccountCells{'1', 'B', 'F', '0'}));
}

TEST(FlagWord, ItemsAreBitsOfABigEndianWord) {
    ParameterImage image = filled(0);
    std::array<bool, 16> rights{};
    rights[15] = true;
    rights[0] = true;
    encodeFlagWord(image, 13, flagWord(rights));
    EXPECT_EQ(image[13], 0x80);  // item 15 is bit 7 of the first byte
    EXPECT_EQ(image[14], 0x01);  // item 0 is bit 0 of the second

    std::array<bool, 12> chime{};
    chime[8] = true;  // IN9
    encodeFlagWord(image, 20, flagWord(chime));
    EXPECT_EQ(image[20], 0x01);
    EXPECT_EQ(image[21], 0x00);

    EXPECT_EQ(flagItems<9>(0xFFFF), (std::array<bool, 9>{true, true, true, true, true, true, true, true, true}));
}

TEST(RelayBitmap, RowNIsBitNMod8AndUnusedBitsAreCleared) {
    ParameterImage image = filled(0xFF);
    RelayBitmap rows{};
    rows[0] = true;
    rows[59] = true;
    encodeRelayBitmap(image, 100, rows);
    EXPECT_EQ(image[100], 0x01);
    EXPECT_EQ(image[107], 0x08);  // rows 56..59 only; bits 4..7 written 0
    EXPECT_EQ(image[108], 0xFF);
    EXPECT_EQ(decodeRelayBitmap(image, 100), rows);
}

TEST(TestTime, TwoDigitPairs) {
    ParameterImage image = filled(0);
    image[1] = 7;
    image[2] = 5;
    EXPECT_EQ(decodeTestTime(image, 1, 2), "07:05");
    encodeTestTime(image, 1, 2, "23:59");
    EXPECT_EQ(image[1], 23);
    EXPECT_EQ(image[2], 59);
}

TEST(TestTime, BlankHourDigitCountsAsZeroAndHugeValuesShowAs99) {
    ParameterImage image = filled(0);
    encodeTestTime(image, 1, 2, "_7:05");
    EXPECT_EQ(image[1], 7);
    encodeTestTime(image, 1, 2, " 8:30");
    EXPECT_EQ(image[1], 8);
    image[1] = 0xFF;
    image[2] = 100;
    EXPECT_EQ(decodeTestTime(image, 1, 2), "99:99");
}

// --- the rules typed values must pass (editor and command line alike) -------

TEST(FieldRules, CodesAreFourOrSixDigitsAndOnlyUsersMayHaveNone) {
    for (const char* ok : {"1234", "123456", "0000"}) {
        EXPECT_TRUE(isAcceptableCode(ok, CodeKind::Installer)) << ok;
        EXPECT_TRUE(isAcceptableCode(ok, CodeKind::User)) << ok;
    }
    EXPECT_TRUE(isAcceptableCode("******", CodeKind::User));
    EXPECT_FALSE(isAcceptableCode("******", CodeKind::Installer));
    for (const char* bad : {"", "1", "123", "12345", "1234567", "12*4", "12F4", "EDCB", "12 4", "**34"})
        EXPECT_FALSE(isAcceptableCode(bad, CodeKind::User)) << bad;
}

TEST(FieldRules, TestTimeIsATimeOfDayWithAOneDigitHourAllowed) {
    EXPECT_EQ(normalTestTime("07:05"), "07:05");
    EXPECT_EQ(normalTestTime("7_:05"), "07:05");
    EXPECT_EQ(normalTestTime("_7:05"), "07:05");
    EXPECT_EQ(normalTestTime(" 7:05"), "07:05");
    EXPECT_EQ(normalTestTime("7:05"), "07:05");
    EXPECT_EQ(normalTestTime("23:59"), "23:59");
    for (const char* bad : {"24:00", "99:99", "12:60", "__:05", "12:5_", "12:5", "1205", "123:05", "a1:05", ""})
        EXPECT_EQ(normalTestTime(bad), std::nullopt) << bad;
}

TEST(FieldRules, TextsMustStoreAsTyped) {
    EXPECT_EQ(unstorableCharacter("Kovács Ödön őr"), std::nullopt);
    EXPECT_EQ(unstorableCharacter("\xC2\x81"), std::nullopt);  // an undefined byte's stand-in
    EXPECT_EQ(unstorableCharacter("ab\xE4\xB8\xAD" "c"), "\xE4\xB8\xAD");
    EXPECT_EQ(unstorableCharacter(std::string("a\0b", 3)), std::string(1, '\0'));
    EXPECT_EQ(unstorableCharacter("a\xCB\x99"), "\xCB\x99");  // U+02D9 is byte 0xFF
}
