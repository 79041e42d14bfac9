#pragma once
// "Zónák": twelve zone rows over the zone records and the night walk time.

#include "ui/editor/editor_page.h"

class QSpinBox;

namespace corvanta {

class RowPanel;

class ZonesPage : public EditorPage {
  Q_OBJECT
 public:
  explicit ZonesPage(EditorContext& context, QWidget* parent = nullptr);
  PanelArray* panelArray() const override { return array_; }
  void load() override;
  void save() override;

 private:
  RowPanel* buildRow(QWidget* parent);
  void fillRow(RowPanel* row, int z);
  void storeRow(RowPanel* row, int z);

  PanelArray* array_;
  QSpinBox* nightDelay_;
  int captionPad_ = -1;
};

}  // namespace corvanta
