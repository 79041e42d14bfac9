#include "ui/widgets/char_grid.h"

#include <QKeyEvent>
#include <QPainter>

namespace corvanta {

namespace {

bool isHexDigit(QChar c) { return c.isDigit() || (c >= u'A' && c <= u'F'); }

QFont boldOf(QFont f) {
  f.setBold(true);
  return f;
}

}  // namespace

CharGrid::CharGrid(Kind kind, int cells, QWidget* parent) : QWidget(parent), kind_(kind) {
  for (int i = 0; i < cells; ++i) cells_ << QString();
  setFocusPolicy(Qt::StrongFocus);
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
  cells_[c] = checkedCell(kind_, text);
  update();
}

void CharGrid::setActiveCell(int c) {
  typedIntoLast_ = false;
  active_ = qBound(0, c, qMax(0, int(cells_.size()) - 1));
  update();
}

void CharGrid::backspace() {
  const int last = int(cells_.size()) - 1;
  // After the last cell is typed the cursor stays on it; erasing then takes
  // back that digit alone instead of the last two.
  if (active_ > 0 && !(active_ == last && typedIntoLast_)) --active_;
  typedIntoLast_ = false;
  // Telephone numbers end where the digits end; the account always keeps
  // four digits, so its tail is reset to zeros.
  const QString fill = kind_ == Kind::Account ? QStringLiteral("0") : QString();
  for (int i = active_; i <= last; ++i) cells_[i] = fill;
}

void CharGrid::type(QChar ch) {
  const QString kept = checkedCell(kind_, QString(ch));
  if (kept.isEmpty()) return;
  cells_[active_] = kept;
  if (active_ + 1 < cells_.size())
    ++active_;
  else
    typedIntoLast_ = true;
}

void CharGrid::keyPressEvent(QKeyEvent* e) {
  if (cells_.isEmpty()) return QWidget::keyPressEvent(e);
  switch (e->key()) {
    case Qt::Key_Backspace:
      backspace();
      break;
    case Qt::Key_Left:
      setActiveCell(active_ - 1);
      return;
    case Qt::Key_Right:
      setActiveCell(active_ + 1);
      return;
    case Qt::Key_Home:
      setActiveCell(0);
      return;
    case Qt::Key_End:
      setActiveCell(cells_.size() - 1);
      return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return QWidget::keyPressEvent(e);
    default:
      if (e->text().size() != 1) return QWidget::keyPressEvent(e);
      type(e->text()[0].toUpper());
      break;
  }
  update();
  emit edited();
}

void CharGrid::mousePressEvent(QMouseEvent* e) {
  setFocus(Qt::MouseFocusReason);
  setActiveCell(int(e->position().x()) / cellWidth());
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
  for (int c = 0; c < cells_.size(); ++c) {
    const QRect r(c * w, 0, w, h);
    const bool active = c == active_;
    if (active && hasFocus()) p.fillRect(r.adjusted(1, 1, 0, 0), palette().color(QPalette::Highlight));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(r);
    p.setFont(active ? bold : normal);
    p.setPen(palette().color(active && hasFocus() ? QPalette::HighlightedText : QPalette::Text));
    p.drawText(r, Qt::AlignCenter, cells_[c]);
  }
}

}  // namespace corvanta
