#pragma once
// Message boxes and Yes/No questions as the logic needs them. Windows answer
// with real dialogs; the command-line tool prints; tests record.

#include <QString>

namespace corvanta {

class Messenger {
public:
    virtual ~Messenger() = default;
    virtual void showMessage(const QString& text, const QString& caption = {}) = 0;
    virtual bool askYesNo(const QString& text, const QString& caption = {}) = 0;
};

}  // namespace corvanta
