// Lists as a spreadsheet opens them: CSV with a byte-order mark, ';' and
// CRLF, and workbooks that, read back, hold a bold title row, the column
// widths, moments as numbers under a date format and accents as they were.

#include <gtest/gtest.h>

#include "sheets/event_sheets.h"
#include "sheets/spreadsheet_csv.h"
#include "sheets/xlsx_sheet.h"
#include "tests/support/workbook_xml.h"

using namespace corvanta;
using namespace corvanta::sheets;
using corvanta::testing::workbookMember;

namespace {

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(SpreadsheetCsv, StartsWithAByteOrderMarkAndSeparatesBySemicolonsEndingLinesInCrLf) {
    const std::string csv = spreadsheetCsv({{"Időpont", 10}, {"Zóna / Felhasználó", 10}, {"Sorszám", 5}},
                                           {{SheetDateTime{2026, 3, 14, 9, 0, 0}, std::string("3. Kovács; Béla"), 7.0},
                                            {std::string("a \"b\""), std::string("x,y"), 12.5}});
    EXPECT_EQ(csv,
              "\xEF\xBB\xBF"
              "Időpont;Zóna / Felhasználó;Sorszám\r\n"
              "2026-03-14 09:00;\"3. Kovács; Béla\";7\r\n"
              "\"a \"\"b\"\"\";x,y;12,5\r\n");
}

TEST(SpreadsheetCsv, ATextThatASpreadsheetWouldRunAsAFormulaStaysText) {
    const std::string csv = spreadsheetCsv({{"Név", 10}, {"Érték", 5}},
                                           {{std::string("=HYPERLINK(\"x\")"), -3.5},
                                            {std::string("@SUM(A1)"), std::string("+36 1 234")},
                                            {std::string("-ház"), std::string("-")}});
    EXPECT_EQ(csv,
              "\xEF\xBB\xBF"
              "Név;Érték\r\n"
              "\"'=HYPERLINK(\"\"x\"\")\";-3,5\r\n"
              "'@SUM(A1);'+36 1 234\r\n"
              "'-ház;-\r\n");
}

TEST(XlsxSheet, AWorkbookReadBackHoldsTheTitlesWidthsDatesAndAccents) {
    std::string error;
    const auto bytes = xlsxWorkbook("Eseménynapló", {{"Időpont", 17}, {"Esemény", 19}, {"Sorszám", 8}},
                                    {{SheetDateTime{2026, 3, 14, 9, 0, 0}, std::string("Élesítés ÁÉŐŰ"), 3.0},
                                     {SheetDateTime{2026, 13, 40, 25, 5, 0}, std::string(), 4.0}},
                                    error);
    ASSERT_TRUE(bytes) << error;
    ASSERT_EQ(bytes->substr(0, 2), "PK");
    const std::string sheet = workbookMember(*bytes, "xl/worksheets/sheet1.xml");
    ASSERT_FALSE(sheet.empty()) << "python3's zipfile cannot read the workbook";
    // The titles in the first row, the accents as UTF-8.
    EXPECT_NE(sheet.find("<row r=\"1\""), std::string::npos);
    EXPECT_NE(sheet.find(">Időpont<"), std::string::npos);
    EXPECT_NE(sheet.find(">Élesítés ÁÉŐŰ<"), std::string::npos);
    EXPECT_NE(sheet.find("<col min=\"1\" max=\"1\" width=\"17.7109375\""), std::string::npos) << sheet;
    // The first row stays in view, under a filter.
    EXPECT_NE(sheet.find("ySplit=\"1\""), std::string::npos);
    EXPECT_NE(sheet.find("<autoFilter ref=\"A1:C3\""), std::string::npos);
    // A moment is the day number under a date format; one the calendar has
    // not stays text.
    const auto cell = sheet.find("<c r=\"A2\"");
    ASSERT_NE(cell, std::string::npos);
    const std::string a2 = sheet.substr(cell, sheet.find("</c>", cell) - cell);
    EXPECT_NE(a2.find("<v>46095.375</v>"), std::string::npos) << a2;
    const auto style = a2.find(" s=\"");
    ASSERT_NE(style, std::string::npos);
    const int xf = std::stoi(a2.substr(style + 4));
    const std::string styles = workbookMember(*bytes, "xl/styles.xml");
    const auto fmt = styles.find("formatCode=\"yyyy-mm-dd hh:mm\"");
    ASSERT_NE(fmt, std::string::npos);
    const std::string fmtId = styles.substr(styles.rfind("numFmtId=\"", fmt) + 10, 3);
    const auto xfs = styles.find("<cellXfs");
    auto at = styles.find("<xf ", xfs);
    for (int i = 0; i < xf; ++i) at = styles.find("<xf ", at + 1);
    EXPECT_EQ(styles.substr(at, styles.find('>', at) - at).find("numFmtId=\"" + fmtId.substr(0, fmtId.find('"'))),
              std::string("<xf ").size());
    EXPECT_NE(sheet.find(">2026-13-40 25:05<"), std::string::npos);
    EXPECT_EQ(count(sheet, "<row "), 3u);
    const std::string workbook = workbookMember(*bytes, "xl/workbook.xml");
    EXPECT_NE(workbook.find("name=\"Eseménynapló\""), std::string::npos);
}

TEST(XlsxSheet, TextsTooLongForACellAreCutAtACharacterAndBadSheetNamesMended) {
    std::string error;
    std::string longText;
    while (longText.size() < 40000) longText += "ő";
    const auto bytes = xlsxWorkbook("Írások [2026/03]: a nagyon hosszú nevű munkalap", {{"Változások", 60}},
                                    {{longText}}, error);
    ASSERT_TRUE(bytes) << error;
    const std::string sheet = workbookMember(*bytes, "xl/worksheets/sheet1.xml");
    const auto start = sheet.find("ő");
    ASSERT_NE(start, std::string::npos);
    const std::string kept = sheet.substr(start, sheet.find('<', start) - start);
    EXPECT_LE(kept.size(), 32767u);
    EXPECT_EQ(kept.size() % 2, 0u);  // whole two-byte characters only
    const std::string workbook = workbookMember(*bytes, "xl/workbook.xml");
    EXPECT_NE(workbook.find("name=\"Írások _2026_03__ a nagyon hoss\""), std::string::npos) << workbook;
}

TEST(EventSheets, TheEventListsTimesAreDatedFromTheLoadAndAnEntrysCellsAreKeptText) {
    EventMemory memory{};
    const EventLogEntry e = {27, 12 << 4 | 3, 30, 8, 5, 0, 1, 0};
    std::copy(e.begin(), e.end(), memory.begin());
    memory[eventmemory::kNewestIndex] = 0;
    const auto rows = eventListSheetRows(memory, ModuleNames{}, {2026, 1, 2, 9, 0});
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_EQ(rows[0].size(), eventListColumns().size());
    EXPECT_EQ(cellText(rows[0][1]), "2025-12-30 08:05");
    EXPECT_EQ(cellText(rows[0][2]), "Élesítés Part.1");

    sitebook::SiteEvent stored;
    stored.occurredAt = QStringLiteral("2025-12-30 08:05");
    stored.entry = e;
    stored.subject = QString::fromUtf8("3. Kovács");
    stored.loadedAt = QDateTime(QDate(2026, 1, 2), QTime(9, 0), Qt::UTC);
    const QStringList texts = siteEventTexts(stored);
    ASSERT_EQ(texts.size(), kSiteEventColumns);
    EXPECT_EQ(texts[0], "2025-12-30 08:05");
    EXPECT_EQ(texts[2], QString::fromUtf8("3. Kovács"));
    EXPECT_EQ(texts[3], "X");
    EXPECT_EQ(texts[12], QString::fromUtf8("Aktív"));
    const Row row = siteEventRow(stored);
    ASSERT_EQ(int(row.size()), kSiteEventColumns);
    EXPECT_TRUE(std::holds_alternative<SheetDateTime>(row[0]));
    EXPECT_TRUE(std::holds_alternative<SheetDateTime>(row.back()));
}
