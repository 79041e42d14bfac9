#pragma once
// Row copies for the panel arrays. A row is described once (its template
// name, caption and a factory that builds its controls under their template
// names and connects them to the page's handlers); every copy is built by
// that factory and then renamed "<name>_Cl<n>", n counting every control
// copied since program start. Row callbacks reach a control in any copy by
// its template name through findInRow.

#include <functional>

#include <QString>

class QWidget;

namespace corvanta {

class RowPanel;

struct RowTemplate {
  QString name;     // "ZonaPanel"
  QString caption;  // ". Zóna"
  // Builds one row with controls named after the template ("cbBypass").
  std::function<RowPanel*(QWidget* parent)> build;
};

// The template row itself: built by the factory, names left as they are.
RowPanel* buildTemplateRow(const RowTemplate& t, QWidget* parent);

// A copy of the template row whose every named control (the row included)
// carries the clone suffix.
RowPanel* cloneRow(const RowTemplate& t, QWidget* parent);

// Number of controls copied so far; the next copy is numbered one higher.
int cloneCount();

// The first control among `container`'s children (depth first through
// child panels that do not match) whose name, cut before its last '_',
// equals `name`. Case-sensitive; nullptr when there is none.
QWidget* findInRow(const QWidget* container, const QString& name);

// A name with its clone suffix removed: everything from the last '_' on.
QString templateName(const QString& name);

// findInRow with the expected control type; nullptr when missing or of
// another type.
template <typename T>
T* findInRow(const QWidget* container, const QString& name) {
  return qobject_cast<T*>(findInRow(container, name));
}

}  // namespace corvanta
