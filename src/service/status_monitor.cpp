#include "service/status_monitor.h"

#include <QEventLoop>

#include "link/link_texts.h"
#include "link/messenger.h"
#include "link/module_link.h"
#include "link/tick_source.h"
#include "service/status_frame_layout.h"

namespace corvanta {

namespace {

constexpr const char* kNamesPausing = "Zóna és Felhasználói nevek letöltése..";

// Marks a handler as running for its whole length, on every way out.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

StatusMonitor::StatusMonitor(ModuleLink& link, ModuleNamesStore& names, std::unique_ptr<TickSource> statusTicks,
                             QObject* parent)
    : QObject(parent), link_(link), names_(names), ticks_(std::move(statusTicks)) {
    if (!ticks_) ticks_ = std::make_unique<TimerTickSource>(kPollMs);
    connect(ticks_.get(), &TickSource::tick, this, &StatusMonitor::statusTimerTick);
    // A pause counts only while the link is up; one that can no longer end
    // must not hold its handler for ever.
    connect(&link_, &ModuleLink::linkStateChanged, this, [this] { checkPause(); });
}

StatusMonitor::~StatusMonitor() {
    if (pauseLoop_) pauseLoop_->exit();
}

void StatusMonitor::setPolling(bool on) {
    if (on) {
        pollPause_ = 0;
        ticks_->start();
    } else {
        ticks_->stop();
        checkPause();
    }
}

bool StatusMonitor::polling() const { return ticks_->running(); }

void StatusMonitor::statusTimerTick() {
    pollPhase_ = (pollPhase_ + 1) % 2;
    if (!link_.linkConnected()) return checkPause();
    if (pollPause_ > 1) --pollPause_;
    if (pollPause_ == 0) {
        const bool events = pollPhase_ == 1;
        // The shortest line each poll is answered with: the poll runs all the
        // time the window is open, and a serial line would otherwise wake the
        // program for every few bytes of it.
        link_.expectReplyLine(qint64(events ? eventframe::kLength : statusframe::kKindLength.front()));
        link_.sendCodedCommand(events ? coded::EventPoll : coded::StatusPoll);
    }
    checkPause();
}

bool StatusMonitor::pausePolling(int n) {
    pollPause_ = n;
    auto ended = [this] { return pollPause_ <= 1; };
    auto givenUp = [this] { return !link_.linkConnected() || !ticks_->running(); };
    if (!ended() && !givenUp()) {
        QEventLoop loop;
        pauseLoop_ = &loop;
        loop.exec();
        pauseLoop_ = nullptr;
    }
    return ended();
}

void StatusMonitor::checkPause() {
    if (!pauseLoop_) return;
    if (pollPause_ <= 1 || !link_.linkConnected() || !ticks_->running()) pauseLoop_->exit();
}

bool StatusMonitor::refuseIfBusy() {
    if (!busy_) return false;
    message(texts::kBusy);
    return true;
}

void StatusMonitor::message(const char* utf8Text) {
    if (link_.messenger()) link_.messenger()->showMessage(QString::fromUtf8(utf8Text));
}

StatusMonitor::StopOutcome StatusMonitor::stopAlarms(const StatusSink& status,
                                                     const std::function<void(bool)>& running) {
    if (refuseIfBusy()) return StopOutcome::Busy;
    Messenger* messenger = link_.messenger();
    if (!messenger || !messenger->askYesNo(QString::fromUtf8(texts::kAlarmStopQuestion)))
        return StopOutcome::Declined;
    if (!link_.linkConnected()) {
        message(texts::kNoLink);
        return StopOutcome::NoLink;
    }
    BusyScope busy(busy_);
    StopOutcome outcome = StopOutcome::NoAnswer;
    {
        // Held from the first "RSTP": no other conversation and no periodic
        // login, whose "PWDOK" would pass for the module's confirmation.
        ModuleLink::Conversation conversation(link_);
        if (!conversation) return StopOutcome::Busy;
        if (running) running(true);
        status(QString::fromUtf8(texts::kAlarmStopRunning));
        outcome = sendStops();
        if (running) running(false);
        status(QString());
    }
    // The poll runs again before the outcome is shown: the installer may
    // leave the message up for a long time, and the chart would show no
    // samples all that while.
    pollPause_ = 0;
    switch (outcome) {
    case StopOutcome::Stopped: message(texts::kAlarmStopped); break;
    case StopOutcome::WrongCode: message(texts::kWrongCode); break;
    case StopOutcome::NoLink:
        // A pause given up because the window closed says nothing.
        if (!link_.linkConnected()) message(texts::kNoLink);
        break;
    case StopOutcome::NoAnswer:
        if (link_.messenger()) link_.messenger()->showMessage(link_.noAnswerText(texts::kNoAnswer));
        break;
    default: break;
    }
    return outcome;
}

StatusMonitor::StopOutcome StatusMonitor::sendStops() {
    // The module takes a stop more surely when it comes more than once,
    // with the poll quiet in between.
    for (int pause : {kFirstStopPause, kSecondStopPause}) {
        if (!pausePolling(pause)) return StopOutcome::NoLink;
        link_.sendCodedCommand(coded::AlarmStop);
    }
    ReplyFlags& f = link_.flags();
    f.pwdOk = false;
    f.pwdError = false;
    link_.sendCodedCommand(coded::AlarmStop);
    // The stops are out: the poll may go on while the answer is awaited.
    // Its status and event frames set none of the flags waited for, and a
    // refused code is refused for the stop as well.
    pollPause_ = 0;
    link_.waitFor(ModuleLink::kAlarmStopTicks, [&f] { return f.pwdOk || f.pwdError; });
    if (f.pwdOk) return StopOutcome::Stopped;
    if (f.pwdError) return StopOutcome::WrongCode;
    return StopOutcome::NoAnswer;
}

bool StatusMonitor::loadZoneNames(const StatusSink& status) {
    if (refuseIfBusy()) return false;
    BusyScope running(busy_);
    status(QString::fromUtf8(kNamesPausing));
    pausePolling(kNamesPause);
    // Wakes a module that has stopped listening; its answer is not needed.
    link_.sendCodedCommand(coded::Login);
    // Reports a link that dropped during the pause itself.
    const bool loaded = loadModuleNames(link_, names_, status);
    status(QString());
    pollPause_ = 0;
    return loaded;
}

void StatusMonitor::sendPartitionCommand(CodedCommand command) { link_.sendCodedCommand(command); }

}  // namespace corvanta
