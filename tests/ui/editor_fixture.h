#pragma once
// An editor opened offscreen on an image, with helpers to reach the
// controls of the rows and pages by their names.

#include <QApplication>
#include <QTabWidget>

#include <gtest/gtest.h>

#include "params/image_layout.h"
#include "params/parameter_codec.h"
#include "tests/support/recording_messenger.h"
#include "ui/editor/editor_page.h"
#include "ui/widgets/panel_array.h"
#include "ui/editor/parameter_editor.h"
#include "ui/widgets/row_cloning.h"
#include "ui/widgets/row_panel.h"

namespace corvanta {

// The line a control's tooltip has about a value the image holds outside
// the format; empty when it has none (the rest names the field).
inline QString outOfFormatNote(const QWidget* w) {
  for (const QString& line : w->toolTip().split(u'\n'))
    if (line.startsWith(QStringLiteral("A modul a formátumon kívüli"))) return line;
  return {};
}

class EditorTest : public ::testing::Test {
 protected:
  enum Page { kZones, kUsers, kEvents, kRelays, kTelephone, kRemotes, kKeypad };

  EditorTest() { editor.setMessenger(&messages); }

  void open(int page = kZones) {
    editor.present(image);
    editor.pageControl()->setCurrentIndex(page);
  }
  void switchTo(int page) { editor.pageControl()->setCurrentIndex(page); }
  PanelArray* array(int page) { return editor.page(page)->panelArray(); }
  // A control in the row that shows `record` on the active row page.
  template <typename T>
  T* inRow(int page, int record, const char* name) {
    RowPanel* row = array(page)->rowForRecord(record);
    EXPECT_NE(row, nullptr) << "record " << record << " has no row";
    return row ? findInRow<T>(row, name) : nullptr;
  }
  template <typename T>
  T* onPage(int page, const char* name) {
    return editor.page(page)->findChild<T*>(name);
  }
  std::string text(std::size_t offset, std::size_t n) {
    return std::string(image.begin() + offset, image.begin() + offset + n);
  }

  ParameterImage image{};
  testing::RecordingMessenger messages;
  ParameterEditor editor;
};

}  // namespace corvanta
