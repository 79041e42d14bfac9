#pragma once
// "LCD-Kezelő": keypad backlight, the four keypad options and the door-chime
// inputs.

#include <array>

#include "ui/editor/editor_page.h"

class QCheckBox;

namespace corvanta {

class CheckList;
class RadioGroup;

class KeypadPage : public EditorPage {
  Q_OBJECT
 public:
  explicit KeypadPage(EditorContext& context, QWidget* parent = nullptr);
  void load() override;
  void save() override;

 private:
  RadioGroup* light_;
  std::array<QCheckBox*, 4> options_{};
  CheckList* doorChime_;
};

}  // namespace corvanta
