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

// Found by an installer: typing a shorter number over a longer one left the
// old tail, Delete did nothing and Backspace cut everything after the cursor.
TEST(TelephoneGridKeys, BackspaceAndDeleteTakeOutOneDigitAndTheRestMovesUp) {
  CharGrid g(CharGrid::Kind::Telephone, 16);
  QTest::keyClicks(&g, "06301234");
  g.setActiveCell(4);
  QTest::keyClick(&g, Qt::Key_Backspace);
  EXPECT_EQ(cells(g), "0631234.........");
  EXPECT_EQ(g.activeCell(), 3);
  QTest::keyClick(&g, Qt::Key_Delete);
  EXPECT_EQ(cells(g), "063234..........");
  EXPECT_EQ(g.activeCell(), 3);
  // A digit typed in the middle goes in there.
  QTest::keyClicks(&g, "9");
  EXPECT_EQ(cells(g), "0639234.........");
  g.setActiveCell(0);
  QTest::keyClick(&g, Qt::Key_Backspace);
  EXPECT_EQ(cells(g), "0639234.........");
  QTest::keyClick(&g, Qt::Key_End);
  EXPECT_EQ(g.cursorPosition(), 7);
  QTest::keyClick(&g, Qt::Key_Delete);
  EXPECT_EQ(cells(g), "0639234.........");
}

TEST(TelephoneGridKeys, ANumberTypedFromTheFirstCellReplacesTheWholeNumber) {
  CharGrid g(CharGrid::Kind::Telephone, 16);
  QTest::keyClicks(&g, "06301234567");
  g.setActiveCell(0);
  QTest::keyClicks(&g, "06991234");
  EXPECT_EQ(cells(g), "06991234........");
  // Selected as the keyboard comes in (or with Ctrl+A): a digit replaces it,
  // Backspace or Delete empties it.
  g.selectAll();
  QTest::keyClicks(&g, "1");
  EXPECT_EQ(cells(g), "1...............");
  QTest::keyClicks(&g, "23");
  g.selectAll();
  QTest::keyClick(&g, Qt::Key_Delete);
  EXPECT_EQ(cells(g), "................");
  // A full number takes no more digits.
  QTest::keyClicks(&g, "0123456789012345");
  g.setActiveCell(3);
  QTest::keyClicks(&g, "7");
  EXPECT_EQ(cells(g), "0123456789012345");
}

TEST(TelephoneGridKeys, APastedNumberFillsTheCellsAndANonNumberIsRefused) {
  CharGrid g(CharGrid::Kind::Telephone, 16);
  QTest::keyClicks(&g, "0630999");
  g.setActiveCell(0);
  EXPECT_TRUE(g.paste(QStringLiteral(" 06-30/123 4567 ")));
  EXPECT_EQ(cells(g), "06301234567.....");
  EXPECT_FALSE(g.paste(QStringLiteral("+36301234567")));
  EXPECT_FALSE(g.paste(QStringLiteral("06301234567890123")));  // 17 digits
  EXPECT_FALSE(g.paste(QStringLiteral("hívja")));
  EXPECT_EQ(cells(g), "06301234567.....");
  // At a cursor inside the number the digits go in there.
  g.setActiveCell(2);
  EXPECT_TRUE(g.paste(QStringLiteral("99")));
  EXPECT_EQ(cells(g), "0699301234567...");
  CharGrid account(CharGrid::Kind::Account, 4);
  EXPECT_TRUE(account.paste(QStringLiteral("1a")));
  EXPECT_EQ(cells(account), "1A00");
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
