#pragma once
// Periodic ticks that drive the link's countdowns and its periodic login. The
// program uses timers; tests fire ticks by hand so that no test ever sleeps
// through a real time-out.

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

signals:
    void tick();
};

class TimerTickSource : public TickSource {
    Q_OBJECT
public:
    explicit TimerTickSource(int intervalMs, QObject* parent = nullptr);
    void start() override { timer_.start(); }
    void stop() override { timer_.stop(); }
    bool running() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

class ManualTickSource : public TickSource {
    Q_OBJECT
public:
    using TickSource::TickSource;
    void start() override { running_ = true; }
    void stop() override { running_ = false; }
    bool running() const override { return running_; }

    // Emits n ticks while the source runs; ticks of a stopped source are lost,
    // as they would be with a stopped timer.
    void fire(int n = 1);

private:
    bool running_ = false;
};

}  // namespace corvanta
