#pragma once
// The status monitor's side of the link: the poll that asks for status and
// events twice a second while the window is open, the pause it takes before
// a command of its own, and the window's conversations (alarm stop, zone
// names, partition commands). Runs headless; the window only shows.

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

#include "link/coded_command.h"
#include "service/module_names_load.h"

class QEventLoop;

namespace corvanta {

class ModuleLink;
class TickSource;

class StatusMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollMs = 500;
    // Poll pauses in poll ticks; the wait lasts one tick less.
    static constexpr int kNamesPause = 6;
    static constexpr int kFirstStopPause = 6;
    static constexpr int kSecondStopPause = 4;

    enum class StopOutcome { Declined, NoLink, Busy, Stopped, WrongCode, NoAnswer };

    // Null ticks: a 500 ms timer (StatusTimer), off at first.
    StatusMonitor(ModuleLink& link, ModuleNamesStore& names, std::unique_ptr<TickSource> statusTicks = nullptr,
                  QObject* parent = nullptr);
    ~StatusMonitor() override;

    // StatusTimer on with polling running, or off.
    void setPolling(bool on);
    bool polling() const;
    int pollPhase() const { return pollPhase_; }
    int pollPause() const { return pollPause_; }
    // A handler of the window runs (and waits).
    bool busy() const { return busy_; }

    // The alarm stop: asks, pauses the poll, sends "RSTP" three times and
    // waits 6 s for the answer to the last one, polling again meanwhile;
    // shows the outcome once the poll runs again. `running`
    // hears true once the stop is under way (after the question) and false
    // when it is over, so the window greys its button only then.
    StopOutcome stopAlarms(const StatusSink& status, const std::function<void(bool)>& running = {});
    // Pauses the poll, logs in once without waiting, then loadModuleNames.
    // True when the names were replaced.
    bool loadZoneNames(const StatusSink& status);
    // "PT1D", "PT2D", "PT1A" or "PT2A" at once; the answer is the next status.
    void sendPartitionCommand(CodedCommand command);

public slots:
    void statusTimerTick();

private:
    // Sets pollPause to n and waits until the poll has counted it down to 1.
    // False when the wait had to be given up: the link dropped (the poll
    // counts only while it is up) or the poll was switched off.
    bool pausePolling(int n);
    // The three "RSTP" and the wait for the answer to the last one.
    StopOutcome sendStops();
    void checkPause();
    bool refuseIfBusy();
    void message(const char* utf8Text);

    ModuleLink& link_;
    ModuleNamesStore& names_;
    std::unique_ptr<TickSource> ticks_;
    int pollPhase_ = 0;
    int pollPause_ = 0;
    bool busy_ = false;
    QEventLoop* pauseLoop_ = nullptr;
};

}  // namespace corvanta
