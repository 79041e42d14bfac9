#pragma once
// Messages and Yes/No questions as Qt message boxes over a parent window.

#include <QPointer>
#include <QWidget>

#include "link/messenger.h"

namespace corvanta {

class MessageBoxMessenger : public Messenger {
public:
    explicit MessageBoxMessenger(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    // Without a caption the box carries the application's title.
    void showMessage(const QString& text, const QString& caption = {}) override;
    bool askYesNo(const QString& text, const QString& caption = {}) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace corvanta
