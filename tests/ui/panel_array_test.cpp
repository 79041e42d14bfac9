#include <vector>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QApplication>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "ui/widgets/panel_array.h"
#include "ui/widgets/row_panel.h"

namespace corvanta {
namespace {

// A page stand-in: records of text, one edit per row, a click counter to
// see that copies raise the template's handler.
struct Page {
  std::vector<QString> records;
  std::vector<int> progress;
  int clicks = 0;
  PanelArray array;

  Page(int count, int height) : records(count) {
    for (int i = 0; i < count; ++i) records[i] = QStringLiteral("r%1").arg(i);
    array.setRowTemplate({QStringLiteral("TestPanel"), QStringLiteral(". Sor"), [this](QWidget* parent) {
                            auto* row = new RowPanel(parent);
                            auto* l = new QHBoxLayout(row);
                            l->setContentsMargins(40, 0, 0, 0);
                            auto* ed = new QLineEdit(row);
                            ed->setObjectName(QStringLiteral("edValue"));
                            auto* cb = new QCheckBox(row);
                            cb->setObjectName(QStringLiteral("clbEvents1_4"));
                            QObject::connect(cb, &QCheckBox::clicked, [this] { ++clicks; });
                            l->addWidget(ed);
                            l->addWidget(cb);
                            return row;
                          }});
    array.setRecordCount(count);
    array.setFrameMargin(7);
    array.setRowSpacing(3);
    array.setFillRow([this](RowPanel* row, int i) {
      findInRow<QLineEdit>(row, QStringLiteral("edValue"))->setText(records[i]);
    });
    array.setStoreRow([this](RowPanel* row, int i) {
      records[i] = findInRow<QLineEdit>(row, QStringLiteral("edValue"))->text();
    });
    array.setProgress([this](int p) { progress.push_back(p); });
    array.resize(400, height);
  }
  QString shown(int row) { return findInRow<QLineEdit>(array.row(row), QStringLiteral("edValue"))->text(); }
};

TEST(PanelArrayBuild, RecordsThatAllFitGetOneRowEachAndNoVerticalBar) {
  Page page(12, 2000);
  page.array.buildRows();
  EXPECT_EQ(page.array.builtRowCount(), 12);
  EXPECT_FALSE(page.array.verticalBar()->isVisibleTo(&page.array));
  EXPECT_EQ(page.shown(11), "r11");
  EXPECT_EQ(page.progress.front(), 0);
  EXPECT_EQ(page.progress.back(), 100);
}

TEST(PanelArrayBuild, ManyRecordsBuildVisibleRowsPlusTwo) {
  Page page(47, 0);
  const int pitch = page.array.rowPitch();
  page.array.resize(400, pitch * 5 + 2 + pitch / 2);  // 5 whole rows visible
  page.array.buildRows();
  EXPECT_EQ(page.array.builtRowCount(), 7);
  EXPECT_TRUE(page.array.verticalBar()->isVisibleTo(&page.array));
  EXPECT_EQ(page.array.verticalBar()->maximum(), pitch * 47 - page.array.scrollArea()->height());
}

TEST(PanelArrayBuild, ASingleRowReportsFullProgress) {
  Page page(1, 2000);
  page.array.buildRows();
  EXPECT_EQ(page.progress, std::vector<int>{100});
}

TEST(PanelArrayScroll, OnePixelMovesRowsWithoutRebinding) {
  Page page(47, 200);
  page.array.buildRows();
  const int y0 = page.array.row(0)->y();
  page.array.verticalBar()->setValue(1);
  EXPECT_EQ(page.array.row(0)->y(), y0 - 1);
  EXPECT_EQ(page.array.rowRecord(0), 0);
  EXPECT_EQ(page.array.pixelOffset(), 1);
}

TEST(PanelArrayScroll, OnePitchRebindsEveryRowToTheNextRecord) {
  Page page(47, 200);
  page.array.buildRows();
  const int y0 = page.array.row(0)->y();
  page.array.verticalBar()->setValue(page.array.rowPitch());
  EXPECT_EQ(page.array.topIndex(), 1);
  EXPECT_EQ(page.array.pixelOffset(), 0);
  EXPECT_EQ(page.array.row(0)->y(), y0);
  for (int i = 0; i < page.array.builtRowCount(); ++i) EXPECT_EQ(page.array.rowRecord(i), i + 1);
  EXPECT_EQ(page.shown(0), "r1");
}

TEST(PanelArrayScroll, ValuesTypedIntoARowSurviveScrollingAwayAndBack) {
  Page page(47, 200);
  page.array.buildRows();
  findInRow<QLineEdit>(page.array.row(2), QStringLiteral("edValue"))->setText(QStringLiteral("typed"));
  page.array.verticalBar()->setValue(page.array.verticalBar()->maximum());
  EXPECT_EQ(page.records[2], "typed");
  EXPECT_EQ(page.array.rowForRecord(2), nullptr);
  page.array.verticalBar()->setValue(0);
  EXPECT_EQ(page.shown(2), "typed");
}

TEST(PanelArrayScroll, TheLastRecordIsReachableAndRowsBeyondItAreNotStored) {
  Page page(47, 200);
  page.array.buildRows();
  page.array.verticalBar()->setValue(page.array.verticalBar()->maximum());
  ASSERT_NE(page.array.rowForRecord(46), nullptr);
  // Rows past the last record keep stale text; storing must not write it
  // into some record.
  page.array.storeAndDestroy();
  for (int i = 0; i < 47; ++i) EXPECT_EQ(page.records[i], QStringLiteral("r%1").arg(i));
}

TEST(PanelArrayRows, StoreAndDestroyKeepsEditsAndLeavesNoRows) {
  Page page(12, 2000);
  page.array.buildRows();
  findInRow<QLineEdit>(page.array.row(5), QStringLiteral("edValue"))->setText(QStringLiteral("x"));
  page.array.storeAndDestroy();
  EXPECT_FALSE(page.array.hasRows());
  EXPECT_EQ(page.records[5], "x");
  EXPECT_TRUE(page.array.scrollArea()->findChildren<RowPanel*>().isEmpty());
}

TEST(PanelArrayRows, CopiesCarryNumberedTemplateNamesAndRaiseTheTemplateHandlers) {
  Page page(12, 2000);
  page.array.buildRows();
  const QString name = page.array.row(3)->objectName();
  EXPECT_TRUE(name.startsWith("TestPanel_Cl")) << name.toStdString();
  // Names with an underscore of their own are still found by template name.
  auto* cb = findInRow<QCheckBox>(page.array.row(3), QStringLiteral("clbEvents1_4"));
  ASSERT_NE(cb, nullptr);
  EXPECT_TRUE(cb->objectName().startsWith("clbEvents1_4_Cl"));
  EXPECT_NE(cb, findInRow<QCheckBox>(page.array.row(4), QStringLiteral("clbEvents1_4")));
  cb->click();
  EXPECT_EQ(page.clicks, 1);
  // Running numbers never repeat.
  const int before = cloneCount();
  RowPanel* copy = page.array.cloneTemplate(nullptr);
  EXPECT_EQ(cloneCount(), before + 3);  // panel, edit, check box
  EXPECT_EQ(copy->objectName(), QStringLiteral("TestPanel_Cl%1").arg(before + 1));
  delete copy;
}

TEST(PanelArrayRows, FindInRowMatchesWholeTemplateNamesOnly) {
  Page page(12, 2000);
  RowPanel* copy = page.array.cloneTemplate(nullptr);
  EXPECT_EQ(findInRow(copy, QStringLiteral("edVal")), nullptr);
  EXPECT_EQ(findInRow(copy, QStringLiteral("edvalue")), nullptr);
  EXPECT_NE(findInRow(copy, QStringLiteral("edValue")), nullptr);
  delete copy;
}

}  // namespace
}  // namespace corvanta

namespace corvanta {
namespace {

TEST(PanelArrayResize, AGrownArrayBuildsTheRowsThatNowFitAndKeepsTheValues) {
  Page page(47, 100);
  page.array.show();
  page.array.buildRows();
  const int before = page.array.builtRowCount();
  findInRow<QLineEdit>(page.array.row(1), QStringLiteral("edValue"))->setText(QStringLiteral("kept"));
  page.array.resize(400, 100 + 4 * page.array.rowPitch());
  EXPECT_EQ(page.array.builtRowCount(), before + 4);
  EXPECT_EQ(page.shown(1), "kept");
}

TEST(PanelArrayScroll, TheWheelOverAnUnfocusedSpinBoxScrollsTheRowsInsteadOfChangingIt) {
  PanelArray array;
  array.setRowTemplate({QStringLiteral("SpinPanel"), QStringLiteral(". Sor"), [](QWidget* parent) {
                          auto* row = new RowPanel(parent);
                          auto* l = new QHBoxLayout(row);
                          auto* spin = new QSpinBox(row);
                          spin->setObjectName(QStringLiteral("edValue"));
                          spin->setRange(0, 255);
                          l->addWidget(spin);
                          return row;
                        }});
  array.setRecordCount(47);
  array.resize(300, 120);
  array.show();
  array.buildRows();
  ASSERT_TRUE(array.verticalBar()->isVisible());
  auto* spin = findInRow<QSpinBox>(array.row(0), QStringLiteral("edValue"));
  spin->setValue(5);

  auto wheelDown = [&] {
    const QPointF at(spin->width() / 2.0, spin->height() / 2.0);
    QWheelEvent e(at, spin->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(spin, &e);
  };
  wheelDown();
  EXPECT_EQ(spin->value(), 5);
  EXPECT_GT(array.verticalBar()->value(), 0);

  // Once the user has clicked into it, the wheel is the spin box's again.
  array.verticalBar()->setValue(0);
  spin = findInRow<QSpinBox>(array.row(0), QStringLiteral("edValue"));
  spin->setValue(5);
  array.activateWindow();
  spin->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(spin->hasFocus());
  wheelDown();
  EXPECT_NE(spin->value(), 5);
  EXPECT_EQ(array.verticalBar()->value(), 0);
}

}  // namespace
}  // namespace corvanta

namespace corvanta {
namespace {

TEST(PanelArrayKeyboard, TabAndShiftTabWalkEveryFieldOfEveryRecordInOrderWithItsRowInView) {
  QWidget window;
  Page page(30, 0);  // two stops a row: the edit and the check box
  auto* before = new QLineEdit(&window);
  page.array.setParent(&window);
  auto* after = new QLineEdit(&window);
  auto* l = new QVBoxLayout(&window);
  l->addWidget(before);
  l->addWidget(&page.array);
  l->addWidget(after);
  page.array.setFixedHeight(5 * page.array.rowPitch());
  window.show();
  window.activateWindow();
  page.array.buildRows();
  before->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(before->hasFocus());

  const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
  const auto expectAt = [&](int record, int field) {
    EXPECT_EQ(page.array.focusedField(), std::make_pair(record, field));
    const RowPanel* row = page.array.rowForRecord(record);
    ASSERT_NE(row, nullptr) << record;
    EXPECT_GE(row->geometry().top(), 0) << record;
    EXPECT_LE(row->geometry().bottom(), page.array.scrollArea()->rect().bottom()) << record;
  };
  press(Qt::Key_Tab);
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("typed"));
  for (int r = 0; r < 30; ++r)
    for (int f = 0; f < 2; ++f) {
      expectAt(r, f);
      press(Qt::Key_Tab);
    }
  EXPECT_TRUE(after->hasFocus());
  for (int r = 29; r >= 0; --r)
    for (int f = 1; f >= 0; --f) {
      press(Qt::Key_Backtab);
      expectAt(r, f);
    }
  EXPECT_EQ(page.shown(0), "typed");  // the copies were re-bound; the value followed its record
  press(Qt::Key_Backtab);
  EXPECT_TRUE(before->hasFocus());
}

}  // namespace
}  // namespace corvanta
