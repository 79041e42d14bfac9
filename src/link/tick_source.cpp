#include "link/tick_source.h"

namespace corvanta {

TimerTickSource::TimerTickSource(int intervalMs, LateTicks late, QObject* parent)
    : TickSource(parent), late_(late) {
    timer_.setInterval(intervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TimerTickSource::onTimeout);
}

void TimerTickSource::start() {
    timer_.start();
    since_.start();
    ticked_ = 0;
}

void TimerTickSource::onTimeout() {
    if (late_ == LateTicks::Lost) {
        emit tick();
        return;
    }
    // A handler may stop or restart the source; each tick looks again.
    while (timer_.isActive() && ticked_ < since_.elapsed() / timer_.interval()) {
        ++ticked_;
        emit tick();
    }
}

void ManualTickSource::fire(int n) {
    for (int i = 0; i < n && running_; ++i) emit tick();
}

}  // namespace corvanta
