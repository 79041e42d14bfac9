#include "ui/editor/editor_context.h"

#include <QApplication>

#include "ui/widgets/check_list.h"
#include "ui/widgets/panel_array.h"

namespace corvanta {

void EditorContext::rowControlClicked(QWidget* control) const {
  if (auto* list = qobject_cast<CheckList*>(control)) list->clearHighlight();
  if (fillingRow || !control) return;
  // Space on a box the keyboard went to leaves the focus there.
  if (control->hasFocus() || control->isAncestorOf(QApplication::focusWidget())) return;
  for (QWidget* w = control->parentWidget(); w; w = w->parentWidget()) {
    if (qobject_cast<PanelArray*>(w)) {
      if (QWidget* page = w->parentWidget()) page->setFocus(Qt::OtherFocusReason);
      return;
    }
  }
}

}  // namespace corvanta
