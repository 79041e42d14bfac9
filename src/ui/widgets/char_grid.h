#pragma once
// A one-row grid of single-character cells: the telephone numbers (16
// digits) and the customer account (4 hexadecimal digits). Keys are handled
// by the grid itself; no cell editor ever opens.
//
// A telephone grid edits like any number field, its cells holding the
// digits from the first one on: the cursor stands between cells, a digit is
// put in at the cursor, Backspace and Delete take out the digit before or
// after it, and the rest moves up. Typing from the first cell, or into a
// number the keyboard has selected (on coming in with Tab, or Ctrl+A),
// replaces the whole number, so no tail of the old one is left to dial. A
// pasted number fills the cells. The account grid keeps its four cells
// filled: Backspace turns the rest of them into zeros.

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
  QStringList cells() const { return cells_; }
  // The text passes the cell check of this grid's kind first.
  void setCell(int c, const QString& text);
  void setCells(const QStringList& cells);
  // The cell the cursor is at (the last one when it stands past it).
  int activeCell() const { return qMin(cursor_, qMax(0, int(cells_.size()) - 1)); }
  // Cursor before cell c (c = the cell count: after the last one).
  int cursorPosition() const { return cursor_; }
  void setActiveCell(int c);
  bool wholeNumberSelected() const { return selected_; }
  void selectAll();
  // The cells' characters from the first on, up to the last filled one
  // (an empty cell between digits shows as a blank).
  QString text() const;
  // What a paste would leave: false, and nothing changed, when the text is
  // not a number that fits.
  bool paste(const QString& text);

  // What a cell keeps of a typed or pasted text: a telephone cell its first
  // character when that is a digit, an account cell its first character in
  // upper case when that is a hexadecimal digit; otherwise nothing.
  static QString checkedCell(Kind kind, const QString& text);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 signals:
  // A key, a paste or a click of the user changed the cells.
  void edited();
  // The cells changed, by the user or by the program.
  void cellsChanged();

 protected:
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  bool event(QEvent* e) override;

 private:
  // Number editing of the telephone grid.
  int length() const;
  void insertDigit(QChar digit);
  void removeAt(int c);
  void clearAll();
  // The account grid's rules.
  void accountBackspace();
  void accountType(QChar ch);
  int cellWidth() const;

  Kind kind_;
  QStringList cells_;
  int cursor_ = 0;
  bool selected_ = false;
  bool typedIntoLast_ = false;  // account: the cursor stays on its last cell
};

}  // namespace corvanta
