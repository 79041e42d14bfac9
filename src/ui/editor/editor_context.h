#pragma once
// What the editor's pages share: the working values that decode fills and
// encode reads, the fields the image holds outside the format, the
// row-being-filled flag, the message interface and the click handler of the
// small check controls inside rows.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "params/working_records.h"

class QWidget;

namespace corvanta {

class Messenger;

struct EditorContext {
  ParameterValues values;
  // The fields the decoded image holds outside the format, by key path
  // ("zones[2].smartZoneTime"), with their bytes: their controls say so.
  std::map<std::string, std::vector<std::uint8_t>> outOfFormat;
  bool fillingRow = false;
  // Above 0 while the program itself sets controls (a decode, a step of the
  // undo history being taken back): those changes are no steps of their own.
  int quiet = 0;
  Messenger* messenger = nullptr;

  // Whether a change of a control now is the program's rather than the user's.
  bool settingControls() const { return fillingRow || quiet > 0; }

  // Shared by the check boxes and check lists inside rows: drops the list's
  // item highlight and, unless a row is being filled, hands the focus to
  // the page panel so that no focus frame stays on the small control.
  void rowControlClicked(QWidget* control) const;
};

// Raises the row-being-filled flag for the duration of a fill.
class RowFillScope {
 public:
  explicit RowFillScope(EditorContext& c) : c_(c) { c_.fillingRow = true; }
  ~RowFillScope() { c_.fillingRow = false; }
  RowFillScope(const RowFillScope&) = delete;
  RowFillScope& operator=(const RowFillScope&) = delete;

 private:
  EditorContext& c_;
};

// Marks the program's own changes of controls for the duration of a scope.
class QuietScope {
 public:
  explicit QuietScope(EditorContext& c) : c_(c) { ++c_.quiet; }
  ~QuietScope() { --c_.quiet; }
  QuietScope(const QuietScope&) = delete;
  QuietScope& operator=(const QuietScope&) = delete;

 private:
  EditorContext& c_;
};

}  // namespace corvanta
