#pragma once
// One row of a panel array: a panel whose caption names the record it shows
// ("1. Zóna", "   01. IN1 Riasztás"). The caption is drawn in a strip at the
// row's left edge that the row's layout leaves free.

#include <QFrame>

namespace corvanta {

class RowPanel : public QFrame {
  Q_OBJECT
 public:
  explicit RowPanel(QWidget* parent = nullptr);

  QString caption() const { return caption_; }
  void setCaption(const QString& caption);
  // Right-aligned captions end at the right edge of the row, so trailing
  // padding spaces push the visible text to the left (the row-number rule of
  // the zone, user and remote pages); left-aligned ones start at x = 0.
  void setCaptionAlignment(Qt::Alignment a) { align_ = a; }
  Qt::Alignment captionAlignment() const { return align_; }
  // A selected row (to paste a copied row onto) is drawn highlighted.
  void setSelected(bool on);
  bool isSelected() const { return selected_; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QString caption_;
  Qt::Alignment align_ = Qt::AlignLeft;
  bool selected_ = false;
};

// Spaces that follow a row caption so that the text, right-aligned in a row
// of `panelWidth` pixels, starts `margin` pixels from the left edge:
// (panel width - margin - caption width) div space width, never negative.
// Widths are fractional: a blank is rarely a whole number of pixels wide.
int captionPadding(qreal panelWidth, qreal margin, qreal captionWidth, qreal spaceWidth);

}  // namespace corvanta
