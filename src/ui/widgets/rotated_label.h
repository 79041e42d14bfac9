#pragma once
// A label whose text reads upwards (turned by 270 degrees), used for the
// narrow column headings above the editor rows.

#include <QLabel>

namespace corvanta {

class RotatedLabel : public QLabel {
  Q_OBJECT
 public:
  explicit RotatedLabel(const QString& text, QWidget* parent = nullptr);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;
};

}  // namespace corvanta
