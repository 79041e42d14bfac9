#pragma once
// Escape closes a tool window as it closes a dialog.

class QAbstractButton;
class QWidget;

namespace corvanta {

// Through the window's own close button when it has one, so that a window
// whose button is greyed while it talks to the module stays open; without
// one the window is simply closed.
void closeOnEscape(QWidget* window, QAbstractButton* closeButton = nullptr);

}  // namespace corvanta
