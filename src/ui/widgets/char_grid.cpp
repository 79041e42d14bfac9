#include "ui/widgets/char_grid.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>

namespace corvanta {

namespace {

bool isHexDigit(QChar c) { return c.isDigit() || (c >= u'A' && c <= u'F'); }

QFont boldOf(QFont f) {
  f.setBold(true);
  return f;
}

// Marks people write between the digits of a number; they are dropped from
// a paste. Anything else (a "+", a letter) is not a number the module dials.
bool isSeparator(QChar c) { return c.isSpace() || QStringLiteral("-/().").contains(c); }

}  // namespace

CharGrid::CharGrid(Kind kind, int cells, QWidget* parent) : QWidget(parent), kind_(kind) {
  for (int i = 0; i < cells; ++i) cells_ << QString();
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QString CharGrid::checkedCell(Kind kind, const QString& text) {
  if (text.isEmpty()) return {};
  if (kind == Kind::Telephone) return text[0].isDigit() && text[0].unicode() < 128 ? text.left(1) : QString();
  const QChar c = text[0].toUpper();
  return isHexDigit(c) && c.unicode() < 128 ? QString(c) : QString();
}

void CharGrid::setCell(int c, const QString& text) {
  if (c < 0 || c >= cells_.size()) return;
  const QString kept = checkedCell(kind_, text);
  if (cells_[c] == kept) return;
  cells_[c] = kept;
  update();
  emit cellsChanged();
}

void CharGrid::setCells(const QStringList& cells) {
  QStringList kept = cells_;
  for (int c = 0; c < kept.size(); ++c) kept[c] = checkedCell(kind_, cells.value(c));
  if (kept == cells_) return;
  cells_ = kept;
  cursor_ = qMin(cursor_, int(cells_.size()));
  update();
  emit cellsChanged();
}

void CharGrid::setActiveCell(int c) {
  typedIntoLast_ = false;
  selected_ = false;
  cursor_ = qBound(0, c, kind_ == Kind::Telephone ? int(cells_.size()) : qMax(0, int(cells_.size()) - 1));
  update();
}

void CharGrid::selectAll() {
  selected_ = kind_ == Kind::Telephone && length() > 0;
  update();
}

int CharGrid::length() const {
  int n = int(cells_.size());
  while (n > 0 && cells_[n - 1].isEmpty()) --n;
  return n;
}

QString CharGrid::text() const {
  QString out;
  for (int c = 0; c < length(); ++c) out += cells_[c].isEmpty() ? QStringLiteral(" ") : cells_[c];
  return out;
}

void CharGrid::clearAll() {
  for (QString& c : cells_) c.clear();
  cursor_ = 0;
  selected_ = false;
}

void CharGrid::insertDigit(QChar digit) {
  if (selected_ || cursor_ == 0) clearAll();
  // A full number takes no more digits; none is pushed off its end.
  if (!cells_.last().isEmpty() || cursor_ >= cells_.size()) return;
  cells_.insert(cursor_, QString(digit));
  cells_.removeLast();
  ++cursor_;
}

void CharGrid::removeAt(int c) {
  if (c < 0 || c >= cells_.size()) return;
  cells_.removeAt(c);
  cells_.append(QString());
}

bool CharGrid::paste(const QString& text) {
  QString digits;
  for (const QChar c : text.trimmed()) {
    if (isSeparator(c)) continue;
    if (checkedCell(kind_, QString(c)).isEmpty()) return false;
    digits += c.toUpper();
  }
  if (digits.isEmpty()) return false;
  const bool replace = kind_ == Kind::Account || selected_ || cursor_ == 0;
  const int room = replace ? int(cells_.size()) : int(cells_.size()) - length();
  if (digits.size() > room) return false;
  if (kind_ == Kind::Account) {
    // Four digits always: a shorter paste leaves zeros after it.
    for (int c = 0; c < cells_.size(); ++c) cells_[c] = c < digits.size() ? QString(digits[c]) : QStringLiteral("0");
    cursor_ = qMin(int(digits.size()), int(cells_.size()) - 1);
  } else {
    if (replace) clearAll();
    for (const QChar d : digits) insertDigit(d);
  }
  selected_ = false;
  update();
  emit cellsChanged();
  emit edited();
  return true;
}

void CharGrid::accountBackspace() {
  const int last = int(cells_.size()) - 1;
  // After the last cell is typed the cursor stays on it; erasing then takes
  // back that digit alone instead of the last two.
  if (cursor_ > 0 && !(cursor_ == last && typedIntoLast_)) --cursor_;
  typedIntoLast_ = false;
  // The account always keeps four digits, so its tail is reset to zeros.
  for (int i = cursor_; i <= last; ++i) cells_[i] = QStringLiteral("0");
}

void CharGrid::accountType(QChar ch) {
  const QString kept = checkedCell(kind_, QString(ch));
  if (kept.isEmpty()) return;
  cells_[cursor_] = kept;
  if (cursor_ + 1 < cells_.size())
    ++cursor_;
  else
    typedIntoLast_ = true;
}

bool CharGrid::event(QEvent* e) {
  // The grid's own editing keys come before any shortcut of the window
  // (Delete, Ctrl+V, Ctrl+C, Ctrl+A), as a line edit's do.
  if (e->type() == QEvent::ShortcutOverride) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->matches(QKeySequence::Paste) || k->matches(QKeySequence::Copy) || k->matches(QKeySequence::SelectAll) ||
        k->key() == Qt::Key_Delete || k->key() == Qt::Key_Backspace) {
      e->accept();
      return true;
    }
  }
  return QWidget::event(e);
}

void CharGrid::keyPressEvent(QKeyEvent* e) {
  if (cells_.isEmpty()) return QWidget::keyPressEvent(e);
  const QStringList before = cells_;
  if (e->matches(QKeySequence::Paste)) {
    if (!paste(QApplication::clipboard()->text())) QApplication::beep();
    return;
  }
  if (e->matches(QKeySequence::Copy)) {
    QApplication::clipboard()->setText(text().trimmed());
    return;
  }
  if (e->matches(QKeySequence::SelectAll)) {
    selectAll();
    return;
  }
  const bool telephone = kind_ == Kind::Telephone;
  switch (e->key()) {
    case Qt::Key_Backspace:
      if (!telephone) {
        accountBackspace();
      } else if (selected_) {
        clearAll();
      } else if (cursor_ > 0) {
        removeAt(--cursor_);
      }
      break;
    case Qt::Key_Delete:
      if (!telephone) return;
      if (selected_)
        clearAll();
      else
        removeAt(cursor_);
      break;
    case Qt::Key_Left:
      setActiveCell(cursor_ - 1);
      return;
    case Qt::Key_Right:
      setActiveCell(telephone ? qMin(cursor_ + 1, length()) : cursor_ + 1);
      return;
    case Qt::Key_Home:
      setActiveCell(0);
      return;
    case Qt::Key_End:
      setActiveCell(telephone ? length() : cells_.size() - 1);
      return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return QWidget::keyPressEvent(e);
    default:
      if (e->text().size() != 1 || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return QWidget::keyPressEvent(e);
      if (!telephone) {
        accountType(e->text()[0].toUpper());
      } else if (!checkedCell(kind_, e->text()).isEmpty()) {
        insertDigit(e->text()[0]);
      }
      break;
  }
  selected_ = false;
  update();
  if (cells_ != before) {
    emit cellsChanged();
    emit edited();
  }
}

void CharGrid::mousePressEvent(QMouseEvent* e) {
  setFocus(Qt::MouseFocusReason);
  const int c = int(e->position().x() + cellWidth() / 2) / cellWidth();
  // A telephone cursor stands at most right after the last digit.
  setActiveCell(kind_ == Kind::Telephone ? qMin(c, length()) : int(e->position().x()) / cellWidth());
}

void CharGrid::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  // Coming in with the keyboard selects the number, as a line edit does.
  if (e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason ||
      e->reason() == Qt::ShortcutFocusReason) {
    if (kind_ == Kind::Telephone) cursor_ = length();
    selectAll();
  }
  update();
}

void CharGrid::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  selected_ = false;
  update();
}

int CharGrid::cellWidth() const {
  const QFontMetrics fm(boldOf(font()));
  return qMax(12, fm.horizontalAdvance(u'W') + 6);
}

QSize CharGrid::sizeHint() const {
  const QFontMetrics fm(boldOf(font()));
  return {cellWidth() * int(cells_.size()) + 1, fm.height() + 6};
}

void CharGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int w = cellWidth();
  const int h = height() - 1;
  p.fillRect(rect(), palette().color(QPalette::Base));
  const QFont normal = font();
  const QFont bold = boldOf(font());
  const bool focus = hasFocus();
  const bool telephone = kind_ == Kind::Telephone;
  for (int c = 0; c < cells_.size(); ++c) {
    const QRect r(c * w, 0, w, h);
    // The account marks its cursor cell; a telephone number its selection.
    const bool marked = focus && (telephone ? selected_ && c < length() : c == activeCell());
    if (marked) p.fillRect(r.adjusted(1, 1, 0, 0), palette().color(QPalette::Highlight));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(r);
    p.setFont(!telephone && c == activeCell() ? bold : normal);
    p.setPen(palette().color(marked ? QPalette::HighlightedText : QPalette::Text));
    p.drawText(r, Qt::AlignCenter, cells_[c]);
  }
  if (focus && telephone && !selected_) {
    // The cursor, between two cells, drawn thick enough to see.
    const int x = qMin(cursor_ * w, int(cells_.size()) * w - 1);
    p.fillRect(QRect(x - 1, 2, 3, h - 3), palette().color(QPalette::Highlight));
  }
  if (focus) {
    p.setPen(QPen(palette().color(QPalette::Highlight), 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

}  // namespace corvanta
