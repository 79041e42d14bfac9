#include "link/tick_source.h"

namespace corvanta {

TimerTickSource::TimerTickSource(int intervalMs, QObject* parent) : TickSource(parent) {
    timer_.setInterval(intervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TickSource::tick);
}

void ManualTickSource::fire(int n) {
    for (int i = 0; i < n && running_; ++i) emit tick();
}

}  // namespace corvanta
