#pragma once
// The radio teaching window's dealings with the module: the poll every
// 500 ms (RFTimer) that brings the "AT_<" radio frames, the refusal the
// module gives over a telephone line ("RFTERR"), and the teach and
// delete-all commands with the short pauses of the poll around them.

#include <QObject>

#include <memory>

#include "link/coded_command.h"

namespace corvanta {

class ModuleLink;
class TickSource;

class RadioTeaching : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 500;
    static constexpr int kSlots = 36;

    // ticks: RFTimer; null: a 500 ms timer. Stopped at first.
    explicit RadioTeaching(ModuleLink& link, std::unique_ptr<TickSource> ticks = nullptr,
                           QObject* parent = nullptr);
    ~RadioTeaching() override;

    // The teach command of slot 0..35: "TRF", the slot's character, the code.
    static CodedCommand teachCommand(int slot) { return CodedCommand(coded::TeachChannel0 + slot); }

    // RFTimer on with the poll running, and off again: the main window
    // brackets the window's opening with these.
    void startPolling();
    void stopPolling();
    bool polling() const;

    // 0: the poll runs; 1: it is held; above 1: ticks left in a pause.
    int rfPause() const { return rfPause_; }

    // Asks, then sends "TRF" + the slot's character between two pauses.
    // True when the command went out.
    bool teach(int slot);
    // Asks twice, then sends "DLRF" between two longer pauses.
    bool deleteAll();

    // One tick of RFTimer.
    void rfTimerTimer();

signals:
    // The module refused a teach or delete ("RFTERR"); the refusal message
    // has just been shown.
    void refused();

private:
    bool confirm(const char* question);
    // Lets the poll stand still for `ticks` - 1 ticks of RFTimer.
    void pause(int ticks);

    ModuleLink& link_;
    std::unique_ptr<TickSource> ticks_;
    int rfPause_ = 0;
};

}  // namespace corvanta
