#include "sim/modem_layer.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cctype>
#include <memory>

namespace corvanta::sim {

namespace {

std::string digitsOf(const std::string& text) {
    std::string out;
    for (char c : text)
        if (std::isdigit(static_cast<unsigned char>(c))) out += c;
    return out;
}

}  // namespace

ModemLayer::ModemLayer(QString number, MsClock clock, QObject* parent)
    : QObject(parent), digits_(digitsOf(number.toStdString())), clock_(std::move(clock)) {
    if (!clock_) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        clock_ = [timer] { return int64_t(timer->elapsed()); };
    }
    lastByteMs_ = now() - kGuardMs;
    connect(&timer_, &QTimer::timeout, this, &ModemLayer::service);
    timer_.start(50);
}

void ModemLayer::reply(const char* text) {
    emit traffic('>', QByteArray(text));
    emit toLine(QByteArray("\r\n") + text + "\r\n");
}

void ModemLayer::setCall(bool up) {
    if (callUp_ == up) return;
    callUp_ = up;
    emit callChanged(up);
}

void ModemLayer::fromModule(const QByteArray& bytes) {
    // In command mode the far end's data has nowhere to go.
    if (state_ == State::Online) emit toLine(bytes);
}

void ModemLayer::fromLine(const QByteArray& bytes) {
    for (char c : bytes) {
        const int64_t t = now();
        if (state_ == State::Online) {
            // "+++" counts only after a guard time of silence; the pluses are
            // held back until it is clear whether they were an escape.
            const bool escapeStart = plusesHeld_ == 0 && t - lastByteMs_ >= kGuardMs;
            if (c == '+' && plusesHeld_ < 3 && (escapeStart || plusesHeld_ > 0)) {
                ++plusesHeld_;
            } else {
                QByteArray data(plusesHeld_, '+');
                data += c;
                plusesHeld_ = 0;
                emit toModule(data);
            }
        } else if (state_ == State::Command) {
            commandByte(c);
        }
        lastByteMs_ = t;
    }
}

void ModemLayer::service() {
    const int64_t t = now();
    if (state_ == State::Online && plusesHeld_ == 3 && t - lastByteMs_ >= kGuardMs) {
        plusesHeld_ = 0;
        state_ = State::Command;
        emit traffic('#', "escape to command mode");
        reply("OK");
    }
    if (state_ == State::Dialing && dialDoneMs_ && t >= *dialDoneMs_) {
        dialDoneMs_.reset();
        if (dialMatches_) {
            state_ = State::Online;
            lastByteMs_ = t;
            setCall(true);
            reply("CONNECT");
        } else {
            state_ = State::Command;
            reply("NO CARRIER");
        }
    }
}

void ModemLayer::commandByte(char c) {
    if (c == '\n') return;
    if (c != '\r') {
        line_ += c;
        return;
    }
    std::string line;
    line.swap(line_);
    // Whatever came before "AT" (a stray "+++") is not part of the command.
    std::string upper = line;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char ch) { return char(std::toupper(ch)); });
    const auto at = upper.find("AT");
    if (line.empty()) return;
    emit traffic('<', QByteArray::fromStdString(line));
    if (at == std::string::npos) return reply("ERROR");
    command(upper.substr(at + 2));
}

void ModemLayer::command(const std::string& rest) {
    if (rest.rfind("D", 0) == 0) {
        const std::string dialled = digitsOf(rest.substr(1));
        dialMatches_ = !digits_.empty() && dialled == digits_;
        state_ = State::Dialing;
        dialDoneMs_ = now() + kConnectDelayMs;
        emit traffic('#', QByteArray::fromStdString("dialling " + dialled));
        return;
    }
    if (rest.rfind("H", 0) == 0) {
        setCall(false);
        return reply("OK");
    }
    if (rest.rfind("O", 0) == 0) {
        if (!callUp_) return reply("NO CARRIER");
        state_ = State::Online;
        return reply("CONNECT");
    }
    reply("OK");  // AT, ATZ, ATE0 and the like
}

}  // namespace corvanta::sim
