// A change in the JSON (changeFromJson): only the keys given, an array that
// stops early or holds null for an entry left as it is, every value checked
// as the full document's are.

#include <gtest/gtest.h>

#include <QJsonDocument>

#include "app/cli/params_json.h"
#include "params/field_codecs.h"
#include "params/parameter_codec.h"

using namespace corvanta;
using namespace corvanta::cli;

namespace {

QJsonObject json(const char* text) { return QJsonDocument::fromJson(text).object(); }

struct Read {
    std::optional<std::string> refusal;
    ParameterImage values{};
    std::vector<std::string> paths;
};

Read change(const char* text) {
    Read r;
    std::vector<const fields::Field*> given;
    r.refusal = changeFromJson(json(text), r.values, given);
    for (const fields::Field* f : given) r.paths.push_back(f->path);
    return r;
}

}  // namespace

TEST(ParamsChange, OnlyTheGivenKeysAreTheChangeAndTheirValuesAreTheOnesGiven) {
    const Read r = change(R"({"phones": [null, "0612345678"], "account": "1a2b",
                              "zones": [null, {"name": "Garázs", "silent": true}],
                              "users": [{"rights": [true, null, false]}], "relayRows": [[], [null, true]]})");
    ASSERT_FALSE(r.refusal) << *r.refusal;
    EXPECT_EQ(r.paths, (std::vector<std::string>{"account", "phones[1]", "relayRows[1][1]", "users[0].rights[0]",
                                                  "users[0].rights[2]", "zones[1].name", "zones[1].silent"}));
    const ParameterValues v = decode(r.values);
    EXPECT_EQ(gridCellsText(v.phones[1]), "0612345678");
    EXPECT_EQ(gridCellsText(v.account), "1A2B");
    EXPECT_EQ(v.zones[1].name, "Garázs");
    EXPECT_TRUE(v.zones[1].silent);
    EXPECT_TRUE(v.users[0].rights[0]);
    EXPECT_FALSE(v.users[0].rights[2]);
    EXPECT_TRUE(v.relayRows[1].triggers[1]);
}

TEST(ParamsChange, AValueGivenMustPassEveryRuleWhateverTheModulesHold) {
    const struct {
        const char* json;
        const char* says;
    } cases[] = {
        {R"({"testTime": "24:00"})", "testTime: expected a time"},
        {R"({"users": [null, {"code": "12"}]})", "users[1].code: a user code must be 4 or 6 digits"},
        {R"({"zones": [{"name": "Tizenegy betű"}]})", "zones[0].name: longer than 10 characters"},
        {R"({"events": [{"routes": [1]}]})", "events[0].routes[0]: expected true or false"},
        {R"({"relayRows": [[true, true, true, true, true, true, true]]})", "relayRows[0]: expected at most 6 entries"},
        {R"({"outOfFormat": {"testTime": "FFFF"}})", "outOfFormat: a change gives values only"},
        {R"({"keypad": {"light": 1}})", "keypad.light: unknown key"},
        {R"({})", "the change gives no value"},
    };
    for (const auto& c : cases) {
        const Read r = change(c.json);
        ASSERT_TRUE(r.refusal) << c.json;
        EXPECT_NE(r.refusal->find(c.says), std::string::npos) << c.json << ": " << *r.refusal;
    }
    // The code and time a neutral image would show are no exception.
    EXPECT_TRUE(change(R"({"users": [{"code": "******"}], "testTime": "00:00", "installerCode": "123456"})").paths.size() == 3);
}
