#pragma once
// "Felhasználók": twelve user rows (rights, name, code) and the installer
// code. Every code field is checked when the focus leaves it: 4 or 6 digits,
// "******" (no code) for users only. A wrong user code is emptied; a wrong
// installer code gives way to the last good one. A code the module holds
// that would fail the check stays as it is until it is typed over.

#include "ui/editor/editor_page.h"

#include <QString>

class QLineEdit;

namespace corvanta {

class RowPanel;

class UsersPage : public EditorPage {
  Q_OBJECT
 public:
  explicit UsersPage(EditorContext& context, QWidget* parent = nullptr);
  PanelArray* panelArray() const override { return array_; }
  void load() override;
  void save() override;

 private:
  RowPanel* buildRow(QWidget* parent);
  void fillRow(RowPanel* row, int u);
  void storeRow(RowPanel* row, int u);
  void checkCode(QLineEdit* edit);

  PanelArray* array_;
  QLineEdit* masterCode_;
  QString lastMasterCode_;
  bool warning_ = false;
  int captionPad_ = -1;
};

}  // namespace corvanta
