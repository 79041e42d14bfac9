#pragma once
// The undo history of the open editor, on Qt's undo framework: every change
// the user makes to a control is one step, named by the field it changed
// ("3. Zóna · Belépési késlelt."). Keys typed into one field, clicks on one
// spin box's arrows, are one step until the focus moves on. A step is kept
// by the control's place (page, record, control, item), never by the
// widget: row copies are rebuilt and re-bound to other records all the
// time. Taking a step back or forward shows its page, scrolls its row into
// view, sets the value and puts the focus on the control.

#include <functional>

#include <QObject>
#include <QUndoCommand>
#include <QVariant>

#include "ui/editor/field_controls.h"

class QUndoStack;
class QWidget;

namespace corvanta {

struct EditorContext;
class PanelArray;
class RowPanel;

// The value a control shows, as one QVariant whatever its kind (a check
// list's item: bool; a spin box: int; a drop-down list: its index, an
// editable one its text; a line edit: text; a digit grid: its cells).
QVariant controlValue(const QWidget* control, int item = -1);
void setControlValue(QWidget* control, int item, const QVariant& value);
// The widget to focus for a control's item (a check list's box, a radio
// group's chosen option).
QWidget* focusWidgetOf(QWidget* control, int item);

// Where a step taken back or forward lands: the editor shows the control
// and sets its value.
class EditTarget {
 public:
  virtual ~EditTarget() = default;
  virtual void applyEdit(const ControlAddress& address, const QVariant& value) = 0;
};

// One change of one control.
class FieldEdit : public QUndoCommand {
 public:
  static constexpr int kId = 1;

  FieldEdit(EditTarget& target, ControlAddress address, QVariant before, QVariant after, int run);

  int id() const override { return kId; }
  bool mergeWith(const QUndoCommand* other) override;
  void undo() override;
  void redo() override;

  const ControlAddress& address() const { return address_; }
  const QVariant& before() const { return before_; }
  const QVariant& after() const { return after_; }

 private:
  EditTarget& target_;
  ControlAddress address_;
  QVariant before_;
  QVariant after_;
  int run_;
  bool made_ = true;  // pushed after the user made it: the first redo is no change
};

// A change of whole records at once (a pasted row): taken back and forth
// by the two functions given.
class RecordsEdit : public QUndoCommand {
 public:
  RecordsEdit(const QString& text, std::function<void()> undo, std::function<void()> redo);
  void undo() override { undo_(); }
  void redo() override;

 private:
  std::function<void()> undo_;
  std::function<void()> redo_;
  bool made_ = true;
};

// Watches the editor's controls and pushes a FieldEdit for each change the
// user makes; the program's own changes (EditorContext::settingControls)
// are left out.
class EditTracker : public QObject {
  Q_OBJECT
 public:
  EditTracker(QUndoStack& stack, EditTarget& target, const EditorContext& context, QObject* parent = nullptr);

  // The controls of a page, those of its rows left out.
  void watchPage(int page, QWidget* pageWidget);
  // The controls of one row copy of a row page.
  void watchRow(int page, PanelArray* array, RowPanel* row);
  // Ends the run of changes that make one step (the focus moved, a step
  // was taken back).
  void endRun() { ++run_; }

 private:
  void watch(QWidget* control, const QString& name, int page, PanelArray* array);
  void changed(QWidget* control, const QString& name, int item, const QVariant& before, const QVariant& after,
               int page, PanelArray* array);
  void trackStored(QWidget* control, const QString& name, int page, PanelArray* array);

  QUndoStack& stack_;
  EditTarget& target_;
  const EditorContext& context_;
  int run_ = 0;
};

}  // namespace corvanta
