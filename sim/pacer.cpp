#include "sim/pacer.h"

#include <algorithm>

namespace corvanta::sim {

namespace {
constexpr int kBitsPerByte = 10;
constexpr int kTickMs = 4;
}  // namespace

Pacer::Pacer(int baud, QObject* parent) : QObject(parent), baud_(baud) {
    if (baud_ > 0) byteNs_ = qint64(1'000'000'000) * kBitsPerByte / baud_;
    elapsed_.start();
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &Pacer::release);
}

void Pacer::push(const QByteArray& bytes) {
    if (baud_ <= 0) {
        emit released(bytes);
        return;
    }
    if (pending() == 0) {
        // An idle line may start at once; a busy one keeps its schedule.
        lineFreeNs_ = std::max(lineFreeNs_, elapsed_.nsecsElapsed());
    }
    queue_ += bytes;
    if (!timer_.isActive()) timer_.start(0);
}

// Each byte owns a slot of byteNs_ on the line; every slot that has begun
// by now is released. Bursts per tick keep the cost low while the average
// rate stays exact.
void Pacer::release() {
    const qint64 now = elapsed_.nsecsElapsed();
    qsizetype n = 0;
    while (head_ + n < queue_.size() && lineFreeNs_ <= now) {
        lineFreeNs_ += byteNs_;
        ++n;
    }
    if (n > 0) {
        const QByteArray out = queue_.mid(head_, n);
        head_ += n;
        if (head_ == queue_.size()) {
            queue_.clear();
            head_ = 0;
        } else if (head_ > 4096) {
            queue_.remove(0, head_);
            head_ = 0;
        }
        emit released(out);
    }
    if (pending() == 0) return;
    // Wake at the next tick, or sooner when the last waiting byte's slot
    // begins before it, so that a short line ends on time.
    const qint64 lastStartNs = lineFreeNs_ + (pending() - 1) * byteNs_;
    const qint64 waitMs = (lastStartNs - now + 999'999) / 1'000'000;
    timer_.start(int(std::clamp<qint64>(waitMs, 0, kTickMs)));
}

}  // namespace corvanta::sim
