#pragma once
// A list of check items laid out in columns. In the editor rows the items
// have no captions (the rotated headings above name them); the door-chime
// list has captions. One clicked() signal serves every item so that the
// pages can share one click handler. Tab reaches every item, which shows a
// frame while it has the focus; a mouse click leaves the focus where it was.

#include <QList>
#include <QStringList>
#include <QWidget>

class QCheckBox;

namespace corvanta {

class CheckList : public QWidget {
  Q_OBJECT
 public:
  // `captions` gives the item count; empty captions draw bare boxes.
  CheckList(const QStringList& captions, int columns, QWidget* parent = nullptr);

  int count() const { return boxes_.size(); }
  bool isChecked(int item) const;
  void setChecked(int item, bool on);
  QStringList captions() const;
  // The item last clicked; -1 when none is highlighted.
  int highlightedItem() const { return highlighted_; }
  void clearHighlight() { highlighted_ = -1; }
  // The item's own box, to focus it or give it a tooltip.
  QCheckBox* itemBox(int item) const { return boxes_.value(item); }
  // Centre of an item in this widget's coordinates, to put headings over it.
  int itemCentreX(int item) const;

 signals:
  void clicked(int item);

 private:
  QList<QCheckBox*> boxes_;
  int highlighted_ = -1;
};

}  // namespace corvanta
