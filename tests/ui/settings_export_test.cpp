#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTabWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "params/parameter_codec.h"
#include "ui/editor/editor_page.h"
#include "ui/widgets/panel_array.h"
#include "ui/editor/parameter_editor.h"
#include "ui/widgets/radio_group.h"
#include "ui/widgets/control_hint.h"
#include "ui/editor/settings_export.h"
#include "transfer/settings_listing.h"

QT_BEGIN_NAMESPACE
// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace corvanta {
namespace {

// One value of every kind on every page, at the first and last rows.
ParameterImage knownImage() {
  ParameterImage image{};
  ParameterValues v = decode(image);
  ZoneRecord& z = v.zones[0];
  z.name = "Bejárat";
  z.bypass = true;
  z.inputType = 1;
  z.partition = 2;
  z.sensitivity = 5;
  z.entryDelay = 30;
  z.exitDelay = 45;
  z.nightSetting = 1;
  v.zones[11].name = "Pince";
  v.zones[11].inputType = 3;
  v.nightWalkTime = 7;
  v.users[0].name = "Kovács";
  v.users[0].code = "1234";
  v.users[0].rights[0] = v.users[0].rights[15] = true;
  v.installerCode = "654321";
  v.events[0].contactId = "1 3 0";
  v.events[0].routes[0] = v.events[0].routes[8] = true;
  v.events[0].sms = "Riasztás: $";
  v.events[0].voice = 3;
  v.relayRows[0].triggers[1] = true;
  v.relayRows[59].triggers[4] = true;
  v.relays[2] = {10, 20};
  const char phone[] = "06301234567";
  for (int c = 0; phone[c]; ++c) v.phones[kPhone1][c] = phone[c];
  v.account = {'1', '2', 'A', 'F'};
  v.ackModes[0] = 1;
  v.sirens[0] = {2, 15, 3};
  v.tamperSiren = true;
  v.testTime = "07:05";
  v.testPeriod = 7;
  v.remotes[0].buttons = {1, 5, 6, 0};
  v.keypad.backlight = 2;
  v.keypad.nightArmSilent = true;
  v.doorChime[0] = v.doorChime[11] = true;
  encode(v, image);
  return image;
}

class SettingsExportTest : public ::testing::Test {
 protected:
  QStringList listing() { return exportEditorSettings(editor, image); }
  // The line that starts with `start`, or an empty one.
  static QString lineStarting(const QStringList& lines, const QString& start) {
    for (const QString& l : lines)
      if (l.startsWith(start)) return l;
    return {};
  }
  // A table: from its title line to its closing dash line.
  static QStringList block(const QStringList& lines, const QString& title) {
    const qsizetype from = lines.indexOf(title);
    const qsizetype end = lines.indexOf("{ End of VPanelArray }", from);
    return from < 0 || end < 0 ? QStringList() : lines.mid(from, end + 2 - from);
  }

  ParameterImage image = knownImage();
  ParameterEditor editor;
};

// --- The listing of a known image -------------------------------------------

TEST_F(SettingsExportTest, ListsThePageControlThenEveryPageInOrder) {
  const QStringList lines = listing();
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_EQ(lines[0], "PageControl1: ");
  QStringList sheets;
  for (const QString& l : lines)
    if (l.contains("TabSheet: ")) sheets << l.section("TabSheet: ", 1).trimmed().chopped(1).trimmed();
  EXPECT_EQ(sheets, (QStringList{"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4", "TabSheet5", "TabSheet6",
                                 "TabSheet7"}));
  const qsizetype title = lines.indexOf(lineStarting(lines, "{                              TabSheet: TabSheet1"));
  ASSERT_GT(title, 1);
  EXPECT_EQ(lines[title].size(), 81);
  EXPECT_EQ(lines[title - 1], "{" + QString(79, u'-') + "}");
  EXPECT_EQ(lines[title - 2], "");
  EXPECT_EQ(lines[title + 2], "");
}

TEST_F(SettingsExportTest, PageControlsGetAnItemLineWithTheTextsTheirHintsName) {
  const QStringList lines = listing();
  EXPECT_EQ(lineStarting(lines, "edNightDelay"), "edNightDelay: 7  { Éjszakai séta időtartam (0-25 perc) }");
  EXPECT_EQ(lineStarting(lines, "edMasterCode"), "edMasterCode: 654321  { Telepítői kód megváltoztatása: }");
  EXPECT_EQ(lineStarting(lines, "edREL3delay"), "edREL3delay: 10  { RELE 3 : Start késleltetés ( 0-255 sec ) :   }");
  EXPECT_EQ(lineStarting(lines, "edREL3time"), "edREL3time : 20  { RELE 3 : Maximális időtartam ( 0-255 sec ) : }");
  // Telephone page: grids cell by cell, a blank per empty cell; page combos
  // show their bare index; a masked edit as it shows.
  EXPECT_EQ(lineStarting(lines, "acgTel1"), "acgTel1        : 06301234567       { 1. Telefonszám }");
  EXPECT_EQ(lineStarting(lines, "acgUserAccount"), "acgUserAccount : 12AF              { Ügyfél azonosító }");
  EXPECT_EQ(lineStarting(lines, "cbACK1"), "cbACK1         : 1                 { 1. Telefonszám Nyugtázás }");
  EXPECT_EQ(lineStarting(lines, "cbOUT1mode"), "cbOUT1mode     : 2                 { OUT 1 : }");
  EXPECT_EQ(lineStarting(lines, "meTesztIdopont"), "meTesztIdopont : 07:05             { Tesztjelentés időpontja (óó:pp) : }");
  // A check box with a hint shows the hint's labels; one without, its caption.
  EXPECT_EQ(lineStarting(lines, "cbSabotageSiren"), "cbSabotageSiren: X                 { Szabotázs esetén OUT1, OUT2 kikapcsolt    }");
  EXPECT_EQ(lineStarting(lines, "cbKEYPAD_NightArmSilent"),
            "cbKEYPAD_NightArmSilent: X  { Kezelő némítás éjszakai élesített állapotban }");
  EXPECT_EQ(lineStarting(lines, "rgKEYPAD_LIGHT"), "rgKEYPAD_LIGHT         : 2");
  EXPECT_EQ(lineStarting(lines, "btOnOffMode"), "btOnOffMode    : ");
}

// The door-chime list stands in a group box; it is listed under it, as a
// setting of the keypad page.
TEST_F(SettingsExportTest, TheDoorChimeListInsideItsGroupBoxIsListed) {
  const QStringList lines = listing();
  const qsizetype group = lines.indexOf(lineStarting(lines, "GroupKapuCseng"));
  ASSERT_GE(group, 0);
  ASSERT_LT(group + 1, lines.size());
  EXPECT_EQ(lines[group + 1], "cbINjelez              : X - - - - - - - - - - X");
}

TEST_F(SettingsExportTest, EveryPanelArrayBecomesATableWithALinePerRecord) {
  const QStringList lines = listing();
  const QStringList zones = block(lines, "{ VPanelArray: VPA_ZonaPanel }");
  ASSERT_EQ(zones.size(), 1 + 1 + 3 + 12 + 3);
  EXPECT_EQ(zones[2], "{Components: cbBypass   , cbZonaCsendes, cbKoveto    , rgZonaBek  , rgZonaPart, }");
  EXPECT_EQ(zones[5],
            "  1. Zóna: [ X;  -;  -;  1 (Szakadásra aktív);  2 (Partíció 2)     ;  5;  30;  45;  0;  0;  "
            "1 (Éles, követő);  Bejárat;  ]");
  EXPECT_EQ(zones[16],
            " 12. Zóna: [ -;  -;  -;  3 (Rádiós érzékelő) ;  0 (Partíció 1 és 2);  0;   0;   0;  0;  0;  "
            "0 (Mindíg éles) ;  Pince  ;  ]");
  EXPECT_EQ(zones.last(), "{--------------------}");

  const QStringList users = block(lines, "{ VPanelArray: VPA_FelhPanel }");
  ASSERT_EQ(users.size(), 1 + 1 + 1 + 12 + 3);
  EXPECT_EQ(users[3], "  1. Felhasználó: [ X - - - - - - - - - - - - - - X;  Kovács;  1234  ;  ]");
  EXPECT_EQ(users[4], "  2. Felhasználó: [ - - - - - - - - - - - - - - - -;  ¨     ;  ******;  ]");

  const QStringList events = block(lines, "{ VPanelArray: VPA_EsemenyPanel }");
  ASSERT_EQ(events.size(), 1 + 1 + 2 + 47 + 3);
  EXPECT_EQ(events[4], " 01. IN1 Riasztás     : [ 1 3 0;  X - - -;  - - - -;  X;  Riasztás: $;  3;  ]");
  EXPECT_EQ(events[5], " 02. IN1 Visszaállás  : [ 0 0 0;  - - - -;  - - - -;  -;  ¨          ;  0;  ]");

  const QStringList relays = block(lines, "{ VPanelArray: VPA_RelePanel }");
  ASSERT_EQ(relays.size(), 1 + 1 + 1 + 60 + 3);
  EXPECT_EQ(relays[3], " 00. Telefonos vezérlés: [ - X;  - -;  - -;  ]");
  EXPECT_EQ(relays[62].section(':', 1), " [ - -;  - -;  X -;  ]");

  const QStringList remotes = block(lines, "{ VPanelArray: VPA_TavKezPanel }");
  ASSERT_EQ(remotes.size(), 1 + 1 + 1 + 12 + 3);
  EXPECT_EQ(remotes[3].left(20), "  1. Felhasználó: [ ");
  EXPECT_EQ(remotes[3].count(u'('), 4) << remotes[3].toStdString();
}

// Within a table every separator of a column stands in one column.
TEST_F(SettingsExportTest, TableColumnsLineUp) {
  const QStringList lines = listing();
  for (const char* array : {"VPA_ZonaPanel", "VPA_FelhPanel", "VPA_EsemenyPanel", "VPA_RelePanel", "VPA_TavKezPanel"}) {
    QStringList rows;
    for (const QString& l : block(lines, QStringLiteral("{ VPanelArray: %1 }").arg(array)))
      if (l.startsWith(u' ')) rows << l;
    ASSERT_FALSE(rows.isEmpty()) << array;
    const auto columns = [](const QString& l, QChar c) {
      QList<qsizetype> at;
      for (qsizetype i = 0; i < l.size(); ++i)
        if (l[i] == c) at << i;
      return at;
    };
    for (const QString& r : rows) {
      EXPECT_EQ(r.indexOf(':'), rows[0].indexOf(':')) << array << ": " << r.toStdString();
      EXPECT_EQ(columns(r, u';'), columns(rows[0], u';')) << array << ": " << r.toStdString();
      EXPECT_EQ(r.size(), rows[0].size()) << array;
    }
  }
}

// --- The walk itself ---------------------------------------------------------

TEST_F(SettingsExportTest, ANeverShownEditorListsAsOneThatWasOnScreen) {
  const QStringList hidden = listing();
  editor.present(image);
  for (int p = 0; p < ParameterEditor::kPageCount; ++p) editor.pageControl()->setCurrentIndex(p);
  editor.discard();
  EXPECT_EQ(listing(), hidden);
}

TEST_F(SettingsExportTest, TheExportLeavesTheEditorsRecordsAndRowsAsTheImageHasThem) {
  listing();
  EXPECT_EQ(editor.workingValues(), decode(image));
  for (int p = 0; p < ParameterEditor::kPageCount; ++p)
    if (PanelArray* a = editor.page(p)->panelArray()) {
      EXPECT_FALSE(a->hasRows()) << p;
    }
}

// The command line lists without windows; it must say what the editor says,
// for values in range, at the ends of their ranges and beyond them.
TEST_F(SettingsExportTest, TheListingWithoutWindowsEqualsTheEditorWalk) {
  ParameterImage zeros{}, ones{}, ramp{}, noise{};
  ones.fill(0xFF);
  std::uint32_t seed = 12345;
  for (std::size_t i = 0; i < kImageSize; ++i) {
    ramp[i] = std::uint8_t(i * 7 + i / 256);
    seed = seed * 1103515245u + 12345u;
    noise[i] = std::uint8_t(seed >> 16);
  }
  for (const ParameterImage& im : {image, zeros, ones, ramp, noise}) {
    QStringList core;
    for (const listing::Line& l : listing::settingsListing(decode(im))) core << QString::fromStdU32String(l);
    EXPECT_EQ(core, exportEditorSettings(editor, im));
  }
}

TEST(HintReferences, ResolveLabelsRadioItemsAndSurviveAHintThatNamesItself) {
  QWidget window;
  auto* panel = new QWidget(&window);
  auto* a = new QLabel("  Első ", panel);
  a->setObjectName("lbA");
  auto* b = new QLabel("Második", panel);
  b->setObjectName("lbB");
  auto* self = new RadioGroup(QString(), {QString(), QString()}, 2, panel);
  self->setObjectName("rgSelf");
  setHint(self, "rgSelf");
  self->setItemIndex(1);
  auto* box = new QGroupBox(&window);
  auto* hidden = new QLabel("in a box", box);
  hidden->setObjectName("lbHidden");

  SettingsExport e(&window);
  EXPECT_EQ(e.hintReferenceText("lbA+lbB", 0), "Első Második");
  EXPECT_EQ(e.hintReferenceText("lbA, lbB", 1), "Második");
  EXPECT_EQ(e.hintReferenceText("lbA+nothing+lbB", 0), "Első  Második");
  // Names are looked up through panels, not inside group boxes.
  EXPECT_EQ(e.findControlByName("lbHidden"), nullptr);
  EXPECT_EQ(e.findControlByName("lbB"), b);
  EXPECT_EQ(e.controlValueText(self, false), "1");
  EXPECT_EQ(e.controlValueText(self, true), "1 (1 ())");
}

}  // namespace
}  // namespace corvanta
