#pragma once
// A byte pipe to the module that behaves like a serial line: the real serial
// port, or the simulated module running in the same process. ModuleLink reads
// and writes through this and never cares which one it has.

#include <QByteArray>
#include <QObject>
#include <QString>

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

    // Human-readable name of the line (a device path, "simulated module").
    virtual QString name() const = 0;

signals:
    // Bytes are waiting; readAll() takes them.
    void readyRead();
    // The line failed while open (device unplugged, peer gone).
    void failed(const QString& message);
};

}  // namespace corvanta
