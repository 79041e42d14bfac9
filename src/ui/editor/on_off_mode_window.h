#pragma once
// The arm/disarm input mode window: explains the four modes of inputs A and
// B in words and lets the user pick one.

#include <QDialog>

namespace corvanta {

class RadioGroup;

class OnOffModeWindow : public QDialog {
  Q_OBJECT
 public:
  explicit OnOffModeWindow(QWidget* parent = nullptr);

  // Shows `mode` selected, runs modally and returns the mode picked with
  // "Bezárás", or `mode` unchanged when the window is closed otherwise.
  int choose(int mode);
  // The same, without running: select `mode` before showing.
  void present(int mode);
  int selectedMode() const;
  RadioGroup* modeGroup() const { return group_; }

 private:
  RadioGroup* group_;
};

}  // namespace corvanta
