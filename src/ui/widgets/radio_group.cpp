#include "ui/widgets/radio_group.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>

#include "ui/widgets/focus_frame.h"

namespace corvanta {

RadioGroup::RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent), items_(items) {
  const bool bare = title.isEmpty();
  setFlat(bare);
  auto* grid = new QGridLayout(this);
  if (bare) grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(bare ? 4 : 12);
  grid->setVerticalSpacing(bare ? 0 : 4);
  const int cols = qMax(1, columns);
  const int rows = (items.size() + cols - 1) / cols;
  rows_ = qMax(1, rows);
  for (int i = 0; i < items.size(); ++i) {
    QRadioButton* b = bare ? new FocusRadioButton(items[i], this) : new QRadioButton(items[i], this);
    if (bare) {
      b->setFocusPolicy(Qt::TabFocus);
      b->setMinimumWidth(b->fontMetrics().height() + 4);
    }
    buttons_.addButton(b, i);
    // Every other grid column is left for second caption parts.
    grid->addWidget(b, i % rows, 2 * (i / rows));
  }
  connect(&buttons_, &QButtonGroup::idClicked, this, [this](int index) {
    const int previous = selected_;
    selected_ = index;
    emit itemIndexChanged(index);
    if (previous != index) emit itemPicked(previous, index);
  });
}

void RadioGroup::setItemIndex(int index) {
  selected_ = index >= 0 && index < items_.size() ? index : -1;
  if (index >= 0 && index < items_.size()) {
    buttons_.button(index)->setChecked(true);
    return;
  }
  // An exclusive group refuses to uncheck its last checked button.
  buttons_.setExclusive(false);
  for (auto* b : buttons_.buttons()) b->setChecked(false);
  buttons_.setExclusive(true);
}

void RadioGroup::paintEvent(QPaintEvent* e) {
  // Caption-less groups in the rows draw no frame: the headings are theirs.
  if (!title().isEmpty()) QGroupBox::paintEvent(e);
}

void RadioGroup::setDisplayText(int item, const QString& text) {
  if (auto* b = buttons_.button(item)) b->setText(text);
}

void RadioGroup::alignCaptionsAt(QChar separator) {
  const QRegularExpression padding(QStringLiteral("\\s{2,}(?=%1)").arg(QRegularExpression::escape(QString(separator))));
  auto* grid = static_cast<QGridLayout*>(layout());
  for (int i = 0; i < items_.size(); ++i) {
    const QRegularExpressionMatch m = padding.match(items_[i]);
    if (!m.hasMatch()) continue;
    buttons_.button(i)->setText(items_[i].left(m.capturedStart()));
    auto* part = new QLabel(items_[i].mid(m.capturedEnd()), this);
    part->setProperty("item", i);
    part->installEventFilter(this);
    grid->addWidget(part, i % rows_, 2 * (i / rows_) + 1);
  }
}

bool RadioGroup::eventFilter(QObject* watched, QEvent* e) {
  // A click on a caption's second part picks its item, as one on the first does.
  if (e->type() == QEvent::MouseButtonRelease) {
    if (auto* b = buttons_.button(watched->property("item").toInt()); b && b->isEnabled()) b->click();
    return true;
  }
  return QGroupBox::eventFilter(watched, e);
}

int RadioGroup::itemCentreX(int item) const {
  auto* b = buttons_.button(item);
  if (!b) return 0;
  const int indicator = b->text().isEmpty() ? b->sizeHint().width() : b->sizeHint().height();
  return b->x() + indicator / 2;
}

}  // namespace corvanta
