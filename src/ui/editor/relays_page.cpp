#include "ui/editor/relays_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

#include "params/event_names.h"
#include "ui/widgets/check_list.h"
#include "ui/widgets/column_headers.h"
#include "ui/widgets/control_hint.h"
#include "ui/editor/editor_widgets.h"
#include "ui/widgets/panel_array.h"
#include "ui/widgets/rotated_label.h"
#include "ui/widgets/row_panel.h"

namespace corvanta {

namespace {
constexpr int kVisibleRows = 20;
const char* const kLists[] = {"cblR12", "cblR34", "cblR56"};
}  // namespace

RelaysPage::RelaysPage(EditorContext& context, QWidget* parent)
    : EditorPage(QStringLiteral("TabSheet4"), context, parent) {
  for (int n = 0; n < kRelayRowCount; ++n) captions_ << qs(relayRowCaption(n));
  QFrame* panel = makePagePanel(QStringLiteral("FoPanel4"));
  using namespace controls;

  const controls::ItemList lists[] = {cblR12, cblR34, cblR56};
  QList<QLabel*> headings;
  for (int k = 0; k < 3; ++k) {
    const QStringList items = itemTexts(lists[k]);
    headings << makeRotated(panel, QStringLiteral("rlbR%1ON").arg(k + 1), items[0])
             << makeRotated(panel, QStringLiteral("rlbR%1OFF").arg(k + 1), items[1]);
  }

  // Timing block: one line per relay and value, label columns first.
  auto* timing = new QGridLayout;
  timing->setVerticalSpacing(4);
  timing->setHorizontalSpacing(8);
  for (int k = 0; k < 3; ++k) {
    const QString n = QString::number(k + 1);
    auto* relay = makeLabel(panel, "lbrREL" + n, "RELE " + n + " :");
    auto* start = makeLabel(panel, "lbRStartDelay" + n, "Start késleltetés ( 0-255 sec ) :");
    auto* max = makeLabel(panel, "lbRMaxTime" + n, "Maximális időtartam ( 0-255 sec ) :");
    delays_[k] = makeSpin(panel, kRelayDelays[k], "lbrREL" + n + "+lbRStartDelay" + n);
    times_[k] = makeSpin(panel, kRelayTimes[k], "lbrREL" + n + "+lbRMaxTime" + n);
    const int r = 3 * k;
    timing->addWidget(relay, r, 0);
    timing->addWidget(start, r, 1);
    timing->addWidget(delays_[k], r, 2);
    timing->addWidget(max, r + 1, 1);
    timing->addWidget(times_[k], r + 1, 2);
    timing->setRowMinimumHeight(r + 2, 12);
  }

  array_ = makeArray(panel, "VPA_RelePanel",
                     {"RelePanel", QString(), [this](QWidget* p) { return buildRow(p); }}, kRelayRowCount,
                     8, 3, kVisibleRows);
  array_->setFillRow([this](RowPanel* r, int n) { fillRow(r, n); });
  array_->setStoreRow([this](RowPanel* r, int n) { storeRow(r, n); });
  auto* headers = new ColumnHeaders(array_);
  for (int k = 0; k < 3; ++k) {
    headers->addRotated(kLists[k], 0, {headings[2 * k]});
    headers->addRotated(kLists[k], 1, {headings[2 * k + 1]});
  }

  auto* l = new QGridLayout(panel);
  l->setRowMinimumHeight(0, headers->height());
  l->addWidget(array_, 1, 0, Qt::AlignLeft | Qt::AlignTop);
  l->addLayout(timing, 1, 1, Qt::AlignLeft | Qt::AlignTop);
  l->setColumnMinimumWidth(1, 0);
  l->setHorizontalSpacing(30);
  l->setRowStretch(2, 1);
  l->setColumnStretch(2, 1);
  // Read from the left: the rows, then the timings beside them.
  QWidget* previous = array_;
  for (int k = 0; k < 3; ++k) {
    setTabOrder(previous, delays_[k]);
    setTabOrder(delays_[k], times_[k]);
    previous = times_[k];
  }
}

RowPanel* RelaysPage::buildRow(QWidget* parent) {
  using namespace controls;
  auto* row = new RowPanel(parent);
  auto* l = new QHBoxLayout(row);
  l->setContentsMargins(widestText(row, captions_) + 8, 0, 2, 0);
  l->setSpacing(10);
  const controls::ItemList lists[] = {cblR12, cblR34, cblR56};
  for (int k = 0; k < 3; ++k) {
    const QString n = QString::number(k + 1);
    auto* list = makeRowCheckList(row, lists[k], "rlbR" + n + "ON, rlbR" + n + "OFF");
    connect(list, &CheckList::clicked, this, [this, list] { ctx_.rowControlClicked(list); });
    l->addWidget(list);
  }
  return row;
}

void RelaysPage::fillRow(RowPanel* row, int n) {
  RowFillScope filling(ctx_);
  row->setCaption(captions_[n]);
  const RelayRow& r = ctx_.values.relayRows[n];
  for (int k = 0; k < 3; ++k) {
    auto* list = findInRow<CheckList>(row, kLists[k]);
    list->setChecked(0, r.triggers[2 * k]);
    list->setChecked(1, r.triggers[2 * k + 1]);
    for (int j = 0; j < 2; ++j)
      markField(list->itemBox(j), ctx_,
                "relayRows[" + std::to_string(n) + "][" + std::to_string(2 * k + j) + "]");
  }
}

void RelaysPage::storeRow(RowPanel* row, int n) {
  RelayRow& r = ctx_.values.relayRows[n];
  for (int k = 0; k < 3; ++k) {
    auto* list = findInRow<CheckList>(row, kLists[k]);
    r.triggers[2 * k] = list->isChecked(0);
    r.triggers[2 * k + 1] = list->isChecked(1);
  }
}

void RelaysPage::load() {
  for (int k = 0; k < 3; ++k) {
    delays_[k]->setValue(ctx_.values.relays[k].startDelay);
    times_[k]->setValue(ctx_.values.relays[k].maxTime);
    const std::string relay = "relays[" + std::to_string(k) + "].";
    markField(delays_[k], ctx_, relay + "startDelay");
    markField(times_[k], ctx_, relay + "maxTime");
  }
}

void RelaysPage::save() {
  for (int k = 0; k < 3; ++k) {
    ctx_.values.relays[k].startDelay = delays_[k]->value();
    ctx_.values.relays[k].maxTime = times_[k]->value();
  }
}

}  // namespace corvanta
