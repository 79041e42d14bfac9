#include <random>

#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "editor_fixture.h"
#include "params/field_codecs.h"
#include "params/image_diff.h"
#include "ui/widgets/check_list.h"
#include "ui/editor/telephone_page.h"

namespace corvanta {
namespace {

using namespace layout;

ParameterImage noiseImage(unsigned seed) {
  std::mt19937 gen(seed);
  ParameterImage image;
  for (auto& b : image) b = static_cast<std::uint8_t>(gen());
  return image;
}

TEST_F(EditorTest, ConfirmWithoutEditsChangesNoByteOfAnyImage) {
  for (unsigned seed : {1u, 2u, 3u}) {
    image = noiseImage(seed);
    const ParameterImage expected = image;
    // Visit every page so that every row and control is built and stored.
    open(kZones);
    for (int p = 1; p < ParameterEditor::kPageCount; ++p) switchTo(p);
    editor.confirm();
    EXPECT_EQ(image, expected) << "seed " << seed;
  }
}

// Found on a module full of bytes outside the format: one changed zone name
// rewrote some 160 fields in their clamped form.
TEST_F(EditorTest, ConfirmAfterOneEditChangesThatFieldAloneWhateverTheRestHolds) {
  image = noiseImage(4);
  const ParameterImage before = image;
  open(kZones);
  inRow<QLineEdit>(kZones, 3, "edZonaNeve")->setText(QStringLiteral("Garázs"));
  for (int p = 1; p < ParameterEditor::kPageCount; ++p) switchTo(p);
  editor.confirm();
  const ImageDiff d = diff(before, image);
  ASSERT_EQ(d.changes.size(), 1u);
  EXPECT_EQ(d.changes[0].field->path, "zones[3].name");
  EXPECT_EQ(d.changes[0].after, "Garázs");
  EXPECT_EQ(d.otherBytes, 0);
}

TEST_F(EditorTest, ControlsOfValuesOutsideTheFormatSaySoAsTheirRowsAreRefilled) {
  image.fill(0);
  encodeInvertedCode(image, kInstallerCode, "1234");
  image[eventOffset(0) + kEventVoiceRel] = 200;
  image[kTestHour] = 0xFF;
  image[kTestMinute] = 0xFF;
  const ParameterImage before = image;
  open(kEvents);
  const QString voice200 = QStringLiteral("A modul a formátumon kívüli értéket tárol: 0xC8");
  EXPECT_EQ(outOfFormatNote(inRow<QSpinBox>(kEvents, 0, "edHanguz")), voice200);
  EXPECT_EQ(outOfFormatNote(inRow<QSpinBox>(kEvents, 1, "edHanguz")), "");
  // The copies are reused for other events as the list scrolls: none of them
  // keeps the mark of event 1.
  array(kEvents)->verticalBar()->setValue(array(kEvents)->verticalBar()->maximum());
  for (int e = 33; e < kEventCount; ++e) {
    if (RowPanel* row = array(kEvents)->rowForRecord(e)) {
      EXPECT_EQ(outOfFormatNote(findInRow<QSpinBox>(row, "edHanguz")), "") << e;
    }
  }
  array(kEvents)->verticalBar()->setValue(0);
  EXPECT_EQ(outOfFormatNote(inRow<QSpinBox>(kEvents, 0, "edHanguz")), voice200);

  // An erased test time shows as 99:99, and leaving it is no error.
  switchTo(kTelephone);
  auto* time = onPage<QLineEdit>(kTelephone, "meTesztIdopont");
  EXPECT_EQ(time->text(), "99:99");
  EXPECT_EQ(outOfFormatNote(time), "A modul a formátumon kívüli értéket tárol: 0xFF 0xFF");
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(time, &out);
  EXPECT_TRUE(messages.texts().isEmpty());
  editor.confirm();
  EXPECT_EQ(image, before);

  // A new image clears the marks.
  image.fill(0);
  encodeInvertedCode(image, kInstallerCode, "1234");
  open(kTelephone);
  EXPECT_EQ(outOfFormatNote(onPage<QLineEdit>(kTelephone, "meTesztIdopont")), "");
}

TEST_F(EditorTest, ConfirmOfAnUntouchedReadableImageChangesNoByte) {
  image.fill(0);
  ParameterValues v = decode(image);
  v.zones[3].name = "Garázs";
  v.users[0].code = "1234";
  v.events[46].sms = "Utolsó esemény";
  v.remotes[11].buttons = {1, 2, 3, 4};
  encode(v, image);
  const ParameterImage before = image;
  open(kEvents);
  array(kEvents)->verticalBar()->setValue(array(kEvents)->verticalBar()->maximum());
  editor.confirm();
  EXPECT_EQ(image, before);
}

TEST_F(EditorTest, DiscardKeepsTheImageAndTheNextOpeningShowsItsValues) {
  image.fill(0);
  open(kZones);
  inRow<QLineEdit>(kZones, 0, "edZonaNeve")->setText("Változott");
  const ParameterImage before = image;
  editor.discard();
  EXPECT_EQ(image, before);
  open(kZones);
  EXPECT_EQ(inRow<QLineEdit>(kZones, 0, "edZonaNeve")->text(), "");
}

TEST_F(EditorTest, ConfirmStoresTheVisibleRowsOfTheActivePage) {
  image.fill(0);
  open(kEvents);
  inRow<QLineEdit>(kEvents, 2, "edSMS")->setText("Riasztás");
  editor.confirm();
  EXPECT_EQ(text(eventOffset(2) + kEventSmsRel, 20), "Riaszt\xE1s            ");
}

TEST_F(EditorTest, TypedValuesSurvivePageSwitchesAndScrolling) {
  image.fill(0);
  open(kZones);
  inRow<QLineEdit>(kZones, 11, "edZonaNeve")->setText("Pince");
  switchTo(kUsers);
  EXPECT_FALSE(array(kZones)->hasRows());
  switchTo(kZones);
  EXPECT_EQ(inRow<QLineEdit>(kZones, 11, "edZonaNeve")->text(), "Pince");

  switchTo(kRelays);
  PanelArray* relays = array(kRelays);
  EXPECT_LT(relays->builtRowCount(), kRelayRowCount);
  findInRow<CheckList>(relays->rowForRecord(0), "cblR34")->setChecked(1, true);
  relays->verticalBar()->setValue(relays->verticalBar()->maximum());
  findInRow<CheckList>(relays->rowForRecord(59), "cblR56")->setChecked(0, true);
  relays->verticalBar()->setValue(0);
  editor.confirm();
  EXPECT_EQ(image[relayOffset(1) + kRelayOffRel], 0x01);          // R2 off, row 0
  EXPECT_EQ(image[relayOffset(2) + kRelayOnRel + 7], 0x08);       // R3 on, row 59
  EXPECT_EQ(text(zoneOffset(11), 10), "Pince     ");
}

TEST_F(EditorTest, ReopeningAfterANewImageShowsItOnTheActivePage) {
  image.fill(0);
  open(kZones);
  editor.hide();  // closed by the frame: rows stay built
  ParameterValues v = decode(image);
  v.zones[0].name = "Új";
  encode(v, image);
  open(kZones);
  EXPECT_EQ(inRow<QLineEdit>(kZones, 0, "edZonaNeve")->text(), "Új");
}

TEST_F(EditorTest, ReactivatingTheWindowKeepsWhatIsBeingTyped) {
  image.fill(0);
  open(kZones);
  inRow<QLineEdit>(kZones, 0, "edZonaNeve")->setText("Gépelés");
  QApplication::setActiveWindow(&editor);
  QEvent activation(QEvent::ActivationChange);
  QApplication::sendEvent(&editor, &activation);
  EXPECT_EQ(inRow<QLineEdit>(kZones, 0, "edZonaNeve")->text(), "Gépelés");
}

TEST_F(EditorTest, EveryRowPageBuildsWithoutTheLoadingIndicatorWhenFast) {
  image.fill(0);
  qint64 now = 0;
  editor.setClock([&now] { return now; });
  int shows = 0;
  struct ShowCounter : QObject {
    int* n;
    explicit ShowCounter(int* c) : n(c) {}
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Show) ++*n;
      return false;
    }
  } counter(&shows);
  editor.loadingPanel()->installEventFilter(&counter);
  open(kZones);
  for (int p = 1; p < ParameterEditor::kPageCount; ++p) switchTo(p);
  EXPECT_EQ(shows, 0);
  // A build that runs past half a second shows it, and hides it at the end.
  editor.setClock([&now] { return now += 200; });
  switchTo(kEvents);
  EXPECT_GT(shows, 0);
  EXPECT_FALSE(editor.loadingPanel()->isVisible());
}

TEST_F(EditorTest, RowsRebuiltLaterByAResizeNeverLeaveTheLoadingIndicatorUp) {
  image.fill(0);
  qint64 now = 0;
  editor.setClock([&now] { return now; });
  open(kEvents);
  now += 2000;  // long after the page was built
  PanelArray* events = array(kEvents);
  const int before = events->builtRowCount();
  events->resize(events->width(), events->height() + 4 * events->rowPitch());
  ASSERT_GT(events->builtRowCount(), before);
  EXPECT_FALSE(editor.loadingPanel()->isVisible());
}

TEST_F(EditorTest, TheSecondOpeningStartsOnThePageLeftActive) {
  image.fill(0);
  EXPECT_EQ(editor.pageControl()->currentIndex(), ParameterEditor::kFirstPage);
  open(kUsers);
  editor.discard();
  editor.present(image);
  EXPECT_EQ(editor.pageControl()->currentIndex(), kUsers);
  EXPECT_TRUE(array(kUsers)->hasRows());
}

TEST_F(EditorTest, ExportPreparationFillsTheControlsWithoutShowing) {
  image.fill(0);
  ParameterValues v = decode(image);
  v.nightWalkTime = 9;
  v.zones[4].name = "Kert";
  encode(v, image);
  editor.prepareForExport(image);
  EXPECT_FALSE(editor.isVisible());
  EXPECT_EQ(onPage<QSpinBox>(kZones, "edNightDelay")->value(), 9);
  PanelArray* zones = array(kZones);
  RowPanel* copy = zones->cloneTemplate(nullptr);
  zones->fillCopy(copy, 4);
  EXPECT_EQ(findInRow<QLineEdit>(copy, "edZonaNeve")->text(), "Kert");
  EXPECT_EQ(copy->caption().trimmed(), "5. Zóna");
  delete copy;
}

}  // namespace
}  // namespace corvanta

namespace corvanta {
namespace {

TEST_F(EditorTest, EnterInAFieldConfirmsTheEditorAndPressesNoOtherButton) {
  int modeWindowOpenings = 0;
  static_cast<TelephonePage*>(editor.page(kTelephone))->setModeChooser([&](int mode) {
    ++modeWindowOpenings;
    return mode;
  });
  open(kTelephone);
  editor.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
  for (auto* b : editor.findChildren<QPushButton*>())
    EXPECT_EQ(b->isDefault(), b->objectName() == "btSettingOK") << b->objectName().toStdString();
  auto* alarmMax = onPage<QSpinBox>(kTelephone, "edAlarmMax");
  alarmMax->setFocus();
  alarmMax->setValue(7);
  QTest::keyClick(alarmMax, Qt::Key_Return);
  EXPECT_EQ(modeWindowOpenings, 0);
  EXPECT_EQ(editor.result(), QDialog::Accepted);
  EXPECT_EQ(image[layout::kAlarmMaxTime], 7);
}

TEST_F(EditorTest, TabReachesEveryEventRowFromTheFirstOne) {
  open(kEvents);
  editor.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
  PanelArray* events = array(kEvents);
  ASSERT_TRUE(events->focusField(0, 0));
  // Contact-ID code, T1..T4, S1..S4, the central station, SMS text, voice
  // message: every control of the row.
  const int fields = 12;
  for (int step = 1; step < kEventCount * fields; ++step) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(events->focusedField(), std::make_pair(kEventCount - 1, fields - 1));
  EXPECT_NE(inRow<QSpinBox>(kEvents, kEventCount - 1, "edHanguz"), nullptr);
}

}  // namespace
}  // namespace corvanta
