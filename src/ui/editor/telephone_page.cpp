#include "ui/editor/telephone_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "link/messenger.h"
#include "params/field_rules.h"
#include "ui/widgets/char_grid.h"
#include "ui/widgets/control_hint.h"
#include "ui/editor/editor_widgets.h"

namespace corvanta {

namespace {

const QString kTestTimeMessage = QStringLiteral("A tesztjelentés időpontja 00:00 és 23:59 közé eshet!");

struct PhoneRow {
  PhoneIndex index;
  const char* grid;
  const char* label;
  const char* caption;
};

// Screen order: the four numbers with acknowledgement, the two central
// station numbers, the account (inserted before the last), SMS forwarding.
constexpr PhoneRow kPhoneRows[] = {
    {kPhone1, "acgTel1", "lbTPhone1", "1. Telefonszám"},
    {kPhone2, "acgTel2", "lbTPhone2", "2. Telefonszám"},
    {kPhone3, "acgTel3", "lbTPhone3", "3. Telefonszám"},
    {kPhone4, "acgTel4", "lbTPhone4", "4. Telefonszám"},
    {kCentralPhone1, "acgTelCentr1", "lbTCentrPhone1", "1. Központ tel."},
    {kCentralPhone2, "acgTelCentr2", "lbTCentrPhone2", "2. Központ tel."},
    {kSmsForwardPhone, "acgSMSFW", "lbTSMSforward", "SMS továbbítás"},
};

QFrame* makeInnerPanel(QWidget* parent, const QString& name) {
  auto* f = new QFrame(parent);
  f->setObjectName(name);
  f->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  return f;
}

}  // namespace

TelephonePage::TelephonePage(EditorContext& context, QWidget* parent)
    : EditorPage(QStringLiteral("TabSheet5"), context, parent) {
  QFrame* panel = makePagePanel(QStringLiteral("FoPanel5"));
  using namespace controls;

  // Numbers: label, grid, acknowledgement, one line each.
  auto* phones = new QGridLayout;
  phones->setVerticalSpacing(6);
  phones->setHorizontalSpacing(10);
  auto* ackTitle = makeLabel(panel, "lbTACK", "Nyugtázás");
  phones->addWidget(ackTitle, 0, 2);
  int line = 1;
  for (const PhoneRow& p : kPhoneRows) {
    if (p.index == kSmsForwardPhone) {
      phones->addWidget(makeLabel(panel, "lbTUserID", "Ügyfél azonosító"), line, 0);
      account_ = new CharGrid(CharGrid::Kind::Account, kAccountCells, panel);
      account_->setObjectName("acgUserAccount");
      setHint(account_, "lbTUserID");
      phones->addWidget(account_, line++, 1, Qt::AlignLeft);
    }
    phones->addWidget(makeLabel(panel, p.label, p.caption), line, 0);
    auto* grid = new CharGrid(CharGrid::Kind::Telephone, kPhoneCells, panel);
    grid->setObjectName(p.grid);
    setHint(grid, p.label);
    phones_[p.index] = grid;
    phones->addWidget(grid, line, 1, Qt::AlignLeft);
    if (p.index <= kPhone4) {
      acks_[p.index] = makeCombo(panel, kAckLists[p.index], QString(p.label) + "+lbTACK");
      phones->addWidget(acks_[p.index], line, 2);
    }
    ++line;
  }

  // Siren outputs, tamper option and test report. The settings text walks a
  // panel by left edge, then top, so every control of this panel stands at
  // one left edge in the written order: each label and its control share a
  // plain panel of their own, and the panels are stacked.
  QFrame* sirens = makeInnerPanel(panel, "Panel45");
  setHint(sirens, "lbTSirenOuts");
  auto* s = new QVBoxLayout(sirens);
  s->setSpacing(4);
  auto* sirenTitle = makeLabel(sirens, "lbTSirenOuts", "Sziréna kimenetek beállítása:");
  QFont bold = sirenTitle->font();
  bold.setBold(true);
  sirenTitle->setFont(bold);
  s->addWidget(sirenTitle);
  const int outWidth = QFontMetrics(sirens->font()).horizontalAdvance(QStringLiteral("OUT 1 :")) + 8;
  int timingWidth = 0;
  for (const char* t : {"Start késleltetés ( 0-255 sec ) :", "Maximális időtartam ( 1-25 perc ) :"})
    timingWidth = qMax(timingWidth, QFontMetrics(sirens->font()).horizontalAdvance(QString::fromUtf8(t)) + 8);
  // One line of the panel: an optional indent, a label of fixed width, then
  // the control.
  const auto panelLine = [&](int indent, const QString& labelName, const QString& text, int labelWidth) {
    auto* box = new QWidget(sirens);
    auto* h = new QHBoxLayout(box);
    h->setContentsMargins(indent, 0, 0, 0);
    h->setSpacing(0);
    auto* label = makeLabel(box, labelName, text);
    label->setFixedWidth(labelWidth);
    h->addWidget(label);
    s->addWidget(box);
    return std::pair{box, h};
  };
  for (int o = 0; o < kSirenCount; ++o) {
    const QString n = QString::number(o + 1);
    const QString out = "lbtOUT" + n;
    auto [modeBox, mode] = panelLine(0, out, "OUT " + n + " :", outWidth);
    outModes_[o] = makeCombo(modeBox, kOutModes[o], out);
    mode->addWidget(outModes_[o], 1);
    auto [delayBox, delay] = panelLine(outWidth, "lbTStartDelay" + n, "Start késleltetés ( 0-255 sec ) :", timingWidth);
    outDelays_[o] = makeSpin(delayBox, kOutDelays[o], out + "+lbTStartDelay" + n);
    delay->addWidget(outDelays_[o], 1);
    auto [timeBox, time] = panelLine(outWidth, "lbTMaxTime" + n, "Maximális időtartam ( 1-25 perc ) :", timingWidth);
    outTimes_[o] = makeSpin(timeBox, kOutTimes[o], out + "+lbTMaxTime" + n);
    time->addWidget(outTimes_[o], 1);
  }
  auto* tamperBox = new QWidget(sirens);
  auto* tamper = new QHBoxLayout(tamperBox);
  tamper->setContentsMargins(outWidth, 4, 0, 4);
  tamperSiren_ = new QCheckBox(tamperBox);
  tamperSiren_->setObjectName("cbSabotageSiren");
  setHint(tamperSiren_, "lbSabotageSiren+lbSabotageSiren2");
  tamper->addWidget(tamperSiren_);
  auto* tamperText = new QVBoxLayout;
  tamperText->setSpacing(0);
  tamperText->addWidget(makeLabel(tamperBox, "lbSabotageSiren", "Szabotázs esetén OUT1, OUT2"));
  tamperText->addWidget(makeLabel(tamperBox, "lbSabotageSiren2", "kikapcsolt állapotnál is jelez"));
  tamper->addLayout(tamperText, 1);
  s->addWidget(tamperBox);
  QFrame* test = makeInnerPanel(sirens, "Panel96");
  auto* t = new QGridLayout(test);
  t->addWidget(makeLabel(test, "lbTTestTime", "Tesztjelentés időpontja (óó:pp) :"), 0, 0);
  testTime_ = new QLineEdit(test);
  testTime_->setObjectName("meTesztIdopont");
  // Hour tens may be left blank; the other three places take a digit.
  testTime_->setInputMask(QStringLiteral("09:99;_"));
  testTime_->setText(QStringLiteral("00:00"));
  testTime_->setFixedWidth(testTime_->fontMetrics().horizontalAdvance(QStringLiteral("00:000")) + 14);
  checkOnLeave(testTime_, [this] { checkTestTime(); });
  setHint(testTime_, "lbTTestTime");
  t->addWidget(testTime_, 0, 1);
  t->addWidget(makeLabel(test, "lbTTestFreq", "Tesztjelentés gyakorisága (0 - 255 nap) :"), 1, 0);
  testPeriod_ = makeSpin(test, edTesztGyak, "lbTTestFreq");
  t->addWidget(testPeriod_, 1, 1);
  s->addWidget(test);

  // Arm/disarm mode of inputs A and B and the module-wide limits: labels on
  // the left, the controls in one column in their written order, the mode
  // button under the mode it changes.
  QFrame* general = makeInnerPanel(panel, "Panel46");
  auto* g = new QGridLayout(general);
  g->setVerticalSpacing(6);
  // The two longest labels wrap, so that the panel is no wider than the
  // siren panel above it.
  int generalWidth = 0;
  for (const char* t : {"A riasztás maximális ideje ( 5-25 perc ) :", "(1-255 óra,  0=auto élesítés kikapcsolva)",
                        "Egy zónáról küldhető riasztások maximális száma :"})
    generalWidth = qMax(generalWidth, QFontMetrics(general->font()).horizontalAdvance(QString::fromUtf8(t)) + 4);
  const auto wrapped = [&](QLabel* label) {
    label->setWordWrap(true);
    label->setFixedWidth(generalWidth);
    return label;
  };
  g->addWidget(wrapped(makeLabel(general, "lbTOnOffAB", "Élesítés és kikapcsolás módja az A és B bemeneteken :")), 0,
               0, 2, 1);
  onOffMode_ = makeSpin(general, edOnOffMode, "lbTOnOffAB");
  g->addWidget(onOffMode_, 0, 1, Qt::AlignLeft);
  onOffButton_ = new QPushButton(QStringLiteral("Módosítás"), general);
  onOffButton_->setObjectName("btOnOffMode");
  g->addWidget(onOffButton_, 1, 1, Qt::AlignLeft);
  connect(onOffButton_, &QPushButton::clicked, this, [this] {
    if (chooseMode_) onOffMode_->setValue(chooseMode_(onOffMode_->value()));
  });
  g->addWidget(wrapped(makeLabel(general, "lbTAlarmMax", "A riasztás maximális ideje ( 5-25 perc ) :")), 2, 0);
  alarmMax_ = makeSpin(general, edAlarmMax, "lbTAlarmMax");
  g->addWidget(alarmMax_, 2, 1, Qt::AlignLeft);
  auto* zoneMax = new QVBoxLayout;
  zoneMax->setSpacing(0);
  zoneMax->addWidget(
      wrapped(makeLabel(general, "lbTZoneAlarmMax", "Egy zónáról küldhető riasztások maximális száma :")));
  zoneMax->addWidget(makeLabel(general, "lbTZoneAlarmMaxLine2", "(0-25,  0=nincs korlátozva)"));
  g->addLayout(zoneMax, 3, 0);
  zoneAlarmMax_ = makeSpin(general, edZoneAlarmMax, "lbTZoneAlarmMax+lbTZoneAlarmMaxLine2");
  g->addWidget(zoneAlarmMax_, 3, 1, Qt::AlignLeft);
  auto* autoArm = new QVBoxLayout;
  autoArm->setSpacing(0);
  autoArm->addWidget(
      wrapped(makeLabel(general, "lbTAutoArm", "Automatikus élesítés adott idő után, ha nincs mozgás :")));
  autoArm->addWidget(makeLabel(general, "lbTAutoArmLine2", "(1-255 óra,  0=auto élesítés kikapcsolva)"));
  g->addLayout(autoArm, 4, 0);
  autoArm_ = makeSpin(general, edAutoArm, "lbTAutoArm+lbTAutoArmLine2");
  g->addWidget(autoArm_, 4, 1, Qt::AlignLeft);

  // Numbers on the left; the siren panel and below it the general panel in
  // one column on the right, sharing its left edge.
  auto* l = new QGridLayout(panel);
  l->setHorizontalSpacing(16);
  l->setVerticalSpacing(10);
  l->addLayout(phones, 0, 0, 2, 1, Qt::AlignLeft | Qt::AlignTop);
  l->addWidget(sirens, 0, 1, Qt::AlignTop);
  l->addWidget(general, 1, 1, Qt::AlignTop);
  l->setRowStretch(2, 1);
  l->setColumnStretch(2, 1);
}

void TelephonePage::load() {
  const ParameterValues& v = ctx_.values;
  for (int p = 0; p < kPhoneCount; ++p) {
    for (int c = 0; c < controls::kPhoneCells; ++c) {
      const char ch = v.phones[p][c];
      phones_[p]->setCell(c, ch ? QString(QChar(ch)) : QString());
    }
    phones_[p]->setActiveCell(0);
  }
  for (int c = 0; c < controls::kAccountCells; ++c)
    account_->setCell(c, v.account[c] ? QString(QChar(v.account[c])) : QString());
  account_->setActiveCell(0);
  for (int a = 0; a < 4; ++a) acks_[a]->setCurrentIndex(v.ackModes[a]);
  onOffMode_->setValue(v.onOffMode);
  alarmMax_->setValue(v.alarmMaxTime);
  zoneAlarmMax_->setValue(v.zoneAlarmMax);
  lastTestTime_ = qs(v.testTime);
  testTime_->setText(lastTestTime_);
  testPeriod_->setValue(v.testPeriod);
  autoArm_->setValue(v.autoArmHours);
  for (int o = 0; o < kSirenCount; ++o) {
    outModes_[o]->setCurrentIndex(v.sirens[o].mode);
    outDelays_[o]->setValue(v.sirens[o].startDelay);
    outTimes_[o]->setValue(v.sirens[o].maxTime);
  }
  tamperSiren_->setChecked(v.tamperSiren);

  for (int p = 0; p < kPhoneCount; ++p) markField(phones_[p], ctx_, "phones[" + std::to_string(p) + "]");
  markField(account_, ctx_, "account");
  for (int a = 0; a < 4; ++a) markField(acks_[a], ctx_, "ackModes[" + std::to_string(a) + "]");
  for (int o = 0; o < kSirenCount; ++o) {
    const std::string siren = "sirens[" + std::to_string(o) + "].";
    markField(outModes_[o], ctx_, siren + "mode");
    markField(outDelays_[o], ctx_, siren + "startDelay");
    markField(outTimes_[o], ctx_, siren + "maxTime");
  }
  const std::pair<QWidget*, const char*> single[] = {
      {onOffMode_, "onOffMode"},       {alarmMax_, "alarmMaxTime"}, {zoneAlarmMax_, "zoneAlarmMax"},
      {testTime_, "testTime"},         {testPeriod_, "testPeriod"}, {autoArm_, "autoArmHours"},
      {tamperSiren_, "tamperSiren"}};
  for (const auto& [control, field] : single) markField(control, ctx_, field);
}

void TelephonePage::checkTestTime() {
  // The module's own time, however odd, is left as it is until it is typed over.
  if (showsStoredValue(testTime_)) return;
  // The shown text keeps a blank hour place as '_': "7_:05" is 07:05.
  if (auto time = normalTestTime(testTime_->displayText().toStdString())) {
    lastTestTime_ = qs(*time);
    testTime_->setText(lastTestTime_);
    return;
  }
  testTime_->setText(lastTestTime_);
  if (ctx_.messenger) ctx_.messenger->showMessage(kTestTimeMessage);
}

void TelephonePage::save() {
  ParameterValues& v = ctx_.values;
  for (int p = 0; p < kPhoneCount; ++p)
    for (int c = 0; c < controls::kPhoneCells; ++c) {
      const QString cell = phones_[p]->cell(c);
      v.phones[p][c] = cell.isEmpty() ? '\0' : char(cell[0].unicode());
    }
  for (int c = 0; c < controls::kAccountCells; ++c) {
    const QString cell = account_->cell(c);
    v.account[c] = cell.isEmpty() ? '\0' : char(cell[0].unicode());
  }
  for (int a = 0; a < 4; ++a) v.ackModes[a] = acks_[a]->currentIndex();
  v.onOffMode = onOffMode_->value();
  v.alarmMaxTime = alarmMax_->value();
  v.zoneAlarmMax = zoneAlarmMax_->value();
  v.testTime = normalTestTime(testTime_->displayText().toStdString()).value_or(lastTestTime_.toStdString());
  v.testPeriod = testPeriod_->value();
  v.autoArmHours = autoArm_->value();
  for (int o = 0; o < kSirenCount; ++o) {
    v.sirens[o].mode = outModes_[o]->currentIndex();
    v.sirens[o].startDelay = outDelays_[o]->value();
    v.sirens[o].maxTime = outTimes_[o]->value();
  }
  v.tamperSiren = tamperSiren_->isChecked();
}

}  // namespace corvanta
