#pragma once
// Periodic ticks that drive the link's countdowns and its periodic login. The
// program uses timers; tests fire ticks by hand so that no test ever sleeps
// through a real time-out.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace corvanta {

class TickSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Starting a running source restarts its period, like re-enabling a timer.
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool running() const = 0;
    // The period from the next start() on.
    virtual void setInterval(int ms) = 0;

signals:
    void tick();
};

class TimerTickSource : public TickSource {
    Q_OBJECT
public:
    // Lost: a timer that fires late fires once, as timers do; enough for
    // polls and the periodic login. Counted: every period that passed on the
    // monotonic clock gives its tick, also when the event loop was held up
    // (by a flood of received frames, say), so a countdown of n ticks ends
    // n periods after it was set however busy the program is.
    enum class LateTicks { Lost, Counted };

    explicit TimerTickSource(int intervalMs, QObject* parent = nullptr)
        : TimerTickSource(intervalMs, LateTicks::Lost, parent) {}
    TimerTickSource(int intervalMs, LateTicks late, QObject* parent = nullptr);
    void start() override;
    void stop() override { timer_.stop(); }
    bool running() const override { return timer_.isActive(); }
    void setInterval(int ms) override { timer_.setInterval(ms); }

private:
    void onTimeout();

    QTimer timer_;
    QElapsedTimer since_;
    qint64 ticked_ = 0;
    LateTicks late_;
};

class ManualTickSource : public TickSource {
    Q_OBJECT
public:
    using TickSource::TickSource;
    void start() override { running_ = true; }
    void stop() override { running_ = false; }
    bool running() const override { return running_; }
    void setInterval(int ms) override { interval_ = ms; }
    int interval() const { return interval_; }

    // Emits n ticks while the source runs; ticks of a stopped source are lost,
    // as they would be with a stopped timer.
    void fire(int n = 1);

private:
    bool running_ = false;
    int interval_ = 0;
};

}  // namespace corvanta
