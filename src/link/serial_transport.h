#pragma once
// The real serial line to the module: 19200 baud 8N1, DTR and RTS on, no
// flow control, opened exclusively.

#include <QSerialPort>

#include <memory>

#include "link/serial_reply_wait.h"
#include "link/tick_source.h"
#include "link/transport.h"

namespace corvanta {

class SerialTransport : public Transport {
    Q_OBJECT
public:
    explicit SerialTransport(QObject* parent = nullptr);
    // Tests: `replyTimer` stands in for the timer that paces the wait for an
    // expected reply.
    explicit SerialTransport(std::unique_ptr<TickSource> replyTimer, QObject* parent = nullptr);
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
    void expectReply(qint64 bytes) override { replyWait_.expect(bytes); }
    void takeArrived() override;
    QString name() const override { return portName_; }
    QString openNote() const override { return openNote_; }

private:
    QString openErrorText() const;
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    SerialReplyWait replyWait_;
    QString portName_ = QStringLiteral("COM1");
    QString openNote_;
};

}  // namespace corvanta
