#pragma once
// Fewer wake-ups while a serial line brings a reply of known length.
//
// A line at 19200 baud brings a few bytes every few milliseconds, and a
// program that watches it is woken for every burst: several hundred times
// for one block reply. Once the reply has begun, the rest cannot come faster
// than the line's rate, so the port is not watched for the wire time of the
// next piece (at most 255 bytes); then it is watched again with the tty's read
// minimum set to that piece, so that stragglers wake the program once. When
// the piece does not come within a margin (a reply shorter than expected),
// whatever came is delivered as it is. Linux only; elsewhere this does
// nothing.

#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QSocketNotifier>

#include <memory>

#include "link/tick_source.h"

namespace corvanta {

class SerialReplyWait : public QObject {
    Q_OBJECT
public:
    // The port is watched for its lifetime; `timer` paces the waits.
    SerialReplyWait(QSerialPort& port, std::unique_ptr<TickSource> timer, QObject* parent = nullptr);

    // After the port opened, before it closes.
    void portOpened();
    void portClosing() { expect(0); }

    // The next `bytes` bytes taken from the port are one reply (0: none).
    void expect(qint64 bytes);
    // After every read from the port: `bytes` were taken.
    void took(qint64 bytes);

private:
    enum class Phase { Watching, OnWire, Late };

    void awaitRest();
    void onTimer();
    int wireMs(qint64 bytes) const;
    void watch(bool on);
    int queuedBytes() const;
    void setReadMinimum(int bytes);

    QSerialPort& port_;
    std::unique_ptr<TickSource> timer_;
    // The serial layer's own read notifier, found among the port's children;
    // without it the read minimum alone saves what it can.
    QPointer<QSocketNotifier> notifier_;
    qint64 expected_ = 0;  // bytes of the reply not yet taken
    bool started_ = false;  // some of them were
    Phase phase_ = Phase::Watching;
    int idleMinimum_ = 0;  // the read minimum the serial layer set
    int readMinimum_ = 0;  // the read minimum in force
};

}  // namespace corvanta
