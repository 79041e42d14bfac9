#include "ui/widgets/focus_frame.h"

#include <QPainter>

namespace corvanta {

void paintFocusFrame(QWidget* w) {
  if (!w->hasFocus()) return;
  QPainter p(w);
  p.setPen(QPen(w->palette().color(QPalette::Highlight), 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(w->rect()).adjusted(1, 1, -1, -1));
}

void FocusCheckBox::paintEvent(QPaintEvent* e) {
  QCheckBox::paintEvent(e);
  paintFocusFrame(this);
}

void FocusRadioButton::paintEvent(QPaintEvent* e) {
  QRadioButton::paintEvent(e);
  paintFocusFrame(this);
}

}  // namespace corvanta
