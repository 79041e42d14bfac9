// The code fields: which they are, which differ between module and image,
// and how they show while hidden.

#include "params/code_fields.h"

#include <gtest/gtest.h>

#include <set>

#include "params/field_codecs.h"
#include "params/parameter_codec.h"

using namespace corvanta;

namespace {

constexpr const char* kHidden = "\u2022\u2022\u2022\u2022";

}  // namespace

TEST(CodeFields, TheTwelveUserCodesAndTheInstallerCodeAndNothingElse) {
    EXPECT_TRUE(codes::isCodePath("installerCode"));
    EXPECT_TRUE(codes::isCodePath("users[0].code"));
    EXPECT_TRUE(codes::isCodePath("users[11].code"));
    EXPECT_FALSE(codes::isCodePath("users[12].code"));
    EXPECT_FALSE(codes::isCodePath("users[0].name"));
    EXPECT_FALSE(codes::isCodePath("users[0].code.x"));
    EXPECT_FALSE(codes::isCodePath("zones[0].name"));
    std::set<std::size_t> bytes;
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        if (codes::isCodeByte(offset)) bytes.insert(offset);
    EXPECT_EQ(bytes.size(), 39u);
    EXPECT_TRUE(bytes.count(10) && bytes.count(12) && bytes.count(175) && bytes.count(177) && bytes.count(182));
    EXPECT_FALSE(bytes.count(13) || bytes.count(9) || bytes.count(183));
}

TEST(CodeFields, AHiddenCodeGivesNothingAwayAndNoCodeShowsAsItIs) {
    EXPECT_EQ(codes::shownCode("1234", false), kHidden);
    EXPECT_EQ(codes::shownCode("123456", false), kHidden);  // nor its length
    EXPECT_EQ(codes::shownCode("12**", false), kHidden);
    EXPECT_EQ(codes::shownCode("******", false), "******");
    EXPECT_EQ(codes::shownCode("", false), "");
    EXPECT_EQ(codes::shownCode("1234", true), "1234");

    ParameterImage image{};
    ParameterValues values = decode(image);
    values.users[3].code = "2468";
    values.installerCode = "1234";
    codes::hideCodes(values);
    EXPECT_EQ(values.users[3].code, kHidden);
    EXPECT_EQ(values.users[4].code, "******");
    EXPECT_EQ(values.installerCode, kHidden);
}

TEST(CodeFields, DifferencesNameTheUsersAndTheInstallerButNeverTheCodes) {
    ParameterImage image{};
    ParameterValues values = decode(image);
    values.users[1].code = "2222";
    values.users[10].code = "135790";
    values.installerCode = "1234";
    encode(values, image);
    ParameterImage module = image;
    EXPECT_FALSE(codes::codeDifferences(module, image).any());

    values.users[1].code = "2468";
    values.users[10].code = "****";
    values.installerCode = "4321";
    encode(values, module);
    module[15] ^= 0x01;  // the second user's name is no code
    const codes::CodeDifferences d = codes::codeDifferences(module, image);
    EXPECT_EQ(d.users, (std::vector<int>{1, 10}));
    EXPECT_TRUE(d.installer);

    const std::vector<std::string> lines = codes::codeDifferenceLines(d);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Felhasználók · Telepítői kód (installerCode): eltér, nem hasonlítva");
    EXPECT_EQ(lines[1], "2. Felhasználó · Azonosító kódja (users[1].code): eltér, nem hasonlítva");
    EXPECT_EQ(lines[2], "11. Felhasználó · Azonosító kódja (users[10].code): eltér, nem hasonlítva");
    for (const std::string& l : lines)
        for (const char* code : {"2222", "2468", "1357", "1234", "4321"}) EXPECT_EQ(l.find(code), std::string::npos);

    // Only what the module's bytes reach is compared.
    EXPECT_EQ(codes::codeDifferences(std::span(module).first(30), image).users, (std::vector<int>{1}));
    EXPECT_FALSE(codes::codeDifferences(std::span(module).first(30), image).installer);
    EXPECT_FALSE(codes::codeDifferences({}, image).any());
}
