#pragma once
// "Relé kimenetek": 60 trigger rows for the three relays, scrolling, and
// the relay timings.

#include <array>

#include "ui/editor/editor_page.h"

class QSpinBox;

namespace corvanta {

class RowPanel;

class RelaysPage : public EditorPage {
  Q_OBJECT
 public:
  explicit RelaysPage(EditorContext& context, QWidget* parent = nullptr);
  PanelArray* panelArray() const override { return array_; }
  void load() override;
  void save() override;

 private:
  RowPanel* buildRow(QWidget* parent);
  void fillRow(RowPanel* row, int n);
  void storeRow(RowPanel* row, int n);

  PanelArray* array_;
  QStringList captions_;
  std::array<QSpinBox*, 3> delays_{};
  std::array<QSpinBox*, 3> times_{};
};

}  // namespace corvanta
