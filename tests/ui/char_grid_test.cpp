#include <QTest>

#include <gtest/gtest.h>

#include "ui/widgets/char_grid.h"

namespace corvanta {
namespace {

QString cells(const CharGrid& g) {
  QString out;
  for (int c = 0; c < g.cellCount(); ++c) out += g.cell(c).isEmpty() ? QStringLiteral(".") : g.cell(c);
  return out;
}

TEST(TelephoneGridKeys, DigitsFillFromTheActiveCellAndAdvance) {
  CharGrid g(CharGrid::Kind::Telephone, 16);
  QTest::keyClicks(&g, "0630");
  EXPECT_EQ(cells(g), "0630............");
  EXPECT_EQ(g.activeCell(), 4);
}

TEST(TelephoneGridKeys, OtherKeysChangeNothing) {
  CharGrid g(CharGrid::Kind::Telephone, 16);
  QTest::keyClicks(&g, "06");
  QTest::keyClicks(&g, "a*# +");
  EXPECT_EQ(cells(g), "06..............");
  EXPECT_EQ(g.activeCell(), 2);
}

TEST(TelephoneGridKeys, BackspaceStepsLeftAndEmptiesToTheEnd) {
  CharGrid g(CharGrid::Kind::Telephone, 16);
  QTest::keyClicks(&g, "06301234");
  g.setActiveCell(4);
  QTest::keyClick(&g, Qt::Key_Backspace);
  EXPECT_EQ(cells(g), "063.............");
  EXPECT_EQ(g.activeCell(), 3);
  g.setActiveCell(0);
  QTest::keyClick(&g, Qt::Key_Backspace);
  EXPECT_EQ(cells(g), "................");
  EXPECT_EQ(g.activeCell(), 0);
}

TEST(TelephoneGridKeys, BackspaceAfterTheLastCellTakesBackOnlyThatDigit) {
  CharGrid g(CharGrid::Kind::Telephone, 16);
  QTest::keyClicks(&g, "0123456789012345");
  EXPECT_EQ(g.activeCell(), 15);
  QTest::keyClick(&g, Qt::Key_Backspace);
  EXPECT_EQ(cells(g), "012345678901234.");
  QTest::keyClick(&g, Qt::Key_Backspace);
  EXPECT_EQ(cells(g), "01234567890123..");
}

TEST(AccountGridKeys, LettersAreTakenInUpperCaseAndOnlyHexDigits) {
  CharGrid g(CharGrid::Kind::Account, 4);
  QTest::keyClicks(&g, "bxg1");
  EXPECT_EQ(cells(g), "B1..");
}

TEST(AccountGridKeys, BackspaceFillsTheRestWithZeros) {
  CharGrid g(CharGrid::Kind::Account, 4);
  QTest::keyClicks(&g, "12AF");
  QTest::keyClick(&g, Qt::Key_Backspace);
  EXPECT_EQ(cells(g), "12A0");
  g.setActiveCell(2);
  QTest::keyClick(&g, Qt::Key_Backspace);
  EXPECT_EQ(cells(g), "1000");
  EXPECT_EQ(g.activeCell(), 1);
}

TEST(GridCellCheck, KeepsOnlyAFirstCharacterOfTheGridsKind) {
  EXPECT_EQ(CharGrid::checkedCell(CharGrid::Kind::Telephone, "7x"), "7");
  EXPECT_EQ(CharGrid::checkedCell(CharGrid::Kind::Telephone, "x7"), "");
  EXPECT_EQ(CharGrid::checkedCell(CharGrid::Kind::Telephone, "٣"), "");  // not an ASCII digit
  EXPECT_EQ(CharGrid::checkedCell(CharGrid::Kind::Account, "e"), "E");
  EXPECT_EQ(CharGrid::checkedCell(CharGrid::Kind::Account, "G"), "");
  EXPECT_EQ(CharGrid::checkedCell(CharGrid::Kind::Account, ""), "");
}

}  // namespace
}  // namespace corvanta
