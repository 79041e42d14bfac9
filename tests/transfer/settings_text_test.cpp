#include <gtest/gtest.h>

#include "transfer/settings_text.h"

namespace corvanta::listing {
namespace {

Line operator""_l(const char32_t* s, std::size_t n) { return Line(s, n); }

std::string utf8(const Line& l) {
  std::string out;
  for (char32_t c : l) {
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// --- alignColumn ---------------------------------------------------------

TEST(AlignColumn, PadsBeforeTheCharacterOrAtTheStartAndSkipsLinesWithoutIt) {
  Lines before{U"a:1"_l, U"abc:2"_l, U"none"_l, U"x"_l};
  EXPECT_EQ(alignColumn(before, 0, before.size(), 0, U':', Pad::BeforeChar), 4u);
  EXPECT_EQ(before, (Lines{U"a  :1"_l, U"abc:2"_l, U"none"_l, U"x"_l}));

  Lines atStart{U"[5;"_l, U"[123;"_l};
  EXPECT_EQ(alignColumn(atStart, 0, 2, 1, U';', Pad::AtStart), 5u);
  EXPECT_EQ(atStart, (Lines{U"[  5;"_l, U"[123;"_l}));

  // Only the given range moves; a character before `start` is not seen.
  Lines range{U":a;"_l, U"b;"_l, U"c;"_l};
  EXPECT_EQ(alignColumn(range, 0, 2, 1, U';', Pad::BeforeChar), 3u);
  EXPECT_EQ(range, (Lines{U":a;"_l, U"b ;"_l, U"c;"_l}));
  EXPECT_EQ(alignColumn(range, 0, 3, 0, U'#', Pad::BeforeChar), std::nullopt);
}

// --- Value texts and hints ------------------------------------------------

TEST(ValueTexts, ChecksListsEmptyTextsAndIndexesWithTheirItemTexts) {
  EXPECT_EQ(checkMark(true), U"X"_l);
  EXPECT_EQ(checkListText({true, false, true}), U"X - X"_l);
  EXPECT_EQ(textOrEmptyMark(U""_l), U"\u00A8"_l);
  EXPECT_EQ(textOrEmptyMark(U"abc"_l), U"abc"_l);
  EXPECT_EQ(indexWithItemText(2, U" Ki "_l, U"from hint"_l), U"2 (Ki)"_l);
  EXPECT_EQ(indexWithItemText(1, U""_l, U"Nyitásra aktív"_l), U"1 (Nyitásra aktív)"_l);
  EXPECT_EQ(indexWithItemText(0, U"  "_l, std::nullopt), U"0"_l);
  EXPECT_EQ(indexWithItemText(-1, U""_l, U"x"_l), U"-1 (x)"_l);
}

TEST(HintNames, PlusJoinsNamesCommaSeparatesAlternativesAndAShortHintServesItsFirst) {
  using V = std::vector<Line>;
  EXPECT_EQ(hintNames(U"lbTPhone1+lbTACK"_l, 0), (V{U"lbTPhone1"_l, U"lbTACK"_l}));
  const Line four = U"rlbShortAct, rlbOpenAct, rlbDEOL, rlbRadioDevice"_l;
  EXPECT_EQ(hintNames(four, 2), V{U"rlbDEOL"_l});
  EXPECT_EQ(hintNames(four, 4), V{U"rlbShortAct"_l});
  EXPECT_EQ(hintNames(four, -1), V{U"rlbShortAct"_l});
  EXPECT_EQ(hintNames(U"lbVoice+"_l, 0), V{U"lbVoice"_l});
  // A blank ends the alternative: what follows it is not a name of it.
  EXPECT_EQ(hintNames(U"a+b c+d"_l, 0), (V{U"a"_l, U"b"_l}));
  EXPECT_TRUE(hintNames(U""_l, 0).empty());
}

// --- Item lines and headings ------------------------------------------------

TEST(ItemLines, NameValueAndNoteAndWhatCountsAsOne) {
  EXPECT_EQ(itemLine(U"cbX"_l, U"X"_l, U"Bekapcsolva"_l), U"cbX: X  { Bekapcsolva }"_l);
  EXPECT_EQ(itemLine(U"PageControl1"_l, U""_l, std::nullopt), U"PageControl1: "_l);
  for (const Line& yes : {U"PageControl1: "_l, U"_x9 : 1"_l, U"edName"_l, U"cb_KEYPAD: -"_l})
    EXPECT_TRUE(isItemLine(yes)) << utf8(yes);
  for (const Line& no : {U""_l, U" 1. Zóna: ["_l, U"9a: 1"_l, U"{x: 1}"_l, U"a-b: 1"_l, U"ab cd: 1"_l})
    EXPECT_FALSE(isItemLine(no)) << utf8(no);
}

TEST(Headings, TabSheetTitleIsCentredInEightyOneColumnsBetweenDashLines) {
  const Lines h = tabSheetHeading(U"TabSheet1"_l);
  ASSERT_EQ(h.size(), 5u);
  const Line dashes = U"{"_l + Line(79, U'-') + U"}"_l;
  EXPECT_EQ(h[0], Line());
  EXPECT_EQ(h[1], dashes);
  EXPECT_EQ(h[2], U"{"_l + Line(30, U' ') + U"TabSheet: TabSheet1"_l + Line(30, U' ') + U"}"_l);
  EXPECT_EQ(h[3], dashes);
  EXPECT_EQ(h[4], Line());
  EXPECT_EQ(framed(U"{ VPanelArray: VPA_X }"_l)[0], U"{--------------------}"_l);
}

// --- Panel array tables -------------------------------------------------------

TEST(ComponentsHeader, CutsCloneSuffixesBreaksBeforeEightyAndLinesUpCommasAndBraces) {
  EXPECT_EQ(componentsHeader({}), Lines{U"{Components: }"_l});
  EXPECT_EQ(componentsHeader({U"cbBypass_Cl1"_l, U"clbEvents1_4_Cl22"_l}),
            Lines{U"{Components: cbBypass, clbEvents1_4}"_l});
  std::vector<Line> names;
  for (int i = 0; i < 12; ++i) names.push_back(Line(i % 3 == 0 ? 13 : 5 + i % 3, U'a' + char32_t(i)) + U"_Cl9"_l);
  const Lines h = componentsHeader(names);
  ASSERT_GT(h.size(), 1u);
  EXPECT_EQ(h[0].substr(0, 13), U"{Components: "_l);
  for (std::size_t i = 1; i < h.size(); ++i) EXPECT_EQ(h[i].substr(0, 13), U"{"_l + Line(12, U' '));
  for (const Line& l : h) {
    EXPECT_EQ(l.size(), h[0].size()) << utf8(l);  // every '}' in one column
    EXPECT_EQ(l.back(), U'}');
    EXPECT_EQ(l.find(U"_Cl"_l), Line::npos);
  }
  // The n-th comma stands in one column on every line that has one.
  for (std::size_t p = 0; p < h[0].size(); ++p)
    if (h[0][p] == U',') {
      for (std::size_t i = 1; i + 1 < h.size(); ++i) {
        EXPECT_EQ(h[i][p], U',') << "column " << p;
      }
    }
}

TEST(RowLines, NumbersRightTextsLeftAndItemTextsOnTheirParenthesis) {
  Lines rows{rowLine(U"1. Zóna   "_l, {U"-"_l, U"1 (Nyitásra)"_l, U"5"_l, U""_l, U"Bejárat"_l}),
             rowLine(U"12. Zóna"_l, {U"X"_l, U"0 (Rövidzárra aktív)"_l, U"30"_l, U""_l, U"Pince"_l})};
  EXPECT_EQ(rows[0], U" 1. Zóna: [ -;  1 (Nyitásra);  5;  Bejárat;  ]"_l);
  alignRowLines(rows, 0, rows.size());
  EXPECT_EQ(rows[0], U"  1. Zóna: [ -;  1 (Nyitásra)        ;   5;  Bejárat;  ]"_l);
  EXPECT_EQ(rows[1], U" 12. Zóna: [ X;  0 (Rövidzárra aktív);  30;  Pince  ;  ]"_l);
}

TEST(RowLines, AWholeTableIsFramedAndEndsWithItsClosingLines) {
  const Lines t = arrayTable(U"VPA_X"_l, {U"cbA_Cl1"_l}, {{U"   01. IN1"_l, {U"X"_l}}, {U"   02. IN2"_l, {U"-"_l}}});
  EXPECT_EQ(t, (Lines{U"{--------------------}"_l, U"{ VPanelArray: VPA_X }"_l, U"{--------------------}"_l,
                      U"{Components: cbA}"_l, U" 01. IN1: [ X;  ]"_l, U" 02. IN2: [ -;  ]"_l,
                      U"{--------------------}"_l, U"{ End of VPanelArray }"_l, U"{--------------------}"_l}));
  // A table of no rows still closes.
  EXPECT_EQ(arrayTable(U"V"_l, {}, {}).size(), 7u);
}

// --- Passes over the listing -----------------------------------------------

TEST(ItemGroups, ColonsBracesOfConsecutiveItemLinesLineUpAndLoneLinesStay) {
  Lines l{U"ab: 1  { x }"_l, U"abcd: 22  { yy }"_l, U""_l, U"lone: 1  { z }"_l, U" row: ["_l, U"q: 1"_l};
  alignItemGroups(l);
  EXPECT_EQ(l[0], U"ab  : 1   { x  }"_l);
  EXPECT_EQ(l[1], U"abcd: 22  { yy }"_l);
  EXPECT_EQ(l[3], U"lone: 1  { z }"_l);
  EXPECT_EQ(l[5], U"q: 1"_l);
}

TEST(LongLines, BreakAtTheLastBlankBeforeColumnEightyAndContinueUnderTheBrace) {
  const Line line = U"ab: 1  { "_l + Line(60, U'x') + U" "_l + Line(20, U'y') + U" }"_l;
  Lines l{line, U"next: 2"_l};
  wrapLongItemLines(l);
  ASSERT_EQ(l.size(), 3u);
  Line first = U"ab: 1  { "_l + Line(60, U'x') + U" "_l;
  first.resize(79, U' ');
  EXPECT_EQ(l[0], first + U"}"_l);
  EXPECT_EQ(l[1], Line(7, U' ') + U"{ "_l + Line(20, U'y') + U" }"_l);
  EXPECT_EQ(l[2], U"next: 2"_l);
}

TEST(LongLines, ABraceBeyondColumnSixtyMovesLeftAndEveryPieceFitsWithNothingLost) {
  Line words;
  for (int i = 0; i < 30; ++i) words += U"szó"_l + Line(1, U'a' + char32_t(i % 26)) + U" ";
  const Line head = U"edName"_l + Line(60, U' ') + U": 5"_l;
  Lines l{head + U"  { "_l + words + U"}"_l};
  wrapLongItemLines(l);
  ASSERT_GT(l.size(), 2u);
  EXPECT_EQ(l[0].substr(0, head.size() + 3), head + U" { "_l);
  Line joined;
  for (std::size_t i = 0; i < l.size(); ++i) {
    EXPECT_LE(l[i].size(), 80u) << utf8(l[i]);
    const std::size_t open = l[i].find(U'{');
    ASSERT_NE(open, Line::npos);
    if (i > 0) {
      EXPECT_EQ(l[i].find_first_not_of(U' '), open) << utf8(l[i]);
    }
    joined += l[i].substr(open + 2, l[i].rfind(U'}') - open - 2);
  }
  Line compact, expected;
  for (char32_t c : joined)
    if (c != U' ') compact += c;
  for (char32_t c : words)
    if (c != U' ') expected += c;
  EXPECT_EQ(compact, expected);
}

TEST(LongLines, ABraceAtColumnSixtyStaysAndOneAtSixtyOneMovesLeft) {
  for (std::size_t column : {60u, 61u}) {
    Line line = U"ab: 1"_l;
    line.resize(column - 1, U' ');
    line += U"{ "_l + Line(10, U'x') + U" "_l + Line(20, U'y') + U" }"_l;
    Lines l{line};
    wrapLongItemLines(l);
    EXPECT_EQ(l[0].find(U'{'), column == 60 ? 59u : 6u) << column;
  }
}

// Where no break shortens the line (no blank after the brace, or no brace at
// all) the line is left long instead of growing continuation lines forever.
TEST(LongLines, ALineWithNoUsefulBreakStaysWholeInsteadOfLoopingForever) {
  const Line unbroken = U"ab: 1  { "_l + Line(85, U'x') + U" }"_l;
  Lines l{unbroken};
  wrapLongItemLines(l);
  EXPECT_EQ(l, Lines{unbroken});

  Lines bare{U"ab: "_l + Line(90, U'x')};
  wrapLongItemLines(bare);
  ASSERT_EQ(bare.size(), 2u);
  EXPECT_EQ(bare[1], U"{ "_l + Line(90, U'x') + U" }"_l);
}

}  // namespace
}  // namespace corvanta::listing
