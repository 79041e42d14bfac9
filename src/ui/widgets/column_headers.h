#pragma once
// Headings of a panel array's columns. The row controls are laid out by the
// row's own layout, so their positions depend on the fonts; the headings
// follow them: each heading is placed over the control of the template row
// that it names, whenever the array moves or changes size.

#include <functional>

#include <QList>
#include <QObject>
#include <QString>

class QLabel;
class QWidget;

namespace corvanta {

class PanelArray;

class ColumnHeaders : public QObject {
  Q_OBJECT
 public:
  // The labels must be children of the array's parent.
  explicit ColumnHeaders(PanelArray* array);

  // Rotated labels side by side, centred over a control (or one of its
  // items: a check list or radio group item), standing on the array.
  void addRotated(const QString& control, int item, const QList<QLabel*>& labels);
  // Horizontal labels one above the other, the last one standing on the
  // array, left-aligned with the control (centred when `centred`).
  void addStacked(const QString& control, int item, const QList<QLabel*>& labels, bool centred = false);
  // A title line above the rotated labels, starting over the control.
  void addTitle(const QString& control, int item, QLabel* label);

  // Each heading over a column (titles left out) with the control and item
  // it names, to give the labels their tooltips.
  void forEachHeading(const std::function<void(const QString& control, int item, const QList<QLabel*>& labels)>& f) const;

  // Height the headings need above the array.
  int height() const;
  void place();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  enum class Kind { Rotated, Stacked, StackedCentred, Title };
  struct Heading {
    Kind kind;
    QString control;
    int item;
    QList<QLabel*> labels;
  };
  int rotatedHeight() const;
  // Left edge and width of the control or item in the array's parent.
  QPair<int, int> span(const QString& control, int item) const;

  PanelArray* array_;
  QList<Heading> headings_;
};

}  // namespace corvanta
