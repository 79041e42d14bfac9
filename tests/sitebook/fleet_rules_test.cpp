// The rules a change to many modules and its undo keep (fleet/parameter_change.h):
// a change touches its fields' bits alone, and the users' codes, which users
// change at the keypad, never make a module count as changed nor get lost.

#include <gtest/gtest.h>

#include "fleet/parameter_change.h"
#include "params/code_fields.h"
#include "params/image_diff.h"
#include "params/image_layout.h"
#include "params/parameter_codec.h"

using namespace corvanta;
using namespace corvanta::fleet;

namespace {

ParameterImage module() {
    ParameterImage image;
    for (std::size_t i = 0; i < kImageSize; ++i) image[i] = std::uint8_t(i * 7 + 3);
    ParameterValues v = decode(image);
    v.installerCode = "1234";
    for (auto& u : v.users) u.code = "5678";
    v.zones[0].entryDelay = 10;
    encode(v, image);
    return image;
}

ParameterChange entryDelayOfZone1(int delay) {
    ParameterImage values = module();
    ParameterValues v = decode(values);
    v.zones[0].entryDelay = delay;
    encode(v, values);
    return {{fields::fieldAt("zones[0].entryDelay")}, values};
}

std::vector<std::string> changed(const ParameterImage& a, const ParameterImage& b) {
    std::vector<std::string> paths;
    for (const FieldChange& c : diff(a, b).changes) paths.push_back(c.field->path);
    return paths;
}

void setUserCode(ParameterImage& image, int user, const char* code) {
    ParameterValues v = decode(image);
    v.users[user].code = code;
    encode(v, image);
}

}  // namespace

TEST(FleetRules, AChangeSetsItsFieldsAndLeavesEveryOtherBitAsRead) {
    const ParameterImage read = module();
    const ParameterImage out = applied(entryDelayOfZone1(25), read);
    EXPECT_EQ(changed(read, out), std::vector<std::string>{"zones[0].entryDelay"});
    EXPECT_EQ(decode(out).zones[0].entryDelay, 25);
    int differing = 0;
    for (std::size_t i = 0; i < kImageSize; ++i) differing += read[i] != out[i];
    EXPECT_EQ(differing, 1);
    // A module that shows the value already is left as it is.
    EXPECT_EQ(applied(entryDelayOfZone1(10), read), read);

    // The change made from an edited image carries the edited fields alone.
    ParameterImage edited = read;
    ParameterValues v = decode(edited);
    v.zones[3].name = "Garázs";
    encode(v, edited);
    edited[layout::kPreservedRanges[0].first] ^= 0xFF;  // no field's byte
    const ParameterChange fromEdit = changeBetween(read, edited);
    ASSERT_EQ(fromEdit.fields.size(), 1u);
    EXPECT_EQ(fromEdit.fields[0]->path, "zones[3].name");
    const ParameterImage other = applied(fromEdit, applied(entryDelayOfZone1(40), read));
    EXPECT_EQ(decode(other).zones[3].name, "Garázs");
    EXPECT_EQ(decode(other).zones[0].entryDelay, 40);
    EXPECT_EQ(other[layout::kPreservedRanges[0].first], read[layout::kPreservedRanges[0].first]);
}

TEST(FleetRules, ACodeChangedAtTheKeypadNeitherCountsAsAChangeNorIsUndone) {
    const ParameterImage before = module();
    const ParameterImage written = applied(entryDelayOfZone1(30), before);
    ParameterImage now = written;
    setUserCode(now, 4, "9999");
    EXPECT_TRUE(sameButCodes(now, written));
    EXPECT_FALSE(sameButCodes(before, written));
    ASSERT_TRUE(stillHolds(now, before, written));
    const ParameterImage back = undone(now, before, written);
    EXPECT_EQ(decode(back).zones[0].entryDelay, 10);
    EXPECT_EQ(decode(back).users[4].code, "9999");
    EXPECT_EQ(changed(now, back), std::vector<std::string>{"zones[0].entryDelay"});

    // A code the batch itself set goes back with the undo, unless changed again.
    ParameterImage newCode = before;
    setUserCode(newCode, 2, "2468");
    EXPECT_TRUE(stillHolds(newCode, before, newCode));
    EXPECT_EQ(decode(undone(newCode, before, newCode)).users[2].code, "5678");
    ParameterImage changedAgain = newCode;
    setUserCode(changedAgain, 2, "1357");
    EXPECT_FALSE(stillHolds(changedAgain, before, newCode));

    // Any other field changed since: the module no longer holds the batch's image.
    ParameterImage moved = written;
    ParameterValues v = decode(moved);
    v.zones[5].exitDelay = 99;
    encode(v, moved);
    EXPECT_FALSE(stillHolds(moved, before, written));
}
