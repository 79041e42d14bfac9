#pragma once
// The real serial line to the module: 19200 baud 8N1, DTR and RTS on, no
// flow control, opened exclusively.

#include <QSerialPort>

#include <memory>

#include "link/tick_source.h"
#include "link/transport.h"

namespace corvanta {

class SerialTransport : public Transport {
    Q_OBJECT
public:
    explicit SerialTransport(QObject* parent = nullptr);
    // Tests: `overdue` stands in for the timer that stops waiting for the
    // rest of an expected reply.
    explicit SerialTransport(std::unique_ptr<TickSource> overdue, QObject* parent = nullptr);
    ~SerialTransport() override;

    // Takes a new port name, normalised (COM names; device paths as given).
    // An open port is closed and the new one opened; false, with the reason
    // in *error, when that reopening fails.
    bool setPortName(const QString& name, QString* error = nullptr);
    QString portName() const { return portName_; }

    bool open(QString* error) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    bool write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 read(char* data, qint64 maxSize) override;
    // While a reply is expected, the line wakes the program once for the
    // whole of it (in pieces of at most 255 bytes) instead of for every few
    // bytes; when its bytes stop short, what came is delivered after the
    // wire time of the missing ones and a margin. Linux only.
    void expectReply(qint64 bytes) override;
    QString name() const override { return portName_; }

private:
    QString openErrorText() const;
    void onError(QSerialPort::SerialPortError error);
    void took(qint64 bytes);
    void awaitRest();
    int queuedBytes() const;
    void setReadMinimum(int bytes);
    void onOverdue();

    QSerialPort port_;
    QString portName_ = QStringLiteral("COM1");
    std::unique_ptr<TickSource> overdue_;
    qint64 expected_ = 0;     // bytes of the awaited reply not yet taken
    int idleMinimum_ = 0;     // the read minimum the serial layer set
    int readMinimum_ = 0;     // the read minimum in force
};

}  // namespace corvanta
