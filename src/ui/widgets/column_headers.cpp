#include "ui/widgets/column_headers.h"

#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QScrollBar>

#include "ui/widgets/check_list.h"
#include "ui/widgets/panel_array.h"
#include "ui/widgets/radio_group.h"
#include "ui/widgets/row_panel.h"

namespace corvanta {

namespace {
constexpr int kGap = 2;  // between the headings and the array's border
}

ColumnHeaders::ColumnHeaders(PanelArray* array) : QObject(array), array_(array) {
  array->installEventFilter(this);
  connect(array->horizontalBar(), &QScrollBar::valueChanged, this, [this] { place(); });
}

void ColumnHeaders::addRotated(const QString& control, int item, const QList<QLabel*>& labels) {
  headings_.append({Kind::Rotated, control, item, labels});
}

void ColumnHeaders::addStacked(const QString& control, int item, const QList<QLabel*>& labels,
                               bool centred) {
  headings_.append({centred ? Kind::StackedCentred : Kind::Stacked, control, item, labels});
}

void ColumnHeaders::addTitle(const QString& control, int item, QLabel* label) {
  headings_.append({Kind::Title, control, item, {label}});
}

void ColumnHeaders::forEachHeading(
    const std::function<void(const QString&, int, const QList<QLabel*>&)>& f) const {
  for (const Heading& hd : headings_)
    if (hd.kind != Kind::Title) f(hd.control, hd.item, hd.labels);
}

int ColumnHeaders::rotatedHeight() const {
  int h = 0;
  for (const Heading& hd : headings_)
    if (hd.kind == Kind::Rotated)
      for (QLabel* l : hd.labels) h = qMax(h, l->sizeHint().height());
  return h;
}

int ColumnHeaders::height() const {
  int h = rotatedHeight();
  int titles = 0;
  for (const Heading& hd : headings_) {
    int lines = 0;
    for (QLabel* l : hd.labels) lines += l->sizeHint().height();
    if (hd.kind == Kind::Title) titles = qMax(titles, lines);
    if (hd.kind == Kind::Stacked || hd.kind == Kind::StackedCentred) h = qMax(h, lines);
  }
  return h + titles + kGap;
}

QPair<int, int> ColumnHeaders::span(const QString& control, int item) const {
  RowPanel* row = array_->templateRow();
  if (!row) return {0, 0};
  row->resize(row->sizeHint());
  if (row->layout()) row->layout()->activate();
  QWidget* c = findInRow(row, control);
  if (!c) c = row->findChild<QWidget*>(control);
  if (!c) return {0, 0};
  // Hidden widgets get no resize events, so nested layouts are run here.
  if (c->layout()) c->layout()->activate();
  int x = c->mapTo(row, QPoint(0, 0)).x();
  int w = c->width();
  if (item >= 0) {
    int centre = 0;
    if (auto* list = qobject_cast<CheckList*>(c)) centre = list->itemCentreX(item);
    if (auto* group = qobject_cast<RadioGroup*>(c)) centre = group->itemCentreX(item);
    x += centre;
    w = 0;
  }
  // Row origin inside the array: the area's border plus the frame margin,
  // less the horizontal scroll position.
  const QPoint origin = array_->scrollArea()->mapTo(array_->parentWidget(), QPoint(0, 0));
  const int left = origin.x() + array_->rowTemplateMargin() - array_->horizontalBar()->value();
  return {left + x, w};
}

void ColumnHeaders::place() {
  const int bottom = array_->y() - kGap;
  const int rotated = rotatedHeight();
  for (const Heading& hd : headings_) {
    const auto [x, w] = span(hd.control, hd.item);
    switch (hd.kind) {
      case Kind::Rotated: {
        int total = 0;
        for (QLabel* l : hd.labels) total += l->sizeHint().width();
        int left = x + w / 2 - total / 2;
        for (QLabel* l : hd.labels) {
          const QSize s = l->sizeHint();
          l->setGeometry(left, bottom - s.height(), s.width(), s.height());
          left += s.width();
        }
        break;
      }
      case Kind::Stacked:
      case Kind::StackedCentred:
      case Kind::Title: {
        int y = hd.kind == Kind::Title ? bottom - rotated : bottom;
        for (auto it = hd.labels.rbegin(); it != hd.labels.rend(); ++it) {
          const QSize s = (*it)->sizeHint();
          y -= s.height();
          const int left = hd.kind == Kind::StackedCentred ? x + w / 2 - s.width() / 2 : x;
          (*it)->setGeometry(left, y, s.width(), s.height());
        }
        break;
      }
    }
  }
}

bool ColumnHeaders::eventFilter(QObject* watched, QEvent* e) {
  if (watched == array_ && (e->type() == QEvent::Move || e->type() == QEvent::Resize || e->type() == QEvent::Show))
    place();
  return false;
}

}  // namespace corvanta
