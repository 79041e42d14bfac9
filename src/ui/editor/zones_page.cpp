#include "ui/editor/zones_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "ui/widgets/column_headers.h"
#include "ui/widgets/control_hint.h"
#include "ui/editor/editor_widgets.h"
#include "ui/widgets/panel_array.h"
#include "ui/widgets/radio_group.h"
#include "ui/widgets/rotated_label.h"
#include "ui/widgets/row_panel.h"

namespace corvanta {

namespace {
const QString kZoneCaption = QStringLiteral(". Zóna");
constexpr int kZoneCaptionMargin = 16;
}  // namespace

ZonesPage::ZonesPage(EditorContext& context, QWidget* parent)
    : EditorPage(QStringLiteral("TabSheet1"), context, parent) {
  QFrame* panel = makePagePanel(QStringLiteral("FoPanel1"));
  using namespace controls;

  // Headings first, in the order of the columns they name.
  auto* rlbBypass = makeRotated(panel, "rlbBypass", "Bypass");
  auto* rlbSilent = makeRotated(panel, "rlbSilentZone", "Csendes zóna");
  auto* rlbKoveto = makeRotated(panel, "rlbKovetoZona", "  Követő zóna");
  const QStringList bek = itemTexts(rgZonaBek), part = itemTexts(rgZonaPart);
  const QStringList bekNames{"rlbShortAct", "rlbOpenAct", "rlbDEOL", "rlbRadioDevice"};
  const QStringList partNames{"rlbPart12", "rlbPart1", "rlbPart2", "rlb24hzone"};
  QList<QLabel*> bekLabels, partLabels;
  for (int i = 0; i < 4; ++i) bekLabels << makeRotated(panel, bekNames[i], bek[i]);
  for (int i = 0; i < 4; ++i) partLabels << makeRotated(panel, partNames[i], part[i]);
  const QList<QLabel*> erz{makeRotated(panel, "rlbZoneSensitivity", "Zóna érzékenység"),
                           makeRotated(panel, "rlbTizedsec", "(tizedmásodperc)")};
  const QList<QLabel*> be{makeRotated(panel, "rlbEnterDelay", "Belépési késlelt."),
                          makeRotated(panel, "rlbSec1", "(másodperc)")};
  const QList<QLabel*> ki{makeRotated(panel, "rlbLeaveDelay", "Kilépési késlelt."),
                          makeRotated(panel, "rlbSec2", "(másodperc)")};
  const QList<QLabel*> intel{makeRotated(panel, "rlbIntellizone", "Intelligens zóna"),
                             makeRotated(panel, "rlbMinute025", "(0-25 perc)")};
  const QList<QLabel*> cover{makeRotated(panel, "rlbZoneCoverTime", "Zóna takarás idő"),
                             makeRotated(panel, "rlbZoneCoverTimeLine2", "(0-255 perc)")};
  const QList<QLabel*> night{makeLabel(panel, "lbNightSetting1", "Éjszakai"),
                             makeLabel(panel, "lbNightSetting2", "zóna beállítás")};
  const QList<QLabel*> name{makeLabel(panel, "rlbZoneName", "Zóna neve"),
                            makeLabel(panel, "rlbMax10Char", "(max 10 karakter)")};

  // Night walk time, above the rows at the right.
  auto* walk1 = makeLabel(panel, "lbNightWalk1", "Éjszakai");
  auto* walk2 = makeLabel(panel, "lbNightWalk2", "séta időtartam");
  auto* walk3 = makeLabel(panel, "lbNightWalk3", "(0-25 perc)");
  nightDelay_ = makeSpin(panel, edNightDelay, "lbNightWalk1+lbNightWalk2+lbNightWalk3");

  array_ = makeArray(panel, "VPA_ZonaPanel",
                     {"ZonaPanel", kZoneCaption, [this](QWidget* p) { return buildRow(p); }}, kZoneCount, 7, 0);
  array_->setFillRow([this](RowPanel* r, int z) { fillRow(r, z); });
  array_->setStoreRow([this](RowPanel* r, int z) { storeRow(r, z); });

  auto* headers = new ColumnHeaders(array_);
  headers->addRotated("cbBypass", -1, {rlbBypass});
  headers->addRotated("cbZonaCsendes", -1, {rlbSilent});
  headers->addRotated("cbKoveto", -1, {rlbKoveto});
  for (int i = 0; i < 4; ++i) headers->addRotated("rgZonaBek", i, {bekLabels[i]});
  for (int i = 0; i < 4; ++i) headers->addRotated("rgZonaPart", i, {partLabels[i]});
  headers->addRotated("edZonaErz", -1, erz);
  headers->addRotated("edZonaBeKesl", -1, be);
  headers->addRotated("edZonaKiKesl", -1, ki);
  headers->addRotated("edZonaIntel", -1, intel);
  headers->addRotated("edZonaCover", -1, cover);
  headers->addStacked("cbNightSet", -1, night);
  headers->addStacked("edZonaNeve", -1, name);

  auto* walk = new QGridLayout;
  walk->addWidget(walk1, 0, 0);
  walk->addWidget(walk2, 1, 0);
  walk->addWidget(walk3, 2, 0);
  walk->addWidget(nightDelay_, 1, 1, Qt::AlignLeft);
  // The night walk block shares the headings' room, at the right end where
  // only the two-line name heading stands.
  auto* l = new QGridLayout(panel);
  l->addLayout(walk, 0, 0, Qt::AlignRight | Qt::AlignTop);
  l->setRowMinimumHeight(1, qMax(0, headers->height() - walk->sizeHint().height()));
  l->addWidget(array_, 2, 0, Qt::AlignLeft | Qt::AlignTop);
  l->setRowStretch(3, 1);
  l->setColumnStretch(1, 1);
}

RowPanel* ZonesPage::buildRow(QWidget* parent) {
  using namespace controls;
  auto* row = new RowPanel(parent);
  row->setCaptionAlignment(Qt::AlignRight);
  auto* l = new QHBoxLayout(row);
  l->setContentsMargins(rowCaptionWidth(row, kZoneCaption, kZoneCaptionMargin), 0, 2, 0);
  l->setSpacing(6);
  for (auto [n, h] : {std::pair{"cbBypass", "rlbBypass"}, {"cbZonaCsendes", "rlbSilentZone"},
                      {"cbKoveto", "rlbKovetoZona"}}) {
    auto* cb = makeRowCheck(row, n, h);
    connect(cb, &QCheckBox::clicked, this, [this, cb] { ctx_.rowControlClicked(cb); });
    l->addWidget(cb);
  }
  l->addWidget(makeRowRadioGroup(row, rgZonaBek, "rlbShortAct, rlbOpenAct, rlbDEOL, rlbRadioDevice"));
  l->addWidget(makeRowRadioGroup(row, rgZonaPart, "rlbPart12, rlbPart1, rlbPart2, rlb24hzone"));
  l->addWidget(makeSpin(row, edZonaErz, "rlbZoneSensitivity+rlbTizedsec"));
  l->addWidget(makeSpin(row, edZonaBeKesl, "rlbEnterDelay+rlbSec1"));
  l->addWidget(makeSpin(row, edZonaKiKesl, "rlbLeaveDelay+rlbSec2"));
  l->addWidget(makeSpin(row, edZonaIntel, "rlbIntellizone+rlbMinute025"));
  l->addWidget(makeSpin(row, edZonaCover, "rlbZoneCoverTime+rlbZoneCoverTimeLine2"));
  l->addWidget(makeCombo(row, cbNightSet, "lbNightSetting1+lbNightSetting2"));
  l->addWidget(makeEdit(row, edZonaNeve, "rlbZoneName+rlbMax10Char"));
  return row;
}

void ZonesPage::fillRow(RowPanel* row, int z) {
  RowFillScope filling(ctx_);
  const ZoneRecord& r = ctx_.values.zones[z];
  findInRow<QCheckBox>(row, "cbBypass")->setChecked(r.bypass);
  findInRow<QCheckBox>(row, "cbZonaCsendes")->setChecked(r.silent);
  findInRow<QCheckBox>(row, "cbKoveto")->setChecked(r.follower);
  findInRow<RadioGroup>(row, "rgZonaBek")->setItemIndex(r.inputType);
  findInRow<RadioGroup>(row, "rgZonaPart")->setItemIndex(r.partition);
  findInRow<QSpinBox>(row, "edZonaErz")->setValue(r.sensitivity);
  findInRow<QSpinBox>(row, "edZonaBeKesl")->setValue(r.entryDelay);
  findInRow<QSpinBox>(row, "edZonaKiKesl")->setValue(r.exitDelay);
  findInRow<QSpinBox>(row, "edZonaIntel")->setValue(r.smartZoneTime);
  findInRow<QSpinBox>(row, "edZonaCover")->setValue(r.coverTime);
  findInRow<QComboBox>(row, "cbNightSet")->setCurrentIndex(r.nightSetting);
  findInRow<QLineEdit>(row, "edZonaNeve")->setText(qs(r.name));
  static const std::pair<const char*, const char*> kFields[] = {
      {"cbBypass", "bypass"},           {"cbZonaCsendes", "silent"},       {"cbKoveto", "follower"},
      {"rgZonaBek", "inputType"},       {"rgZonaPart", "partition"},       {"edZonaErz", "sensitivity"},
      {"edZonaBeKesl", "entryDelay"},   {"edZonaKiKesl", "exitDelay"},     {"edZonaIntel", "smartZoneTime"},
      {"edZonaCover", "coverTime"},     {"cbNightSet", "nightSetting"},    {"edZonaNeve", "name"}};
  const std::string path = "zones[" + std::to_string(z) + "].";
  for (const auto& [control, field] : kFields) markField(findInRow<QWidget>(row, control), ctx_, path + field);
  if (captionPad_ < 0) captionPad_ = rowCaptionPadding(array_->templateRow(), kZoneCaption, kZoneCaptionMargin);
  row->setCaption(QString::number(z + 1) + kZoneCaption + QString(captionPad_, u' '));
}

void ZonesPage::storeRow(RowPanel* row, int z) {
  ZoneRecord& r = ctx_.values.zones[z];
  r.bypass = findInRow<QCheckBox>(row, "cbBypass")->isChecked();
  r.silent = findInRow<QCheckBox>(row, "cbZonaCsendes")->isChecked();
  r.follower = findInRow<QCheckBox>(row, "cbKoveto")->isChecked();
  r.inputType = findInRow<RadioGroup>(row, "rgZonaBek")->itemIndex();
  r.partition = findInRow<RadioGroup>(row, "rgZonaPart")->itemIndex();
  r.sensitivity = findInRow<QSpinBox>(row, "edZonaErz")->value();
  r.entryDelay = findInRow<QSpinBox>(row, "edZonaBeKesl")->value();
  r.exitDelay = findInRow<QSpinBox>(row, "edZonaKiKesl")->value();
  r.smartZoneTime = findInRow<QSpinBox>(row, "edZonaIntel")->value();
  r.coverTime = findInRow<QSpinBox>(row, "edZonaCover")->value();
  r.nightSetting = findInRow<QComboBox>(row, "cbNightSet")->currentIndex();
  r.name = findInRow<QLineEdit>(row, "edZonaNeve")->text().toStdString();
}

void ZonesPage::load() {
  nightDelay_->setValue(ctx_.values.nightWalkTime);
  markField(nightDelay_, ctx_, "nightWalkTime");
}

void ZonesPage::save() { ctx_.values.nightWalkTime = nightDelay_->value(); }

}  // namespace corvanta
