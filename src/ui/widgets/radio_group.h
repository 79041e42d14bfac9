#pragma once
// A group of mutually exclusive options whose selected index is the stored
// value. In the zone rows the options carry no captions and sit under
// rotated headings; elsewhere the group has a title and captioned items.
// The bare options of a row are each a stop of Tab, with a frame while they
// have the focus.

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

namespace corvanta {

class RadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent = nullptr);

  int count() const { return items_.size(); }
  QStringList items() const { return items_; }
  // -1 when no option is selected.
  int itemIndex() const { return buttons_.checkedId(); }
  // An index outside the items clears the selection.
  void setItemIndex(int index);
  int itemCentreX(int item) const;
  QAbstractButton* button(int item) const { return buttons_.button(item); }
  // What an item shows, when it should differ from its text (line breaks).
  void setDisplayText(int item, const QString& text);
  // Shows each caption that pads its second part out with blanks before
  // `separator` in two columns, so the second parts start at one x, which
  // blanks cannot do in a proportional font. items() stays as it was.
  void alignCaptionsAt(QChar separator);

 signals:
  // The user picked an item; `previous` is the one selected before (-1: none).
  void itemIndexChanged(int index);
  void itemPicked(int previous, int index);

 protected:
  void paintEvent(QPaintEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  QStringList items_;
  QButtonGroup buttons_;
  int rows_ = 1;
  int selected_ = -1;  // as last set or picked
};

}  // namespace corvanta
