#pragma once
// A Hayes modem in front of the module: command mode answers "AT" commands;
// after "ATD" with the module's number the line is the module's until "+++"
// framed by guard times of silence returns to command mode.

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <optional>
#include <string>

#include "sim/sim_module.h"

namespace corvanta::sim {

class ModemLayer : public QObject {
    Q_OBJECT
public:
    static constexpr int64_t kConnectDelayMs = 1500;
    static constexpr int64_t kGuardMs = 1000;

    ModemLayer(QString number, MsClock clock = {}, QObject* parent = nullptr);

    bool online() const { return state_ == State::Online; }
    bool callUp() const { return callUp_; }

public slots:
    void fromLine(const QByteArray& bytes);   // from the program
    void fromModule(const QByteArray& bytes); // the module's answers
    void service();

signals:
    void toLine(const QByteArray& bytes);
    void toModule(const QByteArray& bytes);
    void callChanged(bool up);
    void traffic(char direction, const QByteArray& line);

private:
    enum class State { Command, Dialing, Online };

    void commandByte(char c);
    void command(const std::string& line);
    void reply(const char* text);
    void setCall(bool up);
    int64_t now() const { return clock_(); }

    std::string digits_;
    MsClock clock_;
    QTimer timer_;
    State state_ = State::Command;
    bool callUp_ = false;
    std::string line_;
    std::optional<int64_t> dialDoneMs_;
    bool dialMatches_ = false;
    int64_t lastByteMs_ = -kGuardMs;  // the line starts out silent
    int plusesHeld_ = 0;
};

}  // namespace corvanta::sim
