#include "ui/editor/events_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "params/event_names.h"
#include "ui/widgets/check_list.h"
#include "ui/widgets/column_headers.h"
#include "ui/widgets/control_hint.h"
#include "ui/editor/editor_widgets.h"
#include "ui/widgets/panel_array.h"
#include "ui/widgets/row_panel.h"

namespace corvanta {

namespace {
constexpr int kVisibleRows = 12;
}

EventsPage::EventsPage(EditorContext& context, QWidget* parent)
    : EditorPage(QStringLiteral("TabSheet3"), context, parent) {
  for (int e = 0; e < kEventCount; ++e) captions_ << qs(eventRowCaption(e));
  QFrame* panel = makePagePanel(QStringLiteral("FoPanel3"));
  using namespace controls;

  const QList<QLabel*> ctid{makeLabel(panel, "Label40", "Contact-ID"), makeLabel(panel, "lbCode", "kód")};
  const QStringList t = itemTexts(clbEvents1_4), sms = itemTexts(clbEvents5_8);
  QList<QLabel*> tLabels, sLabels;
  for (int i = 0; i < 4; ++i) tLabels << makeLabel(panel, QStringLiteral("lbT%1").arg(i + 1), t[i]);
  for (int i = 0; i < 4; ++i) sLabels << makeLabel(panel, QStringLiteral("lbS%1").arg(i + 1), sms[i]);
  auto* cent = makeLabel(panel, "lbCent", "Közp.");
  auto* smsText = makeLabel(panel, "lbSMStext", "SMS üzenet *");
  const QList<QLabel*> voice{makeLabel(panel, "lbVoice", "Hangüzenet"), makeLabel(panel, "lbVoiceNr", "sorszáma")};

  array_ = makeArray(panel, "VPA_EsemenyPanel",
                     {"EsemenyPanel", QString(), [this](QWidget* p) { return buildRow(p); }}, kEventCount, 7,
                     3, kVisibleRows);
  array_->setFillRow([this](RowPanel* r, int e) { fillRow(r, e); });
  array_->setStoreRow([this](RowPanel* r, int e) { storeRow(r, e); });

  auto* headers = new ColumnHeaders(array_);
  headers->addStacked("meCTID", -1, ctid);
  for (int i = 0; i < 4; ++i) headers->addStacked("clbEvents1_4", i, {tLabels[i]}, true);
  for (int i = 0; i < 4; ++i) headers->addStacked("clbEvents5_8", i, {sLabels[i]}, true);
  headers->addStacked("clbEvents9", -1, {cent}, true);
  headers->addStacked("edSMS", -1, {smsText});
  headers->addStacked("edHanguz", -1, voice);

  auto* comment = makeLabel(panel, "lbSMScomment",
                            "*  :  Az SMS üzenet szövegében a $ karakter helyére a zóna vagy a felhasználó "
                            "nevét, a # karakter helyére pedig a sorszámát helyettesíti a modul.");
  comment->setWordWrap(true);

  auto* l = new QGridLayout(panel);
  l->setRowMinimumHeight(0, headers->height());
  l->addWidget(array_, 1, 0, Qt::AlignLeft | Qt::AlignTop);
  l->addWidget(comment, 2, 0);
  l->setRowStretch(3, 1);
  l->setColumnStretch(1, 1);
}

RowPanel* EventsPage::buildRow(QWidget* parent) {
  using namespace controls;
  auto* row = new RowPanel(parent);
  auto* l = new QHBoxLayout(row);
  l->setContentsMargins(widestText(row, captions_) + 8, 0, 2, 0);
  l->setSpacing(8);
  auto* ctid = new QLineEdit(row);
  ctid->setObjectName(qs(meCTID.name));
  // One hexadecimal digit per place, upper case, an empty place shown as 0.
  ctid->setInputMask(QStringLiteral(">H H H;0"));
  ctid->setText(QStringLiteral("0 0 0"));
  ctid->setFixedWidth(ctid->fontMetrics().horizontalAdvance(QStringLiteral("W W W")) + 12);
  setHint(ctid, "Label40+lbCode");
  l->addWidget(ctid);
  auto* t = makeRowCheckList(row, clbEvents1_4, "lbT1, lbT2, lbT3, lbT4");
  auto* s = makeRowCheckList(row, clbEvents5_8, "lbS1, lbS2, lbS3, lbS4");
  auto* cent = makeRowCheck(row, "clbEvents9", "lbCent");
  connect(t, &CheckList::clicked, this, [this, t] { ctx_.rowControlClicked(t); });
  connect(s, &CheckList::clicked, this, [this, s] { ctx_.rowControlClicked(s); });
  connect(cent, &QCheckBox::clicked, this, [this, cent] { ctx_.rowControlClicked(cent); });
  l->addWidget(t);
  l->addWidget(s);
  l->addWidget(cent);
  // "Közp." is centred over its box and wider than it: keep it clear of the
  // SMS heading.
  l->addSpacing(widestText(row, {QStringLiteral("Közp.")}) / 2);
  l->addWidget(makeEdit(row, edSMS, "lbSMStext"));
  l->addWidget(makeSpin(row, edHanguz, "lbVoice+"));
  return row;
}

void EventsPage::fillRow(RowPanel* row, int e) {
  RowFillScope filling(ctx_);
  const EventRecord& r = ctx_.values.events[e];
  row->setCaption(captions_[e]);
  findInRow<QLineEdit>(row, "meCTID")->setText(qs(r.contactId));
  auto* t = findInRow<CheckList>(row, "clbEvents1_4");
  auto* s = findInRow<CheckList>(row, "clbEvents5_8");
  for (int i = 0; i < 4; ++i) {
    t->setChecked(i, r.routes[i]);
    s->setChecked(i, r.routes[4 + i]);
  }
  findInRow<QCheckBox>(row, "clbEvents9")->setChecked(r.routes[8]);
  findInRow<QLineEdit>(row, "edSMS")->setText(qs(r.sms));
  findInRow<QSpinBox>(row, "edHanguz")->setValue(r.voice);
  const std::string path = "events[" + std::to_string(e) + "].";
  for (const auto& [control, field] : {std::pair{"meCTID", "contactId"}, {"edSMS", "sms"}, {"edHanguz", "voice"}})
    markField(findInRow<QWidget>(row, control), ctx_, path + field);
  for (int i = 0; i < 4; ++i) {
    markField(t->itemBox(i), ctx_, path + "routes[" + std::to_string(i) + "]");
    markField(s->itemBox(i), ctx_, path + "routes[" + std::to_string(4 + i) + "]");
  }
  markField(findInRow<QWidget>(row, "clbEvents9"), ctx_, path + "routes[8]");
}

void EventsPage::storeRow(RowPanel* row, int e) {
  EventRecord& r = ctx_.values.events[e];
  // The shown text keeps every place; an emptied place reads as 0.
  r.contactId = findInRow<QLineEdit>(row, "meCTID")->displayText().toStdString();
  auto* t = findInRow<CheckList>(row, "clbEvents1_4");
  auto* s = findInRow<CheckList>(row, "clbEvents5_8");
  for (int i = 0; i < 4; ++i) {
    r.routes[i] = t->isChecked(i);
    r.routes[4 + i] = s->isChecked(i);
  }
  r.routes[8] = findInRow<QCheckBox>(row, "clbEvents9")->isChecked();
  r.sms = findInRow<QLineEdit>(row, "edSMS")->text().toStdString();
  r.voice = findInRow<QSpinBox>(row, "edHanguz")->value();
}

}  // namespace corvanta
