#include "ui/widgets/rotated_label.h"

#include <QPainter>

namespace corvanta {

RotatedLabel::RotatedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

QSize RotatedLabel::sizeHint() const {
  const QFontMetrics fm(font());
  return {fm.height() + 2, fm.horizontalAdvance(text()) + 6};
}

QSize RotatedLabel::minimumSizeHint() const { return sizeHint(); }

void RotatedLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(palette().color(QPalette::WindowText));
  // Bottom-up text: origin at the bottom-left corner, turned a quarter
  // anticlockwise. The text starts at the bottom so that all headings of
  // a row start on one line just above the controls.
  p.translate(0, height());
  p.rotate(270);
  p.drawText(QRect(3, 0, height() - 3, width()), Qt::AlignLeft | Qt::AlignVCenter, text());
}

}  // namespace corvanta
