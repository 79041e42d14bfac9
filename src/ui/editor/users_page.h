#pragma once
// "Felhasználók": twelve user rows (rights, name, code) and the installer
// code. Every code field is checked when the focus leaves it.

#include "ui/editor/editor_page.h"

class QLineEdit;

namespace corvanta {

class RowPanel;

// A code is 4 or 6 characters, each a digit or '*' ("******" means no code).
bool isValidUserCode(const QString& code);

class UsersPage : public EditorPage {
  Q_OBJECT
 public:
  explicit UsersPage(EditorContext& context, QWidget* parent = nullptr);
  PanelArray* panelArray() const override { return array_; }
  void load() override;
  void save() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  RowPanel* buildRow(QWidget* parent);
  void fillRow(RowPanel* row, int u);
  void storeRow(RowPanel* row, int u);
  void checkCode(QLineEdit* edit);

  PanelArray* array_;
  QLineEdit* masterCode_;
  int captionPad_ = -1;
};

}  // namespace corvanta
