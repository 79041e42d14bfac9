#pragma once
// The settings listing of the parameter editor: a walk over its pages that
// gives every control a line with its name, value and the texts of the
// labels its hint names, and every panel array a table with one line per
// record. The line shapes and alignment passes are listing::'s.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "params/parameter_image.h"

class QWidget;

namespace corvanta {

class ParameterEditor;
class PanelArray;

class SettingsExport {
 public:
  // Hints are looked up in `window` (the editor).
  explicit SettingsExport(const QWidget* window);

  // The listing of `root` and everything under it.
  QStringList exportSettingsText(QWidget* root);

  // What a control shows; with item texts, a radio group or combo box adds
  // its selected item's caption or, without one, what its hint names.
  QString controlValueText(const QWidget* control, bool withItemTexts);
  // The value texts of the controls alternative `index` of `hint` names.
  QString hintReferenceText(const QString& hint, int index);
  // Depth first through the panels, pages and the page control of the
  // window, in child order; nullptr when there is none.
  QWidget* findControlByName(const QString& name);

 private:
  void walk(QWidget* w, QStringList& out);
  void table(const PanelArray* array, QStringList& out);

  const QWidget* window_;
  QHash<QString, QWidget*> names_;
  QList<const QWidget*> resolving_;
  bool namesIndexed_ = false;
};

// The transfer window's export: the image decoded into the (hidden) editor,
// laid out, and listed from its page control.
QStringList exportEditorSettings(ParameterEditor& editor, const ParameterImage& image);

}  // namespace corvanta
