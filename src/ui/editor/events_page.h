#pragma once
// "Események": the 47 event reporting rows, scrolling.

#include "ui/editor/editor_page.h"

namespace corvanta {

class RowPanel;

class EventsPage : public EditorPage {
  Q_OBJECT
 public:
  explicit EventsPage(EditorContext& context, QWidget* parent = nullptr);
  PanelArray* panelArray() const override { return array_; }

 private:
  RowPanel* buildRow(QWidget* parent);
  void fillRow(RowPanel* row, int e);
  void storeRow(RowPanel* row, int e);

  PanelArray* array_;
  QStringList captions_;
};

}  // namespace corvanta
