#pragma once
// A byte pipe to the module that behaves like a serial line: the real serial
// port, or the simulated module running in the same process. ModuleLink reads
// and writes through this and never cares which one it has.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstring>

namespace corvanta {

class Transport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Transport() override = default;

    // Opens the line. On failure returns false and puts a message a user can
    // act on into *error (when error is not null).
    virtual bool open(QString* error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Queues bytes for sending; returns false when the line is not open or
    // refused them.
    virtual bool write(const QByteArray& bytes) = 0;

    // Everything received since the last call.
    virtual QByteArray readAll() = 0;

    // At most maxSize received bytes into data; how many were taken. The
    // receive path reads through this into a buffer of its own, so that a
    // chunk costs no allocation. This default goes through readAll().
    virtual qint64 read(char* data, qint64 maxSize) {
        if (unread_.isEmpty()) unread_ = readAll();
        const qint64 n = qMin(maxSize, unread_.size());
        std::memcpy(data, unread_.constData(), std::size_t(n));
        unread_.remove(0, n);
        return n;
    }

    // The next `bytes` received bytes are one reply that is waited for (0:
    // nothing is). A line that can sleep until the whole reply is there (the
    // serial port) takes the hint; a reply that comes short must still be
    // delivered soon after its bytes stop. Others ignore it.
    virtual void expectReply(qint64 bytes) { Q_UNUSED(bytes); }

    // Announces at once, through readyRead, whatever the line has already
    // brought that the program has not heard yet, so that it is heard before
    // the next request goes out and cannot pass for that request's answer.
    virtual void takeArrived() {}

    // Human-readable name of the line (a device path, "simulated module").
    virtual QString name() const = 0;

    // What the last good open had to do that the user should hear of (a
    // stale lock taken over); empty mostly.
    virtual QString openNote() const { return {}; }

private:
    QByteArray unread_;

signals:
    // Bytes are waiting; readAll() takes them.
    void readyRead();
    // The line failed while open (device unplugged, peer gone).
    void failed(const QString& message);
};

}  // namespace corvanta
