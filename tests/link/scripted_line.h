#pragma once
// A serial-like line for link tests: records what the program writes and,
// line by line, answers from a script through the event loop, as a real port
// delivers bytes.

#include <QTimer>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/transport.h"

namespace corvanta::testing {

class ScriptedLine : public Transport {
public:
    // Answer for a complete written line (without CR); empty: stay silent.
    std::function<std::string(const std::string& line)> answer;
    std::string written;             // every byte written
    std::vector<std::string> lines;  // written, split at CR

    bool open(QString*) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool write(const QByteArray& bytes) override {
        if (!open_) return false;
        for (char c : bytes) {
            written.push_back(c);
            if (c != '\r') {
                pending_.push_back(c);
                continue;
            }
            lines.push_back(pending_);
            const std::string reply = answer ? answer(pending_) : std::string();
            pending_.clear();
            if (!reply.empty()) deliver(reply);
        }
        return true;
    }
    QByteArray readAll() override {
        QByteArray out = inbox_;
        inbox_.clear();
        return out;
    }
    QString name() const override { return QStringLiteral("scripted"); }

    // Bytes that reached the computer now, announced only once the event
    // loop runs, as a port's notice is: until then they wait in its buffer.
    void arrive(const std::string& bytes) {
        inbox_.append(bytes.data(), qsizetype(bytes.size()));
        QTimer::singleShot(0, this, [this] {
            if (!inbox_.isEmpty()) emit readyRead();
        });
    }
    void takeArrived() override {
        if (!inbox_.isEmpty()) emit readyRead();
    }

    // Bytes from the module, announced from the event loop.
    void deliver(const std::string& bytes) {
        QTimer::singleShot(0, this, [this, bytes] {
            inbox_.append(bytes.data(), qsizetype(bytes.size()));
            emit readyRead();
        });
    }

    int count(const std::string& prefix) const {
        int n = 0;
        for (const auto& l : lines) n += l.rfind(prefix, 0) == 0;
        return n;
    }

private:
    bool open_ = false;
    std::string pending_;
    QByteArray inbox_;
};

}  // namespace corvanta::testing
