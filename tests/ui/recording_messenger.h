#pragma once
// Stands in for message boxes: remembers what would have been shown.

#include <QStringList>

#include "link/messenger.h"

namespace corvanta {

class RecordingMessenger : public Messenger {
 public:
  void showMessage(const QString& text, const QString& = {}) override { messages << text; }
  bool askYesNo(const QString& text, const QString& = {}) override {
    messages << text;
    return answer;
  }
  QStringList messages;
  bool answer = true;
};

}  // namespace corvanta
