#include "ui/editor/keypad_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

#include "ui/widgets/check_list.h"
#include "ui/editor/editor_widgets.h"
#include "ui/widgets/radio_group.h"

namespace corvanta {

KeypadPage::KeypadPage(EditorContext& context, QWidget* parent)
    : EditorPage(QStringLiteral("TabSheet7"), context, parent) {
  using namespace controls;
  light_ = new RadioGroup(QStringLiteral(" Háttérvilágítás "), itemTexts(rgKEYPAD_LIGHT), 1, this);
  light_->setObjectName(qs(rgKEYPAD_LIGHT.name));
  light_->setItemIndex(0);
  light_->alignCaptionsAt(u'-');

  const std::pair<const char*, const char*> options[] = {
      {"cbKEYPAD_NightArmSilent", "Kezelő némítás éjszakai élesített állapotban"},
      {"cb_KEYPAD_AlarmBeep", "Riasztáskor hangjelzés a kezelőn"},
      {"cb_KEYPAD_QuickArm",
       "Gyorsélesítés engedélyezése  ( 1-es gomb hosszan nyomva tartva a kezelőn = partíció 1,   2 = "
       "partíció 2,   3 = partíció 1&&2,   4 = éjszakai élesítés)"},
      {"cb_ZoneView_Enabled",
       "Zóna figyelés engedélyezése  ( 7-es gomb hosszan nyomva tartva = nincs kijelzés, 8 = kijelzés "
       "számokkal, 9 = kijelzés zóna nevek szerint )"}};
  for (int i = 0; i < 4; ++i) {
    options_[i] = new QCheckBox(QString::fromUtf8(options[i].second), this);
    options_[i]->setObjectName(options[i].first);
  }

  auto* chime = new QGroupBox(QStringLiteral(" Kapucsengő funkció "), this);
  chime->setObjectName("GroupKapuCseng");
  doorChime_ = new CheckList(itemTexts(cbINjelez), 3, chime);
  doorChime_->setObjectName(qs(cbINjelez.name));
  auto* chimeLayout = new QVBoxLayout(chime);
  chimeLayout->addWidget(doorChime_);

  auto* l = new QVBoxLayout(this);
  l->setSpacing(10);
  l->addWidget(light_, 0, Qt::AlignLeft);
  for (auto* o : options_) l->addWidget(o, 0, Qt::AlignLeft);
  l->addWidget(chime, 0, Qt::AlignLeft);
  l->addStretch();
}

void KeypadPage::load() {
  const KeypadSettings& k = ctx_.values.keypad;
  light_->setItemIndex(k.backlight);
  options_[0]->setChecked(k.nightArmSilent);
  options_[1]->setChecked(k.alarmBeep);
  options_[2]->setChecked(k.quickArm);
  options_[3]->setChecked(k.zoneView);
  for (int i = 0; i < doorChime_->count(); ++i) {
    doorChime_->setChecked(i, ctx_.values.doorChime[i]);
    markField(doorChime_->itemBox(i), ctx_, "doorChime[" + std::to_string(i) + "]");
  }
  markField(light_, ctx_, "keypad.backlight");
  const char* const options[] = {"nightArmSilent", "alarmBeep", "quickArm", "zoneView"};
  for (int i = 0; i < 4; ++i) markField(options_[i], ctx_, std::string("keypad.") + options[i]);
}

void KeypadPage::save() {
  KeypadSettings& k = ctx_.values.keypad;
  k.backlight = light_->itemIndex();
  k.nightArmSilent = options_[0]->isChecked();
  k.alarmBeep = options_[1]->isChecked();
  k.quickArm = options_[2]->isChecked();
  k.zoneView = options_[3]->isChecked();
  for (int i = 0; i < doorChime_->count(); ++i) ctx_.values.doorChime[i] = doorChime_->isChecked(i);
}

}  // namespace corvanta
