// The editor's tools: find a setting by accentless text, copy a row onto
// chosen rows (names, codes and SMS texts only when ticked), the list of
// changes since the image was read, and a tooltip on every field and
// column heading.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include "editor_fixture.h"
#include "params/field_catalogue.h"
#include "ui/editor/edit_history.h"
#include "ui/editor/field_controls.h"
#include "ui/editor/find_dialog.h"
#include "ui/widgets/check_list.h"
#include "ui/widgets/column_headers.h"

namespace corvanta {
namespace {

class EditorToolsTest : public EditorTest {
 protected:
  void withValues(const std::function<void(ParameterValues&)>& change) {
    ParameterValues v = decode(image);
    change(v);
    encode(v, image);
  }
  void activate() {
    editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
  }
  std::vector<SearchHit> find(const QString& text) {
    editor.find();
    editor.findDialog()->textField()->setText(text);
    return editor.findDialog()->hits();
  }
};

TEST_F(EditorToolsTest, FindTakesCaptionsAndValuesWithoutAccentsAndCaseAndNeverCodeDigits) {
  image.fill(0);
  withValues([](ParameterValues& v) {
    v.users[0].name = "Kovács P.";
    v.users[1].code = "4321";
    v.zones[4].name = "Garázs";
  });
  open(kTelephone);
  const auto entry = find(QStringLiteral("belepesi"));
  ASSERT_EQ(entry.size(), std::size_t(kZoneCount));
  for (int z = 0; z < kZoneCount; ++z) {
    EXPECT_EQ(entry[std::size_t(z)].page, QStringLiteral("Zónák"));
    EXPECT_EQ(entry[std::size_t(z)].row, QStringLiteral("%1. Zóna").arg(z + 1));
    EXPECT_EQ(entry[std::size_t(z)].caption, QStringLiteral("Belépési késlelt."));
  }
  const auto user = find(QStringLiteral("  KOVACS "));
  ASSERT_EQ(user.size(), 1u);
  EXPECT_EQ(user[0].row, QStringLiteral("1. Felhasználó"));
  EXPECT_EQ(user[0].caption, QStringLiteral("Felhasználó neve"));
  EXPECT_EQ(user[0].value, QStringLiteral("Kovács P."));
  EXPECT_TRUE(find(QStringLiteral("4321")).empty());
  EXPECT_FALSE(find(QStringLiteral("azonosito kodja")).empty());  // a code is found by its caption
  // A box not ticked shows "nem", but is found by its caption alone.
  for (const SearchHit& h : find(QStringLiteral("nem")))
    EXPECT_TRUE(foldedForSearch(h.row + u' ' + h.caption).contains(QStringLiteral("nem"))) << h.caption.toStdString();
  // The list shows page, row and caption.
  find(QStringLiteral("garazs"));
  QTreeWidgetItem* first = editor.findDialog()->hitList()->topLevelItem(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->text(0), QStringLiteral("Zónák"));
  EXPECT_EQ(first->text(1), QStringLiteral("5. Zóna"));
  EXPECT_EQ(first->text(2), QStringLiteral("Zóna neve"));
  // A value typed and not yet stored is found too.
  open(kZones);
  inRow<QLineEdit>(kZones, 7, "edZonaNeve")->setText(QStringLiteral("Előszoba"));
  ASSERT_EQ(find(QStringLiteral("eloszoba")).size(), 1u);
}

TEST_F(EditorToolsTest, EnterOrAClickOnAHitOpensItsPageScrollsItsRowInAndFocusesIt) {
  image.fill(0);
  open(kKeypad);
  activate();
  const auto hits = find(QStringLiteral("akku hianyz"));
  ASSERT_FALSE(hits.empty());
  EXPECT_EQ(hits[0].at.page, kEventsPage);
  EXPECT_EQ(hits[0].at.record, 35);
  QTest::keyClick(editor.findDialog()->textField(), Qt::Key_Return);
  EXPECT_EQ(editor.pageControl()->currentIndex(), kEventsPage);
  const RowPanel* row = array(kEventsPage)->rowForRecord(35);
  ASSERT_NE(row, nullptr);
  EXPECT_GE(row->geometry().top(), 0);
  EXPECT_LE(row->geometry().bottom(), array(kEventsPage)->scrollArea()->rect().bottom());
  EXPECT_EQ(QApplication::focusWidget(), editor.controlAt(hits[0].at));
  // A click on the relay row of the same event.
  std::size_t relay = 0;
  while (relay < hits.size() && hits[relay].at.page != kRelaysPage) ++relay;
  ASSERT_LT(relay, hits.size());
  QTreeWidget* list = editor.findDialog()->hitList();
  emit list->itemClicked(list->topLevelItem(int(relay)), 0);
  EXPECT_EQ(editor.pageControl()->currentIndex(), kRelaysPage);
  EXPECT_EQ(QApplication::focusWidget(), focusWidgetOf(editor.controlAt(hits[relay].at), hits[relay].at.item));
}

TEST_F(EditorToolsTest, APastedRowTakesTheSettingsButNotTheNameUnlessTickedAndIsOneStep) {
  image.fill(0);
  withValues([](ParameterValues& v) {
    v.zones[0] = {true, false, true, 2, 1, 5, 30, 45, 3, 7, 1, "Bejárat"};
    v.zones[4].name = "Garázs";
  });
  open(kZones);
  int asked = 0;
  int rowsAsked = 0;
  PasteOptions answer;
  editor.setPasteChooser([&](const PasteOptions& offer, int rows) -> std::optional<PasteOptions> {
    ++asked;
    rowsAsked = rows;
    EXPECT_TRUE(offer.names);
    EXPECT_FALSE(offer.codes);
    return answer;
  });
  array(kZones)->clickRecord(0, Qt::NoModifier);
  ASSERT_TRUE(editor.copyRow());
  array(kZones)->clickRecord(3, Qt::NoModifier);
  array(kZones)->clickRecord(5, Qt::ShiftModifier);
  EXPECT_EQ(array(kZones)->selectedRecords(), (std::vector<int>{3, 4, 5}));
  ASSERT_TRUE(editor.pasteRows());
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(rowsAsked, 3);
  EXPECT_EQ(editor.history().count(), 1);
  EXPECT_EQ(editor.undoAction()->text(), QStringLiteral("Visszavonás: Beillesztés: 1. Zóna → 3 sor"));
  for (int z = 3; z <= 5; ++z) {
    EXPECT_EQ(inRow<QSpinBox>(kZones, z, "edZonaBeKesl")->value(), 30) << z;
    EXPECT_TRUE(inRow<QCheckBox>(kZones, z, "cbBypass")->isChecked()) << z;
  }
  EXPECT_EQ(inRow<QLineEdit>(kZones, 4, "edZonaNeve")->text(), QStringLiteral("Garázs"));
  EXPECT_EQ(inRow<QSpinBox>(kZones, 6, "edZonaBeKesl")->value(), 0);

  // Taken back and forth from another page, as a whole.
  switchTo(kRemotes);
  editor.history().undo();
  EXPECT_EQ(editor.pageControl()->currentIndex(), kZones);
  for (int z = 3; z <= 5; ++z) EXPECT_EQ(inRow<QSpinBox>(kZones, z, "edZonaBeKesl")->value(), 0) << z;
  editor.history().redo();
  EXPECT_EQ(inRow<QSpinBox>(kZones, 5, "edZonaKiKesl")->value(), 45);

  // Ticked, the name goes along; called off, nothing is pasted.
  answer.names = true;
  array(kZones)->clickRecord(8, Qt::NoModifier);
  ASSERT_TRUE(editor.pasteRows());
  EXPECT_EQ(inRow<QLineEdit>(kZones, 8, "edZonaNeve")->text(), QStringLiteral("Bejárat"));
  editor.setPasteChooser([](const PasteOptions&, int) { return std::nullopt; });
  array(kZones)->clickRecord(9, Qt::NoModifier);
  EXPECT_FALSE(editor.pasteRows());
  EXPECT_EQ(inRow<QSpinBox>(kZones, 9, "edZonaBeKesl")->value(), 0);
  editor.confirm();
  EXPECT_EQ(image[layout::zoneOffset(5) + layout::kZoneEntryDelayRel], 30);
  EXPECT_EQ(image[layout::zoneOffset(9) + layout::kZoneEntryDelayRel], 0);
}

TEST_F(EditorToolsTest, UserCodesAndSmsTextsAreNotPastedUnlessTickedAndOtherPagesAskNothing) {
  image.fill(0);
  withValues([](ParameterValues& v) {
    v.users[0].name = "Kovács";
    v.users[0].code = "1234";
    v.users[0].rights = {true, true, true, false, true};
    v.users[6].code = "7777";
    v.events[0].sms = "Riasztás: $";
    v.events[0].routes[2] = true;
    v.relayRows[0].triggers = {true, false, false, true, false, false};
    v.remotes[0].buttons = {1, 5, 6, 8};
  });
  PasteOptions answer;
  int asked = 0;
  editor.setPasteChooser([&](const PasteOptions&, int) -> std::optional<PasteOptions> {
    ++asked;
    return answer;
  });
  open(kUsers);
  array(kUsers)->clickRecord(0, Qt::NoModifier);
  editor.copyRow();
  array(kUsers)->clickRecord(6, Qt::NoModifier);
  editor.pasteRows();
  EXPECT_TRUE(inRow<CheckList>(kUsers, 6, "cblUserRights")->isChecked(4));
  EXPECT_EQ(inRow<QLineEdit>(kUsers, 6, "edUserCode")->text(), QStringLiteral("7777"));
  EXPECT_EQ(inRow<QLineEdit>(kUsers, 6, "edUserName")->text(), QString());
  answer.codes = true;
  editor.pasteRows();
  EXPECT_EQ(inRow<QLineEdit>(kUsers, 6, "edUserCode")->text(), QStringLiteral("1234"));
  EXPECT_EQ(inRow<QLineEdit>(kUsers, 6, "edUserName")->text(), QString());

  answer = {};
  switchTo(kEvents);
  array(kEvents)->clickRecord(0, Qt::NoModifier);
  editor.copyRow();
  array(kEvents)->clickRecord(1, Qt::NoModifier);
  editor.pasteRows();
  EXPECT_TRUE(inRow<CheckList>(kEvents, 1, "clbEvents1_4")->isChecked(2));
  EXPECT_EQ(inRow<QLineEdit>(kEvents, 1, "edSMS")->text(), QString());
  EXPECT_EQ(asked, 3);

  // Relay and remote rows carry nothing of their own: no question.
  for (const auto& [page, record] : {std::pair{kRelays, 59}, {kRemotes, 11}}) {
    switchTo(page);
    array(page)->clickRecord(0, Qt::NoModifier);
    editor.copyRow();
    array(page)->ensureRecordVisible(record);
    array(page)->clickRecord(record, Qt::NoModifier);
    EXPECT_TRUE(editor.pasteRows());
  }
  EXPECT_EQ(asked, 3);
  editor.confirm();
  const ParameterValues v = decode(image);
  EXPECT_EQ(v.relayRows[59].triggers, v.relayRows[0].triggers);
  EXPECT_EQ(v.remotes[11].buttons, v.remotes[0].buttons);
  EXPECT_EQ(v.users[6].code, "1234");
  EXPECT_EQ(v.events[1].sms, "");
}

TEST_F(EditorToolsTest, CtrlCAndCtrlVCopyTheFocusedRowOutsideTextFields) {
  image.fill(0);
  withValues([](ParameterValues& v) { v.remotes[2].buttons = {4, 3, 2, 1}; });
  open(kRemotes);
  activate();
  inRow<QComboBox>(kRemotes, 2, "cbRFButtB")->setFocus();
  QTest::keySequence(QApplication::focusWidget(), QKeySequence(Qt::CTRL | Qt::Key_C));
  array(kRemotes)->clickRecord(7, Qt::NoModifier);
  array(kRemotes)->clickRecord(9, Qt::ControlModifier);
  QTest::keySequence(QApplication::focusWidget(), QKeySequence(Qt::CTRL | Qt::Key_V));
  for (int r : {7, 9}) EXPECT_EQ(inRow<QComboBox>(kRemotes, r, "cbRFButtA")->currentIndex(), 4) << r;
  EXPECT_EQ(inRow<QComboBox>(kRemotes, 8, "cbRFButtA")->currentIndex(), 0);  // not chosen, not pasted
  // In a text field the keys copy text, as anywhere.
  switchTo(kZones);
  auto* name = inRow<QLineEdit>(kZones, 0, "edZonaNeve");
  name->setFocus();
  const int steps = editor.history().count();
  QTest::keySequence(name, QKeySequence(Qt::CTRL | Qt::Key_V));
  EXPECT_EQ(editor.history().count(), steps + (name->text().isEmpty() ? 0 : 1));
  EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(EditorToolsTest, TheChangesSinceTheImageWasReadAreListedOnRequest) {
  image.fill(0);
  open(kZones);
  EXPECT_TRUE(editor.changesSinceOrigin().startsWith(QStringLiteral("Ebben a futásban a kép nem")));
  editor.discard();
  editor.setOrigin(image, QStringLiteral("a modulból beolvasott kép"));
  open(kZones);
  EXPECT_EQ(editor.changesSinceOrigin(), QStringLiteral("Nincs módosítás ehhez képest: a modulból beolvasott kép."));
  inRow<QLineEdit>(kZones, 1, "edZonaNeve")->setText(QStringLiteral("Nappali"));
  switchTo(kUsers);
  inRow<QLineEdit>(kUsers, 3, "edUserCode")->setText(QStringLiteral("5678"));
  const QString list = editor.changesSinceOrigin();
  EXPECT_TRUE(list.startsWith(QStringLiteral("Módosítások ehhez képest: a modulból beolvasott kép.")));
  EXPECT_TRUE(list.contains(QStringLiteral("2. Zóna · Zóna neve: \"\" → \"Nappali\"")));
  EXPECT_TRUE(list.contains(QStringLiteral("4. Felhasználó · Azonosító kódja: ****** → ••••")));
  EXPECT_TRUE(list.contains(QStringLiteral("Összesen 2 mező.")));
  EXPECT_FALSE(list.contains(QStringLiteral("5678")));
  editor.showChanges();
  EXPECT_EQ(messages.texts(), QStringList{list});
}

TEST_F(EditorToolsTest, EveryFieldAndColumnHeadingHasATooltipWithCaptionRangeAndUnit) {
  image.fill(0);
  open(kZones);
  EXPECT_EQ(inRow<QSpinBox>(kZones, 2, "edZonaBeKesl")->toolTip(), QStringLiteral("3. Zóna · Belépési késlelt.\n0–255 másodperc"));
  EXPECT_EQ(onPage<QLabel>(kZones, "rlbEnterDelay")->toolTip(), QStringLiteral("Belépési késlelt.\n0–255 másodperc"));
  EXPECT_EQ(onPage<QLabel>(kZones, "rlbDEOL")->toolTip(), QStringLiteral("Bekötés: DEOL"));
  EXPECT_EQ(onPage<QLabel>(kUsers, "rlbUArm")->toolTip(), QStringLiteral("Élesítés\nbejelölve vagy üresen"));
  for (const fields::Field& f : fields::catalogue().fields) {
    const ControlAddress at = *controlFor(f.path);
    if (editor.pageControl()->currentIndex() != at.page) switchTo(at.page);
    if (at.record >= 0) array(at.page)->ensureRecordVisible(at.record);
    QWidget* control = editor.controlAt(at);
    ASSERT_NE(control, nullptr) << f.path;
    QWidget* shown = at.item >= 0 ? focusWidgetOf(control, at.item) : control;
    EXPECT_TRUE(shown->toolTip().startsWith(QString::fromStdString(f.caption) + u'\n')) << f.path;
  }
  for (int p = 0; p < ParameterEditor::kPageCount; ++p)
    for (const ColumnHeaders* h : editor.page(p)->findChildren<ColumnHeaders*>())
      h->forEachHeading([&](const QString& control, int, const QList<QLabel*>& labels) {
        for (QLabel* l : labels) EXPECT_FALSE(l->toolTip().isEmpty()) << control.toStdString();
      });
}

}  // namespace
}  // namespace corvanta
