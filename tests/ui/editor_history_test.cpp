// The editor's undo history: every kind of control on every page is one
// step, taken back and forth across page switches with the page shown, the
// row in view and the control focused; an editing round ends with confirm
// or discard, and Escape asks before it throws changes away.

#include <functional>
#include <set>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "editor_fixture.h"
#include "params/field_catalogue.h"
#include "ui/editor/edit_history.h"
#include "ui/editor/field_controls.h"
#include "ui/widgets/char_grid.h"
#include "ui/widgets/check_list.h"
#include "ui/widgets/radio_group.h"
#include "ui/widgets/row_cloning.h"
#include <QTabBar>

namespace corvanta {
namespace {

struct Change {
  ControlAddress at;
  std::function<void(QWidget* control)> make;
};

void click(QWidget* w) { static_cast<QAbstractButton*>(w)->click(); }

// Keys as a keyboard sends them, letters with accents included (which
// QTest::keyClicks takes for ASCII alone).
void typeKeys(QWidget* w, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, c.isLetterOrNumber() && c.unicode() < 128 ? int(c.toUpper().unicode()) : 0,
                    Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, press.key(), Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &release);
  }
}

// One change of each kind of control of each page, as a user makes it.
std::vector<Change> everyKindOfChange() {
  using C = ControlAddress;
  const auto item = [](int i) {
    return [i](QWidget* w) {
      if (auto* list = qobject_cast<CheckList*>(w)) list->itemBox(i)->click();
      if (auto* group = qobject_cast<RadioGroup*>(w)) group->button(i)->click();
    };
  };
  const auto spin = [](int v) { return [v](QWidget* w) { static_cast<QSpinBox*>(w)->setValue(v); }; };
  const auto pick = [](int i) { return [i](QWidget* w) { static_cast<QComboBox*>(w)->setCurrentIndex(i); }; };
  const auto type = [](const char* text) {
    return [text](QWidget* w) {
      auto* edit = static_cast<QLineEdit*>(w);
      edit->selectAll();
      typeKeys(edit, QString::fromUtf8(text));
    };
  };
  return {
      {C{kZonesPage, 3, "cbBypass"}, click},
      {C{kZonesPage, 2, "rgZonaBek"}, item(2)},
      {C{kZonesPage, 5, "edZonaBeKesl"}, spin(45)},
      {C{kZonesPage, 1, "cbNightSet"}, pick(2)},
      {C{kZonesPage, 11, "edZonaNeve"}, type("Garázs")},
      {C{kZonesPage, -1, "edNightDelay"}, spin(9)},
      {C{kUsersPage, 7, "cblUserRights", 5}, item(5)},
      {C{kUsersPage, 0, "edUserName"}, type("Kovács P.")},
      {C{kUsersPage, 2, "edUserCode"}, type("4321")},
      {C{kUsersPage, -1, "edMasterCode"}, type("987654")},
      {C{kEventsPage, 40, "meCTID"}, [](QWidget* w) { static_cast<QLineEdit*>(w)->setText("1 3 A"); }},
      {C{kEventsPage, 30, "clbEvents1_4", 2}, item(2)},
      {C{kEventsPage, 46, "clbEvents9"}, click},
      {C{kEventsPage, 20, "edSMS"}, type("Riasztás: $")},
      {C{kEventsPage, 45, "edHanguz"}, spin(7)},
      {C{kRelaysPage, 59, "cblR34", 1}, item(1)},
      {C{kRelaysPage, -1, "edREL2time"}, spin(120)},
      {C{kTelephonePage, -1, "acgTel2"}, [](QWidget* w) { QTest::keyClicks(w, "06301234567"); }},
      {C{kTelephonePage, -1, "cbACK3"}, pick(1)},
      {C{kTelephonePage, -1, "edOUT2delay"}, spin(30)},
      {C{kTelephonePage, -1, "cbSabotageSiren"}, click},
      {C{kTelephonePage, -1, "meTesztIdopont"}, [](QWidget* w) { static_cast<QLineEdit*>(w)->setText("07:05"); }},
      {C{kTelephonePage, -1, "acgUserAccount"}, [](QWidget* w) { QTest::keyClicks(w, "12AF"); }},
      {C{kRemotesPage, 11, "cbRFButtC"}, pick(5)},
      {C{kRemotesPage, 4, "cbRFButtA"}, [](QWidget* w) { static_cast<QComboBox*>(w)->setEditText("Relé"); }},
      {C{kKeypadPage, -1, "rgKEYPAD_LIGHT"}, item(3)},
      {C{kKeypadPage, -1, "cb_KEYPAD_QuickArm"}, click},
      {C{kKeypadPage, -1, "cbINjelez", 9}, item(9)},
  };
}

class EditorHistoryTest : public EditorTest {
 protected:
  // The addressed control as the editor shows it now, its row scrolled in.
  QWidget* control(const ControlAddress& a) {
    if (a.record >= 0) array(a.page)->ensureRecordVisible(a.record);
    QWidget* w = editor.controlAt(a);
    EXPECT_NE(w, nullptr) << a.control.toStdString() << " " << a.record;
    return w;
  }
  QVariant value(const ControlAddress& a) { return controlValue(control(a), a.item); }
  void press(const QKeySequence& keys) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &editor;
    QTest::keySequence(target, keys);
  }
  void activate() {
    editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
  }
};

TEST_F(EditorHistoryTest, EachKindOfControlOnEveryPageIsOneStepTakenBackAndForthFromAnotherPage) {
  image.fill(0);
  for (const Change& c : everyKindOfChange()) {
    SCOPED_TRACE(c.at.control.toStdString() + " of record " + std::to_string(c.at.record));
    open(c.at.page);
    activate();
    ASSERT_EQ(editor.history().count(), 0);
    QWidget* w = control(c.at);
    ASSERT_NE(w, nullptr);
    const QVariant before = value(c.at);
    c.make(w);
    const QVariant after = value(c.at);
    ASSERT_NE(after, before);
    ASSERT_EQ(editor.history().count(), 1);
    const fields::Field* field = fields::fieldAt(fieldPathAt(c.at));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(editor.undoAction()->text().replace("&&", "&"),
              QStringLiteral("Visszavonás: ") + QString::fromStdString(field->caption));
    EXPECT_TRUE(editor.holdsChanges());

    // From another page, and with its row scrolled away.
    const int elsewhere = c.at.page == kEventsPage ? kZonesPage : kEventsPage;
    switchTo(elsewhere);
    if (c.at.page == kEventsPage || c.at.page == kRelaysPage) {
      switchTo(c.at.page);
      array(c.at.page)->verticalBar()->setValue(c.at.record < 20 ? array(c.at.page)->verticalBar()->maximum() : 0);
      switchTo(elsewhere);
    }
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(editor.pageControl()->currentIndex(), c.at.page);
    EXPECT_EQ(value(c.at), before);
    if (c.at.record >= 0) {
      const RowPanel* row = array(c.at.page)->rowForRecord(c.at.record);
      ASSERT_NE(row, nullptr);
      EXPECT_GE(row->geometry().top(), 0);
      EXPECT_LE(row->geometry().bottom(), array(c.at.page)->scrollArea()->rect().bottom());
    }
    EXPECT_EQ(QApplication::focusWidget(), focusWidgetOf(control(c.at), c.at.item));
    EXPECT_FALSE(editor.holdsChanges());
    EXPECT_EQ(editor.redoAction()->text().replace("&&", "&"),
              QStringLiteral("Újra: ") + QString::fromStdString(field->caption));

    switchTo(elsewhere);
    press(QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(editor.pageControl()->currentIndex(), c.at.page);
    EXPECT_EQ(value(c.at), after);
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(value(c.at), after);
    EXPECT_EQ(editor.history().count(), 1);
    editor.discard();
  }
}

TEST_F(EditorHistoryTest, KeysTypedIntoOneFieldAreOneStepUntilTheFocusMovesOn) {
  image.fill(0);
  open(kZones);
  activate();
  auto* name = inRow<QLineEdit>(kZones, 0, "edZonaNeve");
  name->setFocus();
  typeKeys(name, QStringLiteral("Bejárat"));
  EXPECT_EQ(editor.history().count(), 1);
  auto* other = inRow<QLineEdit>(kZones, 1, "edZonaNeve");
  other->setFocus();
  typeKeys(other, QStringLiteral("Előszoba"));
  name->setFocus();
  QTest::keyClicks(name, " 2");
  EXPECT_EQ(editor.history().count(), 3);
  // Ctrl+Z in the field takes back the editor's step, the whole of it.
  QTest::keySequence(name, QKeySequence(Qt::CTRL | Qt::Key_Z));
  EXPECT_EQ(name->text(), "Bejárat");
  QTest::keySequence(QApplication::focusWidget(), QKeySequence(Qt::CTRL | Qt::Key_Z));
  EXPECT_EQ(other->text(), "");
  // Typed back to what it was, a run leaves no step.
  other->setFocus();
  QTest::keyClicks(other, "x");
  QTest::keyClick(other, Qt::Key_Backspace);
  EXPECT_EQ(editor.history().count(), 1);
  EXPECT_FALSE(editor.history().canRedo());
}

TEST_F(EditorHistoryTest, ConfirmWritesWhatTheHistoryLeftAndTheNextRoundStartsEmpty) {
  image.fill(0);
  open(kZones);
  inRow<QSpinBox>(kZones, 0, "edZonaBeKesl")->setValue(30);
  inRow<QSpinBox>(kZones, 0, "edZonaKiKesl")->setValue(40);
  editor.history().undo();
  editor.confirm();
  EXPECT_EQ(image[layout::zoneOffset(0) + layout::kZoneEntryDelayRel], 30);
  EXPECT_EQ(image[layout::zoneOffset(0) + layout::kZoneExitDelayRel], 0);
  open(kZones);
  EXPECT_EQ(editor.history().count(), 0);
  EXPECT_FALSE(editor.undoAction()->isEnabled());
  // A discarded round's steps are gone as well.
  inRow<QSpinBox>(kZones, 0, "edZonaKiKesl")->setValue(40);
  editor.discard();
  open(kZones);
  EXPECT_EQ(editor.history().count(), 0);
  EXPECT_EQ(inRow<QSpinBox>(kZones, 0, "edZonaKiKesl")->value(), 0);
}

TEST_F(EditorHistoryTest, EscapeAsksBeforeItThrowsChangesAwayAndNeverWhenThereAreNone) {
  image.fill(0);
  open(kUsers);
  activate();
  QTest::keyClick(&editor, Qt::Key_Escape);
  EXPECT_TRUE(messages.questions.isEmpty());
  EXPECT_FALSE(editor.isVisible());

  open(kUsers);
  activate();
  inRow<QLineEdit>(kUsers, 3, "edUserName")->setText("Nagy");
  messages.answerYes = false;
  QTest::keyClick(&editor, Qt::Key_Escape);
  EXPECT_EQ(messages.questions, QStringList{QString::fromUtf8(ParameterEditor::kDiscardQuestion)});
  EXPECT_TRUE(editor.isVisible());
  // The frame's close button asks the same.
  editor.close();
  EXPECT_EQ(messages.questions.size(), 2);
  EXPECT_TRUE(editor.isVisible());
  messages.answerYes = true;
  editor.close();
  EXPECT_FALSE(editor.isVisible());
  EXPECT_EQ(image, ParameterImage{});
}

TEST_F(EditorHistoryTest, CtrlTabAndCtrlShiftTabChangePagesFromAnyField) {
  open(kZones);
  activate();
  inRow<QLineEdit>(kZones, 4, "edZonaNeve")->setFocus();
  press(QKeySequence(Qt::CTRL | Qt::Key_Tab));
  EXPECT_EQ(editor.pageControl()->currentIndex(), kUsersPage);
  press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab));
  press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab));
  EXPECT_EQ(editor.pageControl()->currentIndex(), kKeypadPage);
}

// What the focus is on, as the field it shows: a check list's box or a radio
// group's option stands for the list's item or the group.
ControlAddress focusedControl(ParameterEditor& editor, int page) {
  QWidget* f = QApplication::focusWidget();
  if (!f || !editor.page(page)->isAncestorOf(f)) return {};
  ControlAddress a{page, -1, f->objectName(), -1};
  QWidget* parent = f->parentWidget();
  if (auto* list = qobject_cast<CheckList*>(parent)) {
    for (int i = 0; i < list->count(); ++i)
      if (list->itemBox(i) == f) a.item = i;
    a.control = list->objectName();
  } else if (qobject_cast<RadioGroup*>(parent)) {
    a.control = parent->objectName();
  }
  if (PanelArray* array = editor.page(page)->panelArray()) {
    a.record = array->recordOf(f);
    if (a.record >= 0) a.control = templateName(a.control);
  }
  return a;
}

TEST_F(EditorHistoryTest, TabAndShiftTabReachEveryControlOfEveryRowOfEveryPageInReadingOrderInView) {
  for (int page = 0; page < ParameterEditor::kPageCount; ++page) {
    SCOPED_TRACE("page " + std::to_string(page));
    open(page);
    activate();
    std::set<std::string> expected;
    for (const fields::Field& f : fields::catalogue().fields)
      if (controlFor(f.path)->page == page) expected.insert(f.path);

    editor.pageControl()->tabBar()->setFocus(Qt::TabFocusReason);
    std::vector<std::string> walked;
    std::vector<std::pair<ControlAddress, int>> stops;  // with the option of a group
    QPoint last(-1, -1);
    int lastRecord = -1;
    for (int step = 0; step < 2000; ++step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      const ControlAddress a = focusedControl(editor, page);
      if (a.control.isEmpty()) break;  // past the page, on the buttons below
      QWidget* f = QApplication::focusWidget();
      stops.emplace_back(a, f->parentWidget()->children().indexOf(f));
      ASSERT_TRUE(f->isVisible()) << a.control.toStdString();
      const std::string path = fieldPathAt(a);
      if (path.empty()) {  // a button of the page ("Módosítás")
        ASSERT_NE(qobject_cast<QPushButton*>(f), nullptr) << a.control.toStdString() << " " << a.record;
        continue;
      }
      if (walked.empty() || walked.back() != path) walked.push_back(path);  // a group's options: one field
      if (a.record < 0 && array(page)) {
        // A control beside or below the rows comes after them, one above before.
        const bool below = f->mapTo(editor.page(page), QPoint(0, 0)).y() >=
                           array(page)->mapTo(editor.page(page), QPoint(0, 0)).y();
        EXPECT_EQ(below, lastRecord >= 0) << path;
      }
      if (a.record >= 0) {
        // Rows in record order, each left to right, the control in view.
        PanelArray* rows = array(page);
        const QRect shown(f->mapTo(rows->scrollArea(), QPoint(0, 0)), f->size());
        EXPECT_TRUE(rows->scrollArea()->rect().contains(shown)) << path;
        const QPoint at = f->mapTo(rows->rowForRecord(a.record), QPoint(0, 0));
        if (a.record == lastRecord) {
          EXPECT_GT(at.x(), last.x()) << path;
        }
        EXPECT_GE(a.record, lastRecord) << path;
        last = at;
        lastRecord = a.record;
      }
    }
    const std::set<std::string> reached(walked.begin(), walked.end());
    EXPECT_EQ(reached, expected);
    EXPECT_EQ(reached.size(), walked.size()) << "a field was reached twice";
    // Shift+Tab walks the same stops back (row copies are re-bound on the way).
    for (auto it = stops.rbegin(); it != stops.rend(); ++it) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
      const ControlAddress a = focusedControl(editor, page);
      ASSERT_EQ(a, it->first) << a.control.toStdString() << " " << a.record;
      QWidget* f = QApplication::focusWidget();
      ASSERT_EQ(f->parentWidget()->children().indexOf(f), it->second);
    }
  }
}

TEST(FieldControls, EveryFieldOfTheCatalogueHasItsControlAndTheControlNamesItBack) {
  for (const fields::Field& f : fields::catalogue().fields) {
    const auto at = controlFor(f.path);
    ASSERT_TRUE(at.has_value()) << f.path;
    EXPECT_EQ(fieldPathAt(*at), f.path);
  }
}

}  // namespace
}  // namespace corvanta
