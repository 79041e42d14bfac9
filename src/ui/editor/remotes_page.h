#pragma once
// "Rádiós eszközök beállításai": the four button functions of the twelve
// radio remote controls.

#include "ui/editor/editor_page.h"

namespace corvanta {

class RowPanel;

class RemotesPage : public EditorPage {
  Q_OBJECT
 public:
  explicit RemotesPage(EditorContext& context, QWidget* parent = nullptr);
  PanelArray* panelArray() const override { return array_; }

 private:
  RowPanel* buildRow(QWidget* parent);
  void fillRow(RowPanel* row, int r);
  void storeRow(RowPanel* row, int r);

  PanelArray* array_;
  int buttonWidth_ = 0;
  int captionPad_ = -1;
};

}  // namespace corvanta
