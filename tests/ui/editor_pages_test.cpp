#include <map>
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include "editor_fixture.h"
#include "ui/widgets/char_grid.h"
#include "ui/widgets/check_list.h"
#include "ui/widgets/control_hint.h"
#include <QRegularExpression>
#include "ui/editor/on_off_mode_window.h"
#include "ui/widgets/radio_group.h"
#include "params/field_codecs.h"
#include "ui/editor/editor_widgets.h"
#include "ui/editor/users_page.h"

namespace corvanta {
namespace {

using namespace layout;

const QString kCodeMessage = QStringLiteral("A jelszó csak 4 vagy 6 jegyű szám lehet!");

void leave(QWidget* w, Qt::FocusReason reason = Qt::TabFocusReason) {
  QFocusEvent out(QEvent::FocusOut, reason);
  QApplication::sendEvent(w, &out);
}

// --- Users page: the code check ---------------------------------------

TEST_F(EditorTest, LeavingAWrongUserCodeWarnsAndEmptiesIt) {
  image.fill(0);
  open(kUsers);
  auto* code = inRow<QLineEdit>(kUsers, 4, "edUserCode");
  code->setText("12345");
  leave(code);
  EXPECT_EQ(messages.texts(), QStringList{kCodeMessage});
  EXPECT_EQ(code->text(), "");
  // A star inside a code would be stored as no digit in its place.
  code->setText("12*4");
  leave(code);
  EXPECT_EQ(messages.texts().size(), 2);
  EXPECT_EQ(code->text(), "");
  // Still empty: the next leave warns again.
  leave(code);
  EXPECT_EQ(messages.texts().size(), 3);
}

TEST_F(EditorTest, SwitchingPageFromAWrongCodeChecksItBeforeTheRowIsStored) {
  image.fill(0);
  open(kUsers);
  QApplication::setActiveWindow(&editor);
  auto* code = inRow<QLineEdit>(kUsers, 3, "edUserCode");
  code->setFocus();
  if (!code->hasFocus()) GTEST_SKIP() << "no focus offscreen";
  code->setText("12");
  switchTo(kZones);
  EXPECT_EQ(messages.texts(), QStringList{kCodeMessage});
  editor.confirm();
  EXPECT_EQ(text(userOffset(3) + kUserCodeRel, 3), std::string(3, '\0'));
}

TEST_F(EditorTest, NoCodeShowsAsStarsThatPassAndStayThreeZeroBytes) {
  image.fill(0);
  open(kUsers);
  auto* code = inRow<QLineEdit>(kUsers, 0, "edUserCode");
  EXPECT_EQ(code->text(), "******");
  leave(code);
  EXPECT_TRUE(messages.texts().isEmpty());
  editor.confirm();
  EXPECT_EQ(text(userOffset(0) + kUserCodeRel, 3), std::string(3, '\0'));
}

// The module's own code is shown as it is and left alone; the check is for
// what is typed over it.
TEST_F(EditorTest, StoredNibblesThatAreNoDigitShowAsLettersAndAreCheckedOnceTypedOver) {
  image.fill(0);
  image[userOffset(1) + kUserCodeRel] = 0x15;  // nibbles 1 and 5 -> "EA"
  image[userOffset(1) + kUserCodeRel + 1] = 0xFE;
  const ParameterImage before = image;
  open(kUsers);
  auto* code = inRow<QLineEdit>(kUsers, 1, "edUserCode");
  EXPECT_EQ(code->text(), "EA01");
  EXPECT_EQ(outOfFormatNote(code), "A modul a formátumon kívüli értéket tárol: 0x15 0xFE 0x00");
  leave(code);
  EXPECT_TRUE(messages.texts().isEmpty());
  EXPECT_EQ(code->text(), "EA01");
  editor.confirm();
  EXPECT_EQ(image, before);

  open(kUsers);
  code = inRow<QLineEdit>(kUsers, 1, "edUserCode");
  code->setText("EA02");
  leave(code);
  EXPECT_EQ(messages.texts(), QStringList{kCodeMessage});
  EXPECT_EQ(code->text(), "");
}

TEST_F(EditorTest, AWrongInstallerCodeGivesWayToTheLastGoodOneNeverToNoCode) {
  image.fill(0);
  encodeInvertedCode(image, kInstallerCode, "1234");
  open(kUsers);
  auto* master = onPage<QLineEdit>(kUsers, "edMasterCode");
  master->setText("12a4");
  leave(master, Qt::ActiveWindowFocusReason);  // another window: not checked yet
  EXPECT_TRUE(messages.texts().isEmpty());
  EXPECT_EQ(master->text(), "12a4");
  leave(master);
  EXPECT_EQ(messages.texts(), QStringList{kCodeMessage});
  EXPECT_EQ(master->text(), "1234");
  for (const char* bad : {"", "******", "12*4"}) {
    master->setText(bad);
    leave(master);
    EXPECT_EQ(master->text(), "1234") << bad;
  }
  master->setText("654321");
  leave(master);
  master->setText("1");  // confirmed without leaving the field
  editor.confirm();
  EXPECT_EQ(decodeInvertedCode(image, kInstallerCode), "654321");
}

TEST_F(EditorTest, UserRightsItemsMapToTheFlagWordBits) {
  image.fill(0);
  open(kUsers);
  auto* rights = inRow<CheckList>(kUsers, 2, "cblUserRights");
  rights->setChecked(15, true);
  rights->setChecked(0, true);
  editor.confirm();
  EXPECT_EQ(image[userOffset(2) + kUserRightsRel], 0x80);
  EXPECT_EQ(image[userOffset(2) + kUserRightsRel + 1], 0x01);
}

// --- Zones page: values outside the controls' ranges --------------------

TEST_F(EditorTest, ZoneRowsShowOutOfRangeBytesClampedAndKeepThemUntilChanged) {
  image.fill(0);
  const std::size_t z = zoneOffset(2);
  image[z + kZoneInputTypeRel] = 4;
  image[z + kZonePartitionRel] = 9;
  image[z + kZoneSmartTimeRel] = 40;
  image[z + kZoneNightSettingRel] = 4;
  image[z + kZoneSilentRel] = 2;  // only 1 means set
  image[kNightWalkTime] = 0;
  const ParameterImage before = image;
  open(kZones);
  EXPECT_EQ(inRow<RadioGroup>(kZones, 2, "rgZonaBek")->itemIndex(), 3);
  EXPECT_EQ(inRow<RadioGroup>(kZones, 2, "rgZonaPart")->itemIndex(), 3);
  EXPECT_EQ(inRow<QSpinBox>(kZones, 2, "edZonaIntel")->value(), 25);
  EXPECT_EQ(inRow<QComboBox>(kZones, 2, "cbNightSet")->currentIndex(), -1);
  EXPECT_FALSE(inRow<QCheckBox>(kZones, 2, "cbZonaCsendes")->isChecked());
  EXPECT_EQ(onPage<QSpinBox>(kZones, "edNightDelay")->value(), 1);
  // Each says that the module holds something else.
  EXPECT_EQ(outOfFormatNote(inRow<QSpinBox>(kZones, 2, "edZonaIntel")), "A modul a formátumon kívüli értéket tárol: 0x28");
  EXPECT_EQ(outOfFormatNote(inRow<RadioGroup>(kZones, 2, "rgZonaPart")), "A modul a formátumon kívüli értéket tárol: 0x09");
  EXPECT_EQ(outOfFormatNote(onPage<QSpinBox>(kZones, "edNightDelay")), "A modul a formátumon kívüli értéket tárol: 0x00");
  EXPECT_EQ(outOfFormatNote(inRow<QSpinBox>(kZones, 2, "edZonaErz")), "");
  EXPECT_EQ(outOfFormatNote(inRow<QSpinBox>(kZones, 1, "edZonaIntel")), "");
  editor.confirm();
  EXPECT_EQ(image, before);

  // Changed, each is stored by its rule; the one left alone stays.
  open(kZones);
  inRow<RadioGroup>(kZones, 2, "rgZonaBek")->setItemIndex(1);
  inRow<QSpinBox>(kZones, 2, "edZonaIntel")->setValue(24);
  inRow<QComboBox>(kZones, 2, "cbNightSet")->setCurrentIndex(2);
  inRow<QCheckBox>(kZones, 2, "cbZonaCsendes")->setChecked(true);
  onPage<QSpinBox>(kZones, "edNightDelay")->setValue(3);
  editor.confirm();
  EXPECT_EQ(image[z + kZoneInputTypeRel], 1);
  EXPECT_EQ(image[z + kZonePartitionRel], 9);
  EXPECT_EQ(image[z + kZoneSmartTimeRel], 24);
  EXPECT_EQ(image[z + kZoneNightSettingRel], 2);
  EXPECT_EQ(image[z + kZoneSilentRel], 1);
  EXPECT_EQ(image[kNightWalkTime], 3);
}

TEST_F(EditorTest, ZoneNamesTakeTenCharactersAtMost) {
  image.fill(0);
  open(kZones);
  auto* name = inRow<QLineEdit>(kZones, 0, "edZonaNeve");
  name->clear();
  QTest::keyClicks(name, "Hatsokertek");
  EXPECT_EQ(name->text(), "Hatsokerte");
}

TEST_F(EditorTest, NameAndSmsFieldsShowTheirLongestTextOfTheWidestLettersWhole) {
  image.fill(0);
  open(kZones);
  const std::pair<int, const char*> fields[] = {{kZones, "edZonaNeve"}, {kUsers, "edUserName"}, {kEvents, "edSMS"}};
  for (auto [page, name] : fields) {
    switchTo(page);
    auto* field = inRow<QLineEdit>(page, 0, name);
    ASSERT_NE(field, nullptr) << name;
    // Unscrolled, the text starts where a one-letter text does.
    const auto textStart = [field](const QString& text) {
      field->setText(text);
      field->end(false);
      field->grab();  // the line edit scrolls its text as it paints
      return field->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x() -
             field->fontMetrics().horizontalAdvance(text);
    };
    const int start = textStart(QStringLiteral("W"));
    for (const QChar wide : {u'W', u'Ő', u'M'})
      EXPECT_EQ(textStart(QString(field->maxLength(), wide)), start) << name << ' ' << QString(wide).toStdString();
  }
}

TEST_F(EditorTest, ZoneRowCaptionsLineUpTheirFullStops) {
  image.fill(0);
  open(kZones);
  RowPanel* first = array(kZones)->rowForRecord(0);
  RowPanel* last = array(kZones)->rowForRecord(11);
  EXPECT_EQ(first->caption().trimmed(), "1. Zóna");
  EXPECT_EQ(last->caption().trimmed(), "12. Zóna");
  // Same padding on every row: the text right of the number has one width.
  const QFontMetricsF fm(first->font());
  EXPECT_EQ(fm.horizontalAdvance(first->caption().mid(1)), fm.horizontalAdvance(last->caption().mid(2)));
}

// --- Events page -------------------------------------------------------

TEST_F(EditorTest, ContactIdTakesHexDigitsInUpperCase) {
  image.fill(0);
  open(kEvents);
  auto* ctid = inRow<QLineEdit>(kEvents, 0, "meCTID");
  ctid->selectAll();
  QTest::keyClicks(ctid, "13a");
  EXPECT_EQ(ctid->displayText(), "1 3 A");
  editor.confirm();
  EXPECT_EQ(text(eventOffset(0), 3), std::string("\x01\x03\x0A", 3));
}

// --- Telephone page ----------------------------------------------------

TEST_F(EditorTest, TelephoneGridTypingIsStoredAsDigitCharactersAndZeros) {
  image.fill(0xFF);
  open(kTelephone);
  auto* tel = onPage<CharGrid>(kTelephone, "acgTel2");
  tel->setActiveCell(0);
  QTest::keyClicks(tel, "0630");
  auto* account = onPage<CharGrid>(kTelephone, "acgUserAccount");
  account->setActiveCell(0);
  QTest::keyClicks(account, "b");
  editor.confirm();
  EXPECT_EQ(text(phoneOffset(1), 16), std::string("0630") + std::string(12, '\0'));
  EXPECT_EQ(image[kAccount], 11);
}

TEST_F(EditorTest, TestTimeIsATimeOfDayAndAOneDigitHourIsThatHour) {
  image.fill(0);
  image[kTestHour] = 7;
  image[kTestMinute] = 5;
  open(kTelephone);
  auto* time = onPage<QLineEdit>(kTelephone, "meTesztIdopont");
  EXPECT_EQ(time->text(), "07:05");
  editor.confirm();
  EXPECT_EQ(image[kTestHour], 7);
  EXPECT_EQ(image[kTestMinute], 5);

  open(kTelephone);
  time->clear();
  time->setCursorPosition(0);
  QTest::keyClicks(time, "9:45");  // the mask shows "9_:45"
  leave(time);
  EXPECT_EQ(time->text(), "09:45");
  EXPECT_TRUE(messages.texts().isEmpty());
  time->setText("99:99");
  leave(time);
  EXPECT_EQ(messages.texts().size(), 1);
  EXPECT_EQ(time->text(), "09:45");
  editor.confirm();
  EXPECT_EQ(image[kTestHour], 9);
  EXPECT_EQ(image[kTestMinute], 45);
}

TEST_F(EditorTest, TextFieldsRefuseWhatTheModuleCannotStore) {
  image.fill(0);
  open(kZones);
  auto* name = inRow<QLineEdit>(kZones, 0, "edZonaNeve");
  name->clear();
  // Typed one key at a time (QTest only knows ASCII keys).
  for (QChar c : QStringLiteral("Kert\u4e2d\u02D9 \u0151r")) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(name, &key);
  }
  EXPECT_EQ(name->text(), QStringLiteral("Kert \u0151r"));
  EXPECT_EQ(QToolTip::text(), kUnstorableCharacterText);
  editor.confirm();
  EXPECT_EQ(decodePaddedText(image, zoneOffset(0), 10), "Kert őr");
}

TEST_F(EditorTest, ModeButtonShowsTheModeAndTakesThePickedOne) {
  image.fill(0);
  image[kOnOffMode] = 2;
  open(kTelephone);
  auto* mode = onPage<QSpinBox>(kTelephone, "edOnOffMode");
  int shownSelected = -1;
  QTimer::singleShot(0, [&] {
    OnOffModeWindow* w = editor.modeWindow();
    shownSelected = w->selectedMode();
    w->modeGroup()->setItemIndex(3);
    w->findChild<QPushButton*>("btClose")->click();
  });
  onPage<QPushButton>(kTelephone, "btOnOffMode")->click();
  EXPECT_EQ(shownSelected, 2);
  EXPECT_EQ(mode->value(), 3);
  // Closed by its frame: the mode stays.
  QTimer::singleShot(0, [&] {
    editor.modeWindow()->modeGroup()->setItemIndex(0);
    editor.modeWindow()->reject();
  });
  onPage<QPushButton>(kTelephone, "btOnOffMode")->click();
  EXPECT_EQ(mode->value(), 3);
}

// --- Remote control page -----------------------------------------------

TEST_F(EditorTest, RemoteButtonBoxesStoreNibblesAndUnknownTextAsFifteen) {
  image.fill(0);
  image[remoteOffset(5)] = 0xFF;
  image[remoteOffset(5) + 1] = 0xFF;
  open(kRemotes);
  auto* a = inRow<QComboBox>(kRemotes, 0, "cbRFButtA");
  auto* b = inRow<QComboBox>(kRemotes, 0, "cbRFButtB");
  a->setCurrentIndex(a->findText("Kikapcsolás"));
  b->setCurrentIndex(b->findText("Relé2"));
  auto* c = inRow<QComboBox>(kRemotes, 1, "cbRFButtC");
  c->setEditText("Riasztás");
  for (const char* n : {"cbRFButtA", "cbRFButtB", "cbRFButtC", "cbRFButtD"})
    EXPECT_EQ(inRow<QComboBox>(kRemotes, 5, n)->currentText(), "") << n;
  editor.confirm();
  EXPECT_EQ(image[remoteOffset(0)], 0x57);
  EXPECT_EQ(image[remoteOffset(1) + 1], 0xF0);
  EXPECT_EQ(image[remoteOffset(5)], 0xFF);
  EXPECT_EQ(image[remoteOffset(5) + 1], 0xFF);
}

// --- Keypad page -------------------------------------------------------

TEST_F(EditorTest, KeypadFlagsReadAnyNonZeroAndDoorChimeFillsTheFlagWord) {
  image.fill(0);
  image[kKeypadBacklight] = 7;
  image[kKeypadNightArmSilent] = 0xFF;
  open(kKeypad);
  EXPECT_EQ(onPage<RadioGroup>(kKeypad, "rgKEYPAD_LIGHT")->itemIndex(), 4);
  EXPECT_TRUE(onPage<QCheckBox>(kKeypad, "cbKEYPAD_NightArmSilent")->isChecked());
  onPage<CheckList>(kKeypad, "cbINjelez")->setChecked(8, true);
  editor.confirm();
  // Untouched, the module's bytes stay; the chime is stored as checked.
  EXPECT_EQ(image[kKeypadBacklight], 7);
  EXPECT_EQ(image[kKeypadNightArmSilent], 0xFF);
  EXPECT_EQ(image[kDoorChime], 0x01);
  EXPECT_EQ(image[kDoorChime + 1], 0x00);
  open(kKeypad);
  EXPECT_EQ(outOfFormatNote(onPage<QCheckBox>(kKeypad, "cbKEYPAD_NightArmSilent")),
            "A modul a formátumon kívüli értéket tárol: 0xFF");
  onPage<RadioGroup>(kKeypad, "rgKEYPAD_LIGHT")->setItemIndex(1);
  onPage<QCheckBox>(kKeypad, "cbKEYPAD_NightArmSilent")->setChecked(false);
  editor.confirm();
  EXPECT_EQ(image[kKeypadBacklight], 1);
  EXPECT_EQ(image[kKeypadNightArmSilent], 0);
}

TEST_F(EditorTest, BacklightItemsLineUpTheirKeyLightPartsAndKeepTheirTexts) {
  image.fill(0);
  open(kKeypad);
  auto* light = onPage<RadioGroup>(kKeypad, "rgKEYPAD_LIGHT");
  light->grab();  // laid out
  const QList<QLabel*> parts = light->findChildren<QLabel*>();
  ASSERT_EQ(parts.size(), 5);
  for (QLabel* part : parts) {
    EXPECT_EQ(part->x(), parts[0]->x());
    EXPECT_TRUE(part->text().startsWith("-     Gombok megvilágítása")) << part->text().toStdString();
  }
  EXPECT_EQ(light->items()[2].toStdString(),
            "2 -  LCD háttér BE                                      -     Gombok megvilágítása AUTO");
  QTest::mouseClick(parts[3], Qt::LeftButton);
  EXPECT_EQ(light->itemIndex(), 3);
}

// --- What the settings export walks --------------------------------------

TEST_F(EditorTest, RowControlsCarryTheirHeadingNamesAsHints) {
  image.fill(0);
  open(kEvents);
  EXPECT_EQ(hintOf(inRow<CheckList>(kEvents, 0, "clbEvents1_4")), "lbT1, lbT2, lbT3, lbT4");
  EXPECT_EQ(hintOf(inRow<QSpinBox>(kEvents, 0, "edHanguz")), "lbVoice+");
  EXPECT_EQ(hintOf(array(kEvents)->templateRow()), "VPA");
  // Every name a hint refers to exists on its page.
  for (int p = 0; p < ParameterEditor::kPageCount; ++p) {
    switchTo(p);
    for (QWidget* w : editor.page(p)->findChildren<QWidget*>()) {
      const QStringList names = hintOf(w).split(QRegularExpression("[ +,]"), Qt::SkipEmptyParts);
      for (const QString& n : names)
        if (n != "VPA") {
          EXPECT_NE(editor.findChild<QWidget*>(n), nullptr) << n.toStdString();
        }
    }
  }
}

}  // namespace
}  // namespace corvanta

namespace corvanta {
namespace {

QRect inPage(QWidget* w, QWidget* page) { return QRect(w->mapTo(page, QPoint(0, 0)), w->size()); }

TEST_F(EditorTest, HeadingsStandOverTheColumnsTheyName) {
  image.fill(0);
  open(kZones);
  QWidget* page = editor.page(kZones);
  auto* group = inRow<RadioGroup>(kZones, 0, "rgZonaBek");
  const auto buttons = group->findChildren<QAbstractButton*>();
  ASSERT_EQ(buttons.size(), 4);
  const char* headings[] = {"rlbShortAct", "rlbOpenAct", "rlbDEOL", "rlbRadioDevice"};
  for (int i = 0; i < 4; ++i) {
    const QRect label = inPage(onPage<QWidget>(kZones, headings[i]), page);
    const QRect button = inPage(buttons[i], page);
    EXPECT_GE(label.center().x(), button.left()) << headings[i];
    EXPECT_LE(label.center().x(), button.right()) << headings[i];
    EXPECT_LE(label.bottom(), button.top()) << headings[i];
  }
  const QRect name = inPage(onPage<QWidget>(kZones, "rlbZoneName"), page);
  EXPECT_EQ(name.left(), inPage(inRow<QWidget>(kZones, 0, "edZonaNeve"), page).left());
}

TEST_F(EditorTest, ClickingACheckInARowParksTheFocusOnThePagePanel) {
  image.fill(0);
  open(kUsers);
  QApplication::setActiveWindow(&editor);
  auto* name = inRow<QLineEdit>(kUsers, 0, "edUserName");
  name->setFocus();
  auto* rights = inRow<CheckList>(kUsers, 0, "cblUserRights");
  rights->findChildren<QCheckBox*>().at(3)->click();
  EXPECT_TRUE(rights->isChecked(3));
  EXPECT_EQ(rights->highlightedItem(), -1);
  if (QApplication::focusWidget()) {  // offscreen windows may hold no focus at all
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "FoPanel2");
  }
}

}  // namespace
}  // namespace corvanta

namespace corvanta {
namespace {

// The settings export walks a panel's children by left edge, then top, into
// plain panels, past labels; a panel array and any other control is one
// stop. The names met that way must come in the written order.
QString walkOrder(const QWidget* w, bool copy = false) {
  QList<QWidget*> children;
  for (QObject* o : w->children())
    if (o->isWidgetType() && !static_cast<QWidget*>(o)->isWindow()) children << static_cast<QWidget*>(o);
  std::stable_sort(children.begin(), children.end(), [](QWidget* a, QWidget* b) {
    return a->x() != b->x() ? a->x() < b->x() : a->y() < b->y();
  });
  QStringList names;
  for (QWidget* c : children) {
    if (qobject_cast<QLabel*>(c)) continue;
    const QMetaObject* m = c->metaObject();
    if (m == &QWidget::staticMetaObject || m == &QFrame::staticMetaObject) {
      if (const QString inner = walkOrder(c, copy); !inner.isEmpty()) names << inner;
    } else {
      names << (copy ? templateName(c->objectName()) : c->objectName());
    }
  }
  return names.join(u' ');
}

TEST_F(EditorTest, AWalkByPositionMeetsEveryPagesControlsInWrittenOrder) {
  const QStringList pages[ParameterEditor::kPageCount] = {
      {"VPA_ZonaPanel", "edNightDelay"},
      {"VPA_FelhPanel", "edMasterCode"},
      {"VPA_EsemenyPanel"},
      {"VPA_RelePanel", "edREL1delay", "edREL1time", "edREL2delay", "edREL2time", "edREL3delay", "edREL3time"},
      {"acgTel1",      "acgTel2",      "acgTel3",        "acgTel4",     "acgTelCentr1",    "acgTelCentr2",
       "acgUserAccount", "acgSMSFW",   "cbACK1",         "cbACK2",      "cbACK3",          "cbACK4",
       "cbOUT1mode",   "edOUT1delay",  "edOUT1time",     "cbOUT2mode",  "edOUT2delay",     "edOUT2time",
       "cbSabotageSiren", "meTesztIdopont", "edTesztGyak", "edOnOffMode", "btOnOffMode",  "edAlarmMax",
       "edZoneAlarmMax", "edAutoArm"},
      {"VPA_TavKezPanel"},
      {"rgKEYPAD_LIGHT", "cbKEYPAD_NightArmSilent", "cb_KEYPAD_AlarmBeep", "cb_KEYPAD_QuickArm",
       "cb_ZoneView_Enabled", "GroupKapuCseng"}};
  const std::map<int, QStringList> rows = {
      {kZones,
       {"cbBypass", "cbZonaCsendes", "cbKoveto", "rgZonaBek", "rgZonaPart", "edZonaErz", "edZonaBeKesl",
        "edZonaKiKesl", "edZonaIntel", "edZonaCover", "cbNightSet", "edZonaNeve"}},
      {kUsers, {"cblUserRights", "edUserName", "edUserCode"}},
      {kEvents, {"meCTID", "clbEvents1_4", "clbEvents5_8", "clbEvents9", "edSMS", "edHanguz"}},
      {kRelays, {"cblR12", "cblR34", "cblR56"}},
      {kRemotes, {"cbRFButtA", "cbRFButtB", "cbRFButtC", "cbRFButtD"}}};
  image.fill(0);
  open(kZones);
  for (int p = 0; p < ParameterEditor::kPageCount; ++p) {
    switchTo(p);
    EXPECT_EQ(walkOrder(editor.page(p)), pages[p].join(u' ')) << "page " << p;
  }
  for (const auto& [p, names] : rows) {
    std::unique_ptr<RowPanel> copy(array(p)->cloneTemplate(nullptr));
    copy->layout()->activate();
    EXPECT_EQ(walkOrder(copy.get(), true), names.join(u' ')) << "rows of page " << p;
  }
}

}  // namespace
}  // namespace corvanta
