#pragma once
// Check boxes and radio buttons without a caption of their own, as the
// editor rows hold them under rotated headings. A style draws the focus of
// such a control around its caption, so a bare one would take the keyboard
// with nothing to show for it; these draw a frame around themselves while
// they have the focus.

#include <QCheckBox>
#include <QRadioButton>

namespace corvanta {

class FocusCheckBox : public QCheckBox {
  Q_OBJECT
 public:
  using QCheckBox::QCheckBox;

 protected:
  void paintEvent(QPaintEvent* e) override;
};

class FocusRadioButton : public QRadioButton {
  Q_OBJECT
 public:
  using QRadioButton::QRadioButton;

 protected:
  void paintEvent(QPaintEvent* e) override;
};

// The frame both draw: the highlight colour, two pixels wide, just inside
// the widget's edge.
void paintFocusFrame(QWidget* w);

}  // namespace corvanta
