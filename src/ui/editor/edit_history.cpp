#include "ui/editor/edit_history.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QUndoStack>

#include "params/field_catalogue.h"
#include "ui/editor/editor_context.h"
#include "ui/widgets/char_grid.h"
#include "ui/widgets/check_list.h"
#include "ui/widgets/panel_array.h"
#include "ui/widgets/radio_group.h"
#include "ui/widgets/row_cloning.h"
#include "ui/widgets/row_panel.h"

namespace corvanta {

namespace {

// The value a control showed when it last changed, by whomever.
constexpr const char* kShownProperty = "editHistoryValue";

QString stepText(const ControlAddress& a) {
  const fields::Field* f = fields::fieldAt(fieldPathAt(a));
  return f ? QString::fromStdString(f->caption) : a.control;
}

// A line edit that is a part of a spin box or a drop-down list, not a field.
bool isPartOfAnother(const QWidget* w) {
  const QWidget* p = w->parentWidget();
  return p && (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p));
}

}  // namespace

QVariant controlValue(const QWidget* control, int item) {
  if (auto* list = qobject_cast<const CheckList*>(control)) return list->isChecked(item);
  if (auto* box = qobject_cast<const QCheckBox*>(control)) return box->isChecked();
  if (auto* group = qobject_cast<const RadioGroup*>(control)) return group->itemIndex();
  if (auto* spin = qobject_cast<const QSpinBox*>(control)) return spin->value();
  if (auto* combo = qobject_cast<const QComboBox*>(control))
    return combo->isEditable() ? QVariant(combo->currentText()) : QVariant(combo->currentIndex());
  if (auto* grid = qobject_cast<const CharGrid*>(control)) return grid->cells();
  if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
  return {};
}

void setControlValue(QWidget* control, int item, const QVariant& value) {
  if (auto* list = qobject_cast<CheckList*>(control)) {
    list->setChecked(item, value.toBool());
  } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
    box->setChecked(value.toBool());
  } else if (auto* group = qobject_cast<RadioGroup*>(control)) {
    group->setItemIndex(value.toInt());
  } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
    spin->setValue(value.toInt());
  } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
    if (!combo->isEditable()) {
      combo->setCurrentIndex(value.toInt());
    } else {
      const int index = combo->findText(value.toString());
      combo->setCurrentIndex(index);
      // An editable box keeps its text when its index does not change.
      if (index < 0) combo->setEditText(value.toString());
    }
  } else if (auto* grid = qobject_cast<CharGrid*>(control)) {
    grid->setCells(value.toStringList());
  } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    edit->setText(value.toString());
  }
}

QWidget* focusWidgetOf(QWidget* control, int item) {
  if (auto* list = qobject_cast<CheckList*>(control))
    if (QWidget* box = list->itemBox(qMax(0, item))) return box;
  if (auto* group = qobject_cast<RadioGroup*>(control))
    if (QWidget* b = group->button(qMax(0, group->itemIndex()))) return b;
  return control;
}

// --- steps -------------------------------------------------------------------

FieldEdit::FieldEdit(EditTarget& target, ControlAddress address, QVariant before, QVariant after, int run)
    : target_(target), address_(std::move(address)), before_(std::move(before)), after_(std::move(after)), run_(run) {
  setText(stepText(address_));
}

bool FieldEdit::mergeWith(const QUndoCommand* other) {
  const auto* next = static_cast<const FieldEdit*>(other);
  if (next->address_ != address_ || next->run_ != run_) return false;
  after_ = next->after_;
  // Typed back to what it was: no step at all.
  setObsolete(before_ == after_);
  return true;
}

void FieldEdit::undo() { target_.applyEdit(address_, before_); }

void FieldEdit::redo() {
  if (made_) {
    made_ = false;
    return;
  }
  target_.applyEdit(address_, after_);
}

RecordsEdit::RecordsEdit(const QString& text, std::function<void()> undo, std::function<void()> redo)
    : undo_(std::move(undo)), redo_(std::move(redo)) {
  setText(text);
}

void RecordsEdit::redo() {
  if (made_) {
    made_ = false;
    return;
  }
  redo_();
}

// --- watching the controls ---------------------------------------------------

EditTracker::EditTracker(QUndoStack& stack, EditTarget& target, const EditorContext& context, QObject* parent)
    : QObject(parent), stack_(stack), target_(target), context_(context) {
  // A run of changes to one control ends when the focus moves on.
  connect(qApp, &QApplication::focusChanged, this, [this] { endRun(); });
}

void EditTracker::watchPage(int page, QWidget* pageWidget) {
  for (QWidget* w : pageWidget->findChildren<QWidget*>()) {
    if (w->isWindow() || isPartOfAnother(w)) continue;
    // Rows are watched copy by copy; the template row is never shown.
    bool inArray = false;
    for (QWidget* p = w->parentWidget(); p && p != pageWidget; p = p->parentWidget())
      if (qobject_cast<PanelArray*>(p)) inArray = true;
    if (!inArray) watch(w, w->objectName(), page, nullptr);
  }
}

void EditTracker::watchRow(int page, PanelArray* array, RowPanel* row) {
  for (QWidget* w : row->findChildren<QWidget*>())
    if (!w->isWindow() && !isPartOfAnother(w)) watch(w, templateName(w->objectName()), page, array);
}

void EditTracker::watch(QWidget* control, const QString& name, int page, PanelArray* array) {
  // Only the controls that show a field; a list's boxes are its items.
  if (name.isEmpty() || qobject_cast<CheckList*>(control->parentWidget())) return;
  const int record = array ? 0 : -1;
  const bool list = qobject_cast<CheckList*>(control) != nullptr;
  if (fieldPathAt({page, record, name, list ? 0 : -1}).empty()) return;

  if (auto* checks = qobject_cast<CheckList*>(control)) {
    connect(checks, &CheckList::clicked, this, [=, this](int item) {
      const bool on = checks->isChecked(item);
      changed(checks, name, item, !on, on, page, array);
    });
  } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
    connect(box, &QCheckBox::clicked, this,
            [=, this](bool on) { changed(box, name, -1, !on, on, page, array); });
  } else if (auto* group = qobject_cast<RadioGroup*>(control)) {
    connect(group, &RadioGroup::itemPicked, this,
            [=, this](int before, int after) { changed(group, name, -1, before, after, page, array); });
  } else {
    trackStored(control, name, page, array);
  }
}

void EditTracker::trackStored(QWidget* control, const QString& name, int page, PanelArray* array) {
  control->setProperty(kShownProperty, controlValue(control));
  const auto onChange = [=, this] {
    const QVariant before = control->property(kShownProperty);
    const QVariant after = controlValue(control);
    control->setProperty(kShownProperty, after);
    changed(control, name, -1, before, after, page, array);
  };
  if (auto* spin = qobject_cast<QSpinBox*>(control)) {
    connect(spin, &QSpinBox::valueChanged, this, onChange);
  } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
    if (combo->isEditable())
      connect(combo, &QComboBox::currentTextChanged, this, onChange);
    else
      connect(combo, &QComboBox::currentIndexChanged, this, onChange);
  } else if (auto* grid = qobject_cast<CharGrid*>(control)) {
    connect(grid, &CharGrid::cellsChanged, this, onChange);
  } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    connect(edit, &QLineEdit::textChanged, this, onChange);
  }
}

void EditTracker::changed(QWidget* control, const QString& name, int item, const QVariant& before,
                          const QVariant& after, int page, PanelArray* array) {
  if (context_.settingControls() || before == after) return;
  const int record = array ? array->recordOf(control) : -1;
  if (array && record < 0) return;
  stack_.push(new FieldEdit(target_, ControlAddress{page, record, name, item}, before, after, run_));
}

}  // namespace corvanta
