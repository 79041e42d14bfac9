#pragma once
// Dialling the module through a Hayes modem on the serial line, and hanging
// up. Every wait counts ticks of the 100 ms delay timer (delayCountdown) and
// ends early on the flag it waits for; the dial's waits also end when the
// call is cancelled by a hang-up or by closing the main window.
//
// A hang-up pressed during a dial runs inside the dial's wait; the waits
// nest, share the one countdown, and the dial ends as soon as the hang-up
// returns.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "link/tick_source.h"

namespace corvanta {

class ModuleLink;

class ModemCall : public QObject {
    Q_OBJECT
public:
    static constexpr int kDelayTickMs = 100;
    // Waits, in delay ticks.
    static constexpr int kAtAnswerTicks = 20;
    static constexpr int kAtAttempts = 7;
    static constexpr int kConnectTicks = 200;
    static constexpr int kHangUpAnswerTicks = 15;
    static constexpr int kHangUpAttempts = 3;
    static constexpr int kGuardTicks = 20;
    static constexpr int kEscapedAnswerTicks = 6;
    static constexpr int kEscapedAttempts = 7;
    static constexpr int kLastHangUpTicks = 20;

    explicit ModemCall(ModuleLink& link, QObject* parent = nullptr);
    // Injected delay ticks (tests); the source runs from now on.
    ModemCall(ModuleLink& link, std::unique_ptr<TickSource> delayTicks, QObject* parent = nullptr);
    ~ModemCall() override;

    // The dial button. True when the modem reported "CONNECT". A number with
    // characters no dial string holds is refused with a message.
    bool dial(const QString& phoneNumber);
    // The hang-up button. True when the modem confirmed the hang-up with "OK";
    // the status line says which.
    bool hangUp();
    // Closing the main window: every dial wait ends at once.
    void cancelWaits();

    bool waitCancelled() const { return waitCancelled_; }
    // A dial brought a call up and no hang-up, "NO CARRIER" or dead line
    // ended it since.
    bool callActive() const { return callActive_; }
    // The open serial line has answered as a modem does ("OK" to "AT" or
    // "ATH", "CONNECT", "ERROR", "NO CARRIER"...): without a call, the
    // module is not on it. The link hears of a modem without a call.
    bool modemLine() const { return modemHeard_; }
    // Another port was chosen: neither the call nor the modem of the old
    // line is on this one.
    void lineReplaced();
    int delayCountdown() const { return delayCountdown_; }
    bool waiting() const { return !waits_.empty(); }

signals:
    // The window disables its dial and hang-up buttons while these run.
    void dialRunning(bool running);
    void hangUpRunning(bool running);
    void callActiveChanged(bool active);
    void modemLineChanged(bool modem);

private:
    void onDelayTick();
    void setCallActive(bool active);
    void setModemHeard(bool heard);
    void tellLink();
    void checkWaits();
    // Waits until delayCountdown reaches 0 or done() holds.
    void waitDelay(int ticks, const std::function<bool()>& done);
    // One logged command and its wait for "OK"; true when "OK" came.
    bool sendAndAwaitOk(const char* command, int ticks, bool cancellable);

    ModuleLink& link_;
    std::unique_ptr<TickSource> delayTicks_;
    int delayCountdown_ = 0;
    bool waitCancelled_ = false;
    bool callActive_ = false;
    bool modemHeard_ = false;

    struct Wait;
    std::vector<Wait*> waits_;
};

}  // namespace corvanta
