#include "ui/widgets/panel_array.h"

#include <cmath>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QFrame>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "ui/widgets/control_hint.h"
#include "ui/widgets/row_panel.h"

namespace corvanta {

namespace {
constexpr int kMaxLayoutPasses = 5;  // one bar can make the other necessary

bool isTabStop(const QWidget* w) {
  return (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
}

// Whether `w` sits in a window of its own below `row`: a drop-down list's
// popup is a child of its combo box, but no stop of the row.
bool inOwnWindow(const QWidget* w, const QWidget* row) {
  for (; w && w != row; w = w->parentWidget())
    if (w->isWindow()) return true;
  return false;
}

// The row's fields that Tab would visit, in the order they were made (left
// to right, as the row lays them out).
std::vector<QWidget*> tabStopsOf(const QWidget* row) {
  std::vector<QWidget*> stops;
  for (QWidget* w : row->findChildren<QWidget*>())
    if (isTabStop(w) && !inOwnWindow(w, row)) stops.push_back(w);
  return stops;
}
}  // namespace

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
  setFocusPolicy(fieldsPerRow() > 0 ? Qt::TabFocus : Qt::NoFocus);
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

int PanelArray::recordOf(const QWidget* w) const {
  for (const Row& r : rows_)
    if (r.panel == w || r.panel->isAncestorOf(w)) return r.record < records_ ? r.record : -1;
  return -1;
}

bool PanelArray::focusInRecord(int record, const std::function<QWidget*(RowPanel*)>& pick,
                               Qt::FocusReason reason) {
  if (record < 0 || record >= records_ || rows_.empty()) return false;
  setFocus(Qt::OtherFocusReason);
  ensureRecordVisible(record);
  RowPanel* row = rowForRecord(record);
  QWidget* target = row ? pick(row) : nullptr;
  if (!target) return false;
  // The row is in view already: nothing to do again once the focus lands.
  focusing_ = true;
  target->setFocus(reason);
  focusing_ = false;
  return true;
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
  r.panel->setSelected(selected_.count(r.record) != 0);
}

void PanelArray::setSelectedRecords(const std::vector<int>& records) {
  selected_.clear();
  for (int r : records)
    if (r >= 0 && r < records_) selected_.insert(r);
  for (Row& r : rows_) r.panel->setSelected(selected_.count(r.record) != 0);
}

void PanelArray::clickRecord(int record, Qt::KeyboardModifiers modifiers) {
  if (record < 0 || record >= records_) return;
  std::vector<int> chosen;
  if (modifiers & Qt::ShiftModifier && anchor_ >= 0) {
    for (int r = qMin(anchor_, record); r <= qMax(anchor_, record); ++r) chosen.push_back(r);
    if (modifiers & Qt::ControlModifier) chosen.insert(chosen.end(), selected_.begin(), selected_.end());
  } else if (modifiers & Qt::ControlModifier) {
    chosen.assign(selected_.begin(), selected_.end());
    if (selected_.count(record))
      std::erase(chosen, record);
    else
      chosen.push_back(record);
    anchor_ = record;
  } else {
    chosen = {record};
    anchor_ = record;
  }
  setSelectedRecords(chosen);
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
    Row r{cloneRow(template_, viewport_), i, {}};
    guardWheel(r.panel);
    r.panel->installEventFilter(this);
    if (prepared_) prepared_(r.panel);
    r.fields = takeTabStops(r.panel);
    for (QWidget* w : r.fields) w->installEventFilter(this);
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
  if (auto* row = qobject_cast<RowPanel*>(watched)) {
    // A press on the row itself (its caption, the room between controls)
    // selects; a context menu anywhere in it but a text field is the row's.
    if (e->type() == QEvent::MouseButtonPress) {
      auto* press = static_cast<QMouseEvent*>(e);
      const int record = recordOf(row);
      if (press->button() == Qt::LeftButton) clickRecord(record, press->modifiers());
      if (press->button() == Qt::RightButton && !selected_.count(record)) clickRecord(record, Qt::NoModifier);
      return false;
    }
    if (e->type() == QEvent::ContextMenu) {
      const int record = recordOf(row);
      if (record < 0) return false;
      if (!selected_.count(record)) clickRecord(record, Qt::NoModifier);
      emit rowMenuRequested(record, static_cast<QContextMenuEvent*>(e)->globalPos());
      return true;
    }
    return false;
  }
  if (e->type() == QEvent::FocusIn) {
    // Focus given by the program lands in whatever copy it was given to;
    // show that row whole. A click is left where it was: moving the record
    // under a pressed mouse would hand the release to another record.
    const auto reason = static_cast<QFocusEvent*>(e)->reason();
    if (!focusing_ && (reason == Qt::OtherFocusReason || reason == Qt::ShortcutFocusReason)) {
      QPointer<QWidget> field = qobject_cast<QWidget*>(watched);
      QTimer::singleShot(0, this, [this, field] {
        if (!field || !field->hasFocus()) return;
        const auto [record, index] = focusedField();
        if (record >= 0) focusField(record, index, Qt::OtherFocusReason);
      });
    }
  }
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

// --- keyboard ---------------------------------------------------------------

std::vector<QWidget*> PanelArray::takeTabStops(QWidget* row) {
  std::vector<QWidget*> stops = tabStopsOf(row);
  // A click into a field gives it the focus; a click on a small box or
  // option does not, so that no focus frame stays on it.
  for (QWidget* w : stops) w->setFocusPolicy(qobject_cast<QAbstractButton*>(w) ? Qt::NoFocus : Qt::ClickFocus);
  return stops;
}

int PanelArray::fieldsPerRow() const { return templateRow_ ? int(tabStopsOf(templateRow_).size()) : 0; }

void PanelArray::ensureRecordVisible(int record) {
  if (record < 0 || record >= records_ || !vbar_->isVisible()) return;
  const int top = record * rowPitch();
  const int bottom = top + rowSize().height();
  int p = vbar_->value();
  if (top < p)
    p = top;
  else if (bottom > p + viewport_->height())
    p = bottom - viewport_->height();
  vbar_->setValue(qBound(vbar_->minimum(), p, vbar_->maximum()));
}

std::pair<int, int> PanelArray::focusedField() const {
  const QWidget* focus = QApplication::focusWidget();
  if (!focus) return {-1, -1};
  for (const Row& r : rows_)
    for (std::size_t f = 0; f < r.fields.size(); ++f)
      if (r.fields[f] == focus || r.fields[f]->isAncestorOf(focus)) return {r.record, int(f)};
  return {-1, -1};
}

bool PanelArray::focusField(int record, int field, Qt::FocusReason reason) {
  if (record < 0 || record >= records_ || field < 0 || field >= fieldsPerRow() || rows_.empty()) return false;
  // The field being left loses its focus before the rows move, so that what
  // it checks on leaving is its own record's text, not the next one's.
  setFocus(Qt::OtherFocusReason);
  ensureRecordVisible(record);
  for (Row& r : rows_) {
    if (r.record != record || field >= int(r.fields.size())) continue;
    focusing_ = true;
    r.fields[std::size_t(field)]->setFocus(reason);
    focusing_ = false;
    return true;
  }
  return false;
}

void PanelArray::focusInEvent(QFocusEvent* e) {
  // The window's tab order reaches the array as one stop: step into the
  // first field of the first record, or the last of the last going back.
  if (e->reason() == Qt::TabFocusReason)
    focusField(0, 0, Qt::TabFocusReason);
  else if (e->reason() == Qt::BacktabFocusReason)
    focusField(records_ - 1, fieldsPerRow() - 1, Qt::BacktabFocusReason);
}

QWidget* PanelArray::neighbourOutside(bool next) const {
  QWidget* w = const_cast<PanelArray*>(this);
  for (;;) {
    w = next ? w->nextInFocusChain() : w->previousInFocusChain();
    if (w == this) return nullptr;
    if (isAncestorOf(w) || !isTabStop(w) || !w->isVisible() || !w->isEnabled()) continue;
    return w;
  }
}

bool PanelArray::focusNextPrevChild(bool next) {
  const auto [record, field] = focusedField();
  if (record < 0) return QWidget::focusNextPrevChild(next);
  const int fields = fieldsPerRow();
  int r = record;
  int f = field + (next ? 1 : -1);
  if (f < 0 || f >= fields) {
    r += next ? 1 : -1;
    f = next ? 0 : fields - 1;
  }
  if (r >= 0 && r < records_) return focusField(r, f, next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  // Past the first or last record: on to the window's next stop.
  if (QWidget* w = neighbourOutside(next)) {
    w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
  }
  return QWidget::focusNextPrevChild(next);
}

}  // namespace corvanta
