#include "ui/widgets/row_cloning.h"

#include <QFrame>

#include "ui/widgets/row_panel.h"

namespace corvanta {

namespace {

int clonesMade = 0;

// Panels hold further controls of the row; every other control builds its
// own parts (a spin edit's line edit, a radio group's buttons) and is copied
// as a whole.
bool isPanel(const QWidget* w) {
  const QMetaObject* m = w->metaObject();
  return m == &QWidget::staticMetaObject || m == &QFrame::staticMetaObject ||
         m == &RowPanel::staticMetaObject;
}

void renameTree(QWidget* w) {
  if (!w->objectName().isEmpty())
    w->setObjectName(w->objectName() + QStringLiteral("_Cl") + QString::number(++clonesMade));
  if (!isPanel(w)) return;
  for (QObject* child : w->children())
    if (child->isWidgetType()) renameTree(static_cast<QWidget*>(child));
}

}  // namespace

RowPanel* buildTemplateRow(const RowTemplate& t, QWidget* parent) {
  RowPanel* row = t.build(parent);
  row->setObjectName(t.name);
  return row;
}

RowPanel* cloneRow(const RowTemplate& t, QWidget* parent) {
  RowPanel* row = buildTemplateRow(t, parent);
  renameTree(row);
  return row;
}

int cloneCount() { return clonesMade; }

QString templateName(const QString& name) {
  const qsizetype cut = name.lastIndexOf(u'_');
  return cut < 0 ? name : name.left(cut);
}

QWidget* findInRow(const QWidget* container, const QString& name) {
  if (!container) return nullptr;
  for (QObject* child : container->children()) {
    if (!child->isWidgetType()) continue;
    auto* w = static_cast<QWidget*>(child);
    if (templateName(w->objectName()) == name) return w;
    if (isPanel(w))
      if (QWidget* found = findInRow(w, name)) return found;
  }
  return nullptr;
}

}  // namespace corvanta
