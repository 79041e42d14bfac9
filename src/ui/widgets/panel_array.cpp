#include "ui/widgets/panel_array.h"

#include <cmath>

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QScrollBar>
#include <QWheelEvent>

#include "ui/widgets/control_hint.h"
#include "ui/widgets/row_panel.h"

namespace corvanta {

namespace {
constexpr int kMaxLayoutPasses = 5;  // one bar can make the other necessary
}

PanelArray::PanelArray(QWidget* parent)
    : QWidget(parent),
      area_(new QFrame(this)),
      vbar_(new QScrollBar(Qt::Vertical, this)),
      hbar_(new QScrollBar(Qt::Horizontal, this)) {
  area_->setFrameStyle(QFrame::Box | QFrame::Plain);
  area_->setObjectName(QStringLiteral("area"));
  // Rows live in a clipping viewport so a row half scrolled out never draws
  // over the area's border.
  viewport_ = new QWidget(area_);
  vbar_->hide();
  hbar_->hide();
  connect(vbar_, &QScrollBar::valueChanged, this, &PanelArray::scrollVertically);
  connect(hbar_, &QScrollBar::valueChanged, this, [this] { placeRows(); });
}

void PanelArray::setRowTemplate(RowTemplate t) {
  storeAndDestroy();
  delete templateRow_;
  template_ = std::move(t);
  templateRow_ = buildTemplateRow(template_, this);
  setHint(templateRow_, kTemplateHint);
  templateRow_->hide();
  layoutBars();
}

RowPanel* PanelArray::cloneTemplate(QWidget* parent) const {
  RowPanel* copy = cloneRow(template_, parent);
  copy->resize(rowSize());
  return copy;
}

int PanelArray::rowPitch() const { return rowSize().height() + spacing_; }

QSize PanelArray::rowSize() const {
  if (!templateRow_) return {0, 0};
  return templateRow_->sizeHint().expandedTo(templateRow_->minimumSizeHint());
}

RowPanel* PanelArray::rowForRecord(int record) const {
  for (const Row& r : rows_)
    if (r.record == record) return r.panel;
  return nullptr;
}

QSize PanelArray::sizeHint() const {
  const int frame = 2 * area_->frameWidth();
  const QSize row = rowSize();
  const bool scrolls = visibleHint_ > 0 && visibleHint_ < records_;
  const int shown = scrolls ? visibleHint_ : records_;
  int w = row.width() + 2 * margin_ + frame;
  if (scrolls) w += vbar_->sizeHint().width() + 1;
  return {w, shown * rowPitch() + frame};
}

void PanelArray::layoutBars() {
  QSize area = size();
  area_->setGeometry(QRect(QPoint(0, 0), area));
  if (!templateRow_) return;
  const int frame = 2 * area_->frameWidth();
  const QSize row = rowSize();
  const int bw = vbar_->sizeHint().width();
  const int bh = hbar_->sizeHint().height();
  bool needV = false, needH = false;
  for (int pass = 0; pass < kMaxLayoutPasses; ++pass) {
    needV = area.height() - frame < rowPitch() * records_;
    needH = area.width() - frame < row.width() + 2 * margin_;
    const QSize next(needV ? width() - bw - 1 : width(), needH ? height() - bh - 1 : height());
    if (next == area) break;
    area = next;
  }
  area_->setGeometry(QRect(QPoint(0, 0), area));
  viewport_->setGeometry(area_->contentsRect());
  const int viewW = viewport_->width(), viewH = viewport_->height();

  const QSignalBlocker bv(vbar_), bhz(hbar_);
  vbar_->setGeometry(area.width() + 1, 0, bw, area.height());
  vbar_->setRange(0, qMax(0, rowPitch() * records_ - viewH));
  vbar_->setPageStep(qMax(1, viewH));
  vbar_->setSingleStep(qMax(1, rowPitch()));
  vbar_->setVisible(needV);
  hbar_->setGeometry(0, area.height() + 1, area.width(), bh);
  hbar_->setRange(0, qMax(0, row.width() + 2 * margin_ - viewW));
  hbar_->setPageStep(qMax(1, viewW));
  hbar_->setVisible(needH);
}

void PanelArray::placeRows() {
  const QSize size = rowSize();
  const int pitch = rowPitch();
  for (std::size_t i = 0; i < rows_.size(); ++i)
    rows_[i].panel->setGeometry(margin_ - hbar_->value(), int(i) * pitch - offset_, size.width(),
                                size.height());
}

void PanelArray::fillRow(Row& r) {
  if (fill_) fill_(r.panel, r.record);
}

void PanelArray::buildRows() {
  storeAndDestroy();
  if (!templateRow_) return;
  templateRow_->hide();
  layoutBars();
  const int pitch = qMax(1, rowPitch());
  const int visible = viewport_->height() / pitch;
  const int n = visible < records_ ? visible + 2 : records_;
  rows_.reserve(n);
  for (int i = 0; i < n; ++i) {
    Row r{cloneRow(template_, viewport_), i};
    guardWheel(r.panel);
    rows_.push_back(r);
    r.panel->show();
    if (i < records_) fillRow(r);
    // A single row is built in one step: it is the whole build.
    if (progress_) progress_(n > 1 ? int(std::lround(100.0 * i / (n - 1))) : 100);
  }
  top_ = 0;
  offset_ = 0;
  {
    const QSignalBlocker bv(vbar_), bhz(hbar_);
    vbar_->setValue(0);
    hbar_->setValue(0);
  }
  layoutBars();
  placeRows();
}

void PanelArray::rebuild() {
  if (templateRow_) templateRow_->hide();
  buildRows();
  viewport_->update();
}

void PanelArray::storeAll() {
  if (!store_) return;
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (top_ + int(i) < records_) store_(rows_[i].panel, rows_[i].record);
}

void PanelArray::storeAndDestroy() {
  if (rows_.empty()) return;
  storeAll();
  for (Row& r : rows_) delete r.panel;
  rows_.clear();
}

void PanelArray::refresh() {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (top_ + int(i) >= records_) continue;  // past the last record: left as it was
    rows_[i].record = top_ + int(i);
    fillRow(rows_[i]);
    rows_[i].panel->update();
  }
}

void PanelArray::scrollVertically(int p) {
  if (!ready_) return;
  ready_ = false;
  const int pitch = qMax(1, rowPitch());
  storeAll();
  top_ = p / pitch;
  refresh();
  offset_ = p % pitch;
  placeRows();
  ready_ = true;
}

void PanelArray::resizeEvent(QResizeEvent*) {
  layoutBars();
  if (rows_.empty()) return;
  // Rows were built for another height (the page was laid out after the
  // build): build the number that fits now; the records keep every value.
  const int visible = viewport_->height() / qMax(1, rowPitch());
  const int n = visible < records_ ? visible + 2 : records_;
  if (n != int(rows_.size()))
    buildRows();
  else
    placeRows();
}

void PanelArray::guardWheel(QWidget* row) {
  // A spin box or list under the pointer would otherwise take the wheel and
  // change its value while the user only meant to scroll the rows. It gets the
  // wheel once the user has clicked into it.
  for (QWidget* w : row->findChildren<QWidget*>()) {
    if (qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w)) {
      w->setFocusPolicy(Qt::StrongFocus);
      w->installEventFilter(this);
    }
  }
}

bool PanelArray::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::Wheel) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && !w->hasFocus()) {
      wheelEvent(static_cast<QWheelEvent*>(e));
      return true;
    }
  }
  return QWidget::eventFilter(watched, e);
}

void PanelArray::wheelEvent(QWheelEvent* e) {
  if (vbar_->isVisible())
    QCoreApplication::sendEvent(vbar_, e);
  else
    e->ignore();
}

}  // namespace corvanta
