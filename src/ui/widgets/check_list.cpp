#include "ui/widgets/check_list.h"

#include <QCheckBox>
#include <QGridLayout>

#include "ui/widgets/focus_frame.h"

namespace corvanta {

CheckList::CheckList(const QStringList& captions, int columns, QWidget* parent) : QWidget(parent) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(captions.join(QString()).isEmpty() ? 4 : 12);
  grid->setVerticalSpacing(2);
  const int cols = qMax(1, columns);
  const int rows = (captions.size() + cols - 1) / cols;
  for (int i = 0; i < captions.size(); ++i) {
    auto* box = new FocusCheckBox(captions[i], this);
    // The keyboard reaches every item; a click leaves the focus where it is.
    box->setFocusPolicy(Qt::TabFocus);
    // Bare items stand under rotated headings one text line wide.
    if (captions[i].isEmpty()) box->setMinimumWidth(box->fontMetrics().height() + 4);
    // Column-major like a multi-column list box: items fill a column first.
    grid->addWidget(box, i % rows, i / rows);
    connect(box, &QCheckBox::clicked, this, [this, i] {
      highlighted_ = i;
      emit clicked(i);
    });
    boxes_.append(box);
  }
}

bool CheckList::isChecked(int item) const {
  return item >= 0 && item < boxes_.size() && boxes_[item]->isChecked();
}

void CheckList::setChecked(int item, bool on) {
  if (item >= 0 && item < boxes_.size()) boxes_[item]->setChecked(on);
}

QStringList CheckList::captions() const {
  QStringList out;
  for (auto* b : boxes_) out << b->text();
  return out;
}

int CheckList::itemCentreX(int item) const {
  if (item < 0 || item >= boxes_.size()) return 0;
  auto* b = boxes_[item];
  // Bare boxes are as wide as their indicator; captioned ones start with it.
  const int indicator = b->text().isEmpty() ? b->sizeHint().width() : b->sizeHint().height();
  return b->x() + indicator / 2;
}

}  // namespace corvanta
