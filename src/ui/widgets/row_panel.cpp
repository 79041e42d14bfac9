#include "ui/widgets/row_panel.h"

#include <QPainter>

namespace corvanta {

RowPanel::RowPanel(QWidget* parent) : QFrame(parent) {}

void RowPanel::setCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  update();
}

void RowPanel::setSelected(bool on) {
  if (on == selected_) return;
  selected_ = on;
  update();
}

void RowPanel::paintEvent(QPaintEvent* e) {
  QFrame::paintEvent(e);
  QPainter p(this);
  if (selected_) {
    QColor mark = palette().color(QPalette::Highlight);
    mark.setAlpha(70);
    p.fillRect(rect(), mark);
  }
  if (caption_.isEmpty()) return;
  p.setPen(palette().color(QPalette::WindowText));
  const QFontMetricsF fm(font());
  // horizontalAdvance counts trailing blanks, which the padding relies on.
  const qreal x = align_ & Qt::AlignRight ? width() - fm.horizontalAdvance(caption_) : 0;
  const qreal y = (height() - fm.height()) / 2 + fm.ascent();
  p.drawText(QPointF(x, y), caption_);
}

int captionPadding(qreal panelWidth, qreal margin, qreal captionWidth, qreal spaceWidth) {
  if (spaceWidth <= 0) return 0;
  return qMax(0, int((panelWidth - margin - captionWidth) / spaceWidth));
}

}  // namespace corvanta
