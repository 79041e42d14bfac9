#pragma once
// "Telefonszámok && egyéb paraméterek": the telephone numbers with their
// acknowledgement modes, the customer account, the siren outputs, the test
// report and the module-wide limits. No rows: every value has its control.
// The test report time is checked when the focus leaves it (hours 0..23,
// minutes 0..59); a wrong one gives way to the last good one. A time the
// module holds past the day (an erased 99:99) stays until it is typed over.

#include <array>
#include <functional>

#include <QString>

#include "ui/editor/editor_page.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace corvanta {

class CharGrid;

class TelephonePage : public EditorPage {
  Q_OBJECT
 public:
  explicit TelephonePage(EditorContext& context, QWidget* parent = nullptr);
  void load() override;
  void save() override;

  // Asked by "Módosítás" with the current arm/disarm mode; returns the mode
  // to show.
  void setModeChooser(std::function<int(int)> chooser) { chooseMode_ = std::move(chooser); }

 private:
  void checkTestTime();

  std::array<CharGrid*, kPhoneCount> phones_{};
  CharGrid* account_;
  std::array<QComboBox*, 4> acks_{};
  std::array<QComboBox*, kSirenCount> outModes_{};
  std::array<QSpinBox*, kSirenCount> outDelays_{};
  std::array<QSpinBox*, kSirenCount> outTimes_{};
  QCheckBox* tamperSiren_;
  QLineEdit* testTime_;
  QString lastTestTime_;
  QSpinBox* testPeriod_;
  QSpinBox* onOffMode_;
  QPushButton* onOffButton_;
  QSpinBox* alarmMax_;
  QSpinBox* zoneAlarmMax_;
  QSpinBox* autoArm_;
  std::function<int(int)> chooseMode_;
};

}  // namespace corvanta
