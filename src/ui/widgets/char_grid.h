#pragma once
// A one-row grid of single-character cells: the telephone numbers (16
// digits) and the customer account (4 hexadecimal digits). Keys are handled
// by the grid itself so that a number is always typed from the left and
// erased towards the right; no cell editor ever opens.

#include <QStringList>
#include <QWidget>

namespace corvanta {

class CharGrid : public QWidget {
  Q_OBJECT
 public:
  enum class Kind { Telephone, Account };

  CharGrid(Kind kind, int cells, QWidget* parent = nullptr);

  Kind kind() const { return kind_; }
  int cellCount() const { return cells_.size(); }
  QString cell(int c) const { return cells_.value(c); }
  // The text passes the cell check of this grid's kind first.
  void setCell(int c, const QString& text);
  int activeCell() const { return active_; }
  void setActiveCell(int c);

  // What a cell keeps of a typed or pasted text: a telephone cell its first
  // character when that is a digit, an account cell its first character in
  // upper case when that is a hexadecimal digit; otherwise nothing.
  static QString checkedCell(Kind kind, const QString& text);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 signals:
  void edited();

 protected:
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  void backspace();
  void type(QChar ch);
  int cellWidth() const;

  Kind kind_;
  QStringList cells_;
  int active_ = 0;
  bool typedIntoLast_ = false;
};

}  // namespace corvanta
