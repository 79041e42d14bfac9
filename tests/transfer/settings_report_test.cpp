// The settings report: the editor's pages, captions and shown values, rows
// of check boxes as one line, codes hidden unless asked for.

#include "transfer/settings_report.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "params/parameter_codec.h"

using namespace corvanta;
using report::Page;
using report::Section;

namespace {

const Section* sectionOf(const Page& page, const std::string& title) {
    for (const Section& s : page.sections)
        if (s.title == title) return &s;
    return nullptr;
}

std::string valueOf(const Section* s, const std::string& caption) {
    if (!s) return "<no section>";
    for (const report::Row& r : s->rows)
        if (r.caption == caption) return r.value;
    return "<no row>";
}

ParameterImage sample() {
    ParameterImage image{};
    ParameterValues v = decode(image);
    v.zones[2].name = "Bejárat";
    v.zones[2].entryDelay = 30;
    v.users[0].name = "Kovács";
    v.users[0].code = "2468";
    v.users[0].rights[0] = true;
    v.users[0].rights[2] = true;
    v.installerCode = "1234";
    v.phones[0] = {'0', '6', '5', '5', '5', '7'};
    v.relayRows[1].triggers[0] = true;
    v.relayRows[1].triggers[3] = true;
    encode(v, image);
    return image;
}

}  // namespace

TEST(SettingsReport, TheEditorsPagesInOrderWithEveryFieldOnce) {
    const auto pages = report::settingsReport(sample());
    std::vector<std::string> titles;
    std::vector<int> rows;
    for (const Page& p : pages) {
        titles.push_back(p.title);
        int n = 0;
        for (const Section& s : p.sections) n += int(s.rows.size());
        rows.push_back(n);
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Zónák", "Felhasználók", "Események", "Relé kimenetek",
                                                "Telefonszámok & egyéb paraméterek", "Rádiós eszközök beállításai",
                                                "LCD-Kezelő"}));
    // Twelve zones of twelve settings and the night walk; twelve users of
    // name, code and rights and the installer code; four a reporting event;
    // one line a relay row and two a relay; the telephone page's 25; four
    // buttons a remote; the keypad's five and its door chime.
    EXPECT_EQ(rows, (std::vector<int>{1 + 12 * 12, 1 + 12 * 3, 47 * 4, 60 + 3 * 2, 25, 12 * 4, 6}));
    // The night walk belongs to no zone: it comes first, under no row.
    EXPECT_EQ(pages[0].sections.front().title, "");
    EXPECT_EQ(pages[0].sections.front().rows.front().caption, "Éjszakai séta időtartam");
    EXPECT_EQ(pages[0].sections.size(), 13u);
}

TEST(SettingsReport, ValuesReadAsTheEditorShowsThemUnderItsCaptions) {
    const auto pages = report::settingsReport(sample());
    const Section* zone3 = sectionOf(pages[0], "3. Zóna");
    EXPECT_EQ(valueOf(zone3, "Zóna neve"), "Bejárat");
    EXPECT_EQ(valueOf(zone3, "Belépési késlelt."), "30");
    EXPECT_EQ(valueOf(zone3, "Csendes zóna"), "nem");
    EXPECT_EQ(valueOf(sectionOf(pages[1], "1. Felhasználó"), "Felhasználó neve"), "Kovács");
    // Ticked check boxes of a row read as one line; none ticked as a dash.
    EXPECT_EQ(valueOf(sectionOf(pages[1], "1. Felhasználó"), "Jogosultságok"), "1. partíció, Élesítés");
    EXPECT_EQ(valueOf(sectionOf(pages[1], "2. Felhasználó"), "Jogosultságok"), report::kNoneTicked);
    const Section* relayRow = sectionOf(pages[3], "01. " + std::string("IN1 Riasztás"));
    ASSERT_NE(relayRow, nullptr);
    EXPECT_EQ(valueOf(relayRow, "Relék"), "R1 bekapcs., R2 kikapcs.");
    // A number joins the row of its acknowledgement.
    const Section* phone1 = sectionOf(pages[4], "1. Telefonszám");
    ASSERT_NE(phone1, nullptr);
    ASSERT_EQ(phone1->rows.size(), 2u);
    EXPECT_EQ(phone1->rows[0].caption, "Telefonszám");
    EXPECT_EQ(phone1->rows[0].value, "065557");
    EXPECT_EQ(phone1->rows[1].caption, "Nyugtázás");
}

TEST(SettingsReport, CodesAreHiddenUnlessAskedForAndNoCodeShowsAsItIs) {
    const ParameterImage image = sample();
    const auto hidden = report::settingsReport(image);
    EXPECT_EQ(valueOf(sectionOf(hidden[1], "1. Felhasználó"), "Azonosító kódja"), "\u2022\u2022\u2022\u2022");
    EXPECT_EQ(valueOf(sectionOf(hidden[1], ""), "Telepítői kód"), "\u2022\u2022\u2022\u2022");
    EXPECT_EQ(valueOf(sectionOf(hidden[1], "2. Felhasználó"), "Azonosító kódja"), "******");
    for (const Page& p : hidden)
        for (const Section& s : p.sections)
            for (const report::Row& r : s.rows) {
                EXPECT_EQ(r.value.find("2468"), std::string::npos) << r.caption;
                EXPECT_EQ(r.value.find("1234"), std::string::npos) << r.caption;
            }
    const auto shown = report::settingsReport(image, true);
    EXPECT_EQ(valueOf(sectionOf(shown[1], "1. Felhasználó"), "Azonosító kódja"), "2468");
    EXPECT_EQ(valueOf(sectionOf(shown[1], ""), "Telepítői kód"), "1234");
}
