#pragma once
// Reading the module's clock and setting it from the computer's, as the clock
// window offers them: a login, then one read or write of block FFFE.
// Progress and results go to the window's status bar, messages through the
// link's Messenger.

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

#include "service/clock_block.h"

namespace corvanta {

class ModuleLink;

class ClockView {
public:
    virtual ~ClockView() = default;
    virtual void setStatus(const QString& text) = 0;
};

class ModuleClock {
public:
    // The computer's local date and time; tests hand in a fixed one.
    using LocalTime = std::function<QDateTime()>;

    ModuleClock(ModuleLink& link, ClockView& view, LocalTime localTime = {});

    // Shows the module's date and time in a message; true when it was shown.
    bool read();
    // What the last read() showed; nothing after a failed read.
    const std::optional<ClockTime>& lastRead() const { return lastRead_; }
    // Writes the computer's date and time to the minute; true when the
    // module confirmed it.
    bool set();

private:
    void message(const QString& text);

    ModuleLink& link_;
    ClockView& view_;
    LocalTime localTime_;
    std::optional<ClockTime> lastRead_;
};

}  // namespace corvanta
