#pragma once
// Messages and questions as real message boxes over a parent window.

#include "link/messenger.h"

class QWidget;

namespace corvanta {

class DialogMessenger : public Messenger {
 public:
  explicit DialogMessenger(QWidget* parent = nullptr) : parent_(parent) {}
  void showMessage(const QString& text, const QString& caption = {}) override;
  bool askYesNo(const QString& text, const QString& caption = {}) override;

 private:
  QWidget* parent_;
};

}  // namespace corvanta
