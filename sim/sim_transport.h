#pragma once
// The program's Transport with the simulated module behind it, in the same
// process: no pseudo-terminal, no socket. Bytes written reach the module at
// once; its answers are announced through readyRead from the event loop, as
// a serial port would.

#include <QByteArray>

#include "link/transport.h"
#include "sim/serial_side.h"
#include "sim/sim_module.h"

namespace corvanta::sim {

class SimTransport : public Transport {
    Q_OBJECT
public:
    // The module is not owned; a modem and baud pacing may stand in front
    // of it as on a real serial line.
    explicit SimTransport(SimModule* module, SerialOptions options = {}, QObject* parent = nullptr);

    bool open(QString* error) override;
    void close() override;
    bool isOpen() const override { return open_; }
    bool write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    QString name() const override { return QStringLiteral("simulated module"); }
    // Kept for tests to compare with what the module then sends.
    void expectReply(qint64 bytes) override { expectedReply_ = bytes; }
    qint64 expectedReply() const { return expectedReply_; }
    void takeArrived() override {
        if (open_ && !received_.isEmpty()) emit readyRead();
    }

    SerialSide& line() { return side_; }

private:
    void arrived(const QByteArray& bytes);

    SerialSide side_;
    QByteArray received_;
    bool open_ = false;
    bool announced_ = false;
    qint64 expectedReply_ = 0;
};

}  // namespace corvanta::sim
