#pragma once
// Stands in for message boxes and Yes/No questions: remembers what would have
// been shown and gives a set answer.

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "link/messenger.h"

namespace corvanta::testing {

struct Shown {
    QString text;
    QString caption;
    bool operator==(const Shown&) const = default;
};

class RecordingMessenger : public Messenger {
public:
    QStringList messages;      // texts of the messages
    QStringList questions;     // texts of the questions
    std::vector<Shown> shown;  // messages and questions in turn, with captions
    bool answerYes = true;
    // Run while a question or a message is up, to look at the windows
    // behind it.
    std::function<void()> whileAsking;
    std::function<void()> whileShowing;

    void showMessage(const QString& text, const QString& caption = {}) override {
        messages << text;
        shown.push_back({text, caption});
        if (whileShowing) whileShowing();
    }
    bool askYesNo(const QString& text, const QString& caption = {}) override {
        questions << text;
        shown.push_back({text, caption});
        if (whileAsking) whileAsking();
        return answerYes;
    }

    // The texts of everything shown, in turn.
    QStringList texts() const {
        QStringList all;
        for (const auto& s : shown) all << s.text;
        return all;
    }
};

}  // namespace corvanta::testing
