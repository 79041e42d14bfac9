#include "ui/widgets/escape_closes.h"

#include <QAbstractButton>
#include <QPointer>
#include <QShortcut>
#include <QWidget>

namespace corvanta {

void closeOnEscape(QWidget* window, QAbstractButton* closeButton) {
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
  escape->setContext(Qt::WindowShortcut);
  const bool viaButton = closeButton != nullptr;
  QPointer<QAbstractButton> button = closeButton;
  QObject::connect(escape, &QShortcut::activated, window, [window, button, viaButton] {
    if (!viaButton)
      window->close();
    else if (button && button->isEnabled())
      button->click();
  });
}

}  // namespace corvanta
