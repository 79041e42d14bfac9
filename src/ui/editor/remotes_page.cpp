#include "ui/editor/remotes_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "ui/widgets/column_headers.h"
#include "ui/editor/editor_widgets.h"
#include "ui/widgets/panel_array.h"
#include "ui/widgets/row_panel.h"

namespace corvanta {

namespace {
const QString kRemoteCaption = QStringLiteral(". Felhasználó");
constexpr int kRemoteCaptionMargin = 20;
const char* const kButtons[] = {"cbRFButtA", "cbRFButtB", "cbRFButtC", "cbRFButtD"};
}  // namespace

RemotesPage::RemotesPage(EditorContext& context, QWidget* parent)
    : EditorPage(QStringLiteral("TabSheet6"), context, parent) {
  // This page has no page panel of its own: the controls sit on the sheet.
  auto* title = makeLabel(this, "lbPushbuttonSetup", "Rádiós távkezelő nyomógombjainak beállítása");
  QFont bigger = title->font();
  bigger.setBold(true);
  title->setFont(bigger);
  const QList<QList<QLabel*>> columns{
      {makeLabel(this, "lbRFButtA1", "1. nyomógomb"), makeLabel(this, "lbRFButtA2", "( 4 gombos -> fekete )"),
       makeLabel(this, "lbRFButtA3", "( 2 gombos -> zöld )")},
      {makeLabel(this, "lbRFButtB1", "2. nyomógomb"), makeLabel(this, "lbRFButtB2", "( 4 gombos -> piros )"),
       makeLabel(this, "lbRFButtB3", "( 2 gombos -> piros )")},
      {makeLabel(this, "lbRFButtC1", "3. nyomógomb"), makeLabel(this, "lbRFButtC2", "( 4 gombos -> zöld )")},
      {makeLabel(this, "lbRFButtD1", "4. nyomógomb"), makeLabel(this, "lbRFButtD2", "( 4 gombos -> kék )")}};
  for (const auto& col : columns)
    for (QLabel* l : col) buttonWidth_ = qMax(buttonWidth_, l->sizeHint().width());

  array_ = makeArray(this, "VPA_TavKezPanel",
                     {"TavkezPanel", kRemoteCaption, [this](QWidget* p) { return buildRow(p); }}, kRemoteCount, 7,
                     2);
  array_->setFillRow([this](RowPanel* row, int r) { fillRow(row, r); });
  array_->setStoreRow([this](RowPanel* row, int r) { storeRow(row, r); });
  auto* headers = new ColumnHeaders(array_);
  for (int b = 0; b < 4; ++b) headers->addStacked(kButtons[b], -1, columns[b]);

  auto* l = new QGridLayout(this);
  l->addWidget(title, 0, 0, Qt::AlignHCenter);
  l->setRowMinimumHeight(1, headers->height() + 6);
  l->addWidget(array_, 2, 0, Qt::AlignLeft | Qt::AlignTop);
  l->setRowStretch(3, 1);
  l->setColumnStretch(1, 1);
}

RowPanel* RemotesPage::buildRow(QWidget* parent) {
  auto* row = new RowPanel(parent);
  row->setCaptionAlignment(Qt::AlignRight);
  auto* l = new QHBoxLayout(row);
  l->setContentsMargins(rowCaptionWidth(row, kRemoteCaption, kRemoteCaptionMargin), 0, 2, 0);
  l->setSpacing(12);
  for (int b = 0; b < 4; ++b) {
    auto* box = makeCombo(row, controls::kRFButtons[b], QStringLiteral("lbRFButt") + QChar(u'A' + b) + u'1');
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(9);
    box->setMinimumWidth(buttonWidth_);
    box->setCurrentIndex(-1);
    l->addWidget(box);
  }
  return row;
}

void RemotesPage::fillRow(RowPanel* row, int r) {
  RowFillScope filling(ctx_);
  if (captionPad_ < 0) captionPad_ = rowCaptionPadding(array_->templateRow(), kRemoteCaption, kRemoteCaptionMargin);
  row->setCaption(QString::number(r + 1) + kRemoteCaption + QString(captionPad_, u' '));
  const RemoteControlRecord& rec = ctx_.values.remotes[r];
  for (int b = 0; b < 4; ++b) {
    auto* box = findInRow<QComboBox>(row, kButtons[b]);
    box->setCurrentIndex(rec.buttons[b]);
    // An editable box keeps typed text when its index does not change.
    if (rec.buttons[b] < 0) box->setEditText(QString());
    markField(box, ctx_, "remotes[" + std::to_string(r) + "][" + std::to_string(b) + "]");
  }
}

void RemotesPage::storeRow(RowPanel* row, int r) {
  RemoteControlRecord& rec = ctx_.values.remotes[r];
  for (int b = 0; b < 4; ++b) {
    auto* box = findInRow<QComboBox>(row, kButtons[b]);
    // A typed text that names no entry selects nothing.
    rec.buttons[b] = box->findText(box->currentText());
  }
}

}  // namespace corvanta
