#pragma once
// The module's remote-access port: one client at a time, every byte in and
// out carried in encrypted 18-byte frames.

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <deque>
#include <memory>
#include <random>

#include "sim/faults.h"
#include "sim/sim_module.h"
#include "sim/tcp_framing.h"

namespace corvanta::sim {

class TcpServer : public QObject {
    Q_OBJECT
public:
    // password is taken as the bytes the program's field would hold.
    TcpServer(SimModule* module, const QByteArray& password, Faults faults, QObject* parent = nullptr);

    bool listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 port() const { return server_.serverPort(); }
    int framesSent() const { return framesSent_; }

private:
    void accept();
    void readClient();
    void sendText(const QByteArray& text);
    void writeNext();
    void closeClient();

    SimModule* module_;
    AesKey key_;
    Faults faults_;
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    std::unique_ptr<FrameUnpacker> unpacker_;
    std::mt19937 rng_{7};
    // Frames wait here so that split and delayed writes keep their order.
    struct Chunk {
        QByteArray bytes;
        bool endsFrame;
    };
    std::deque<Chunk> outQueue_;
    QTimer writeTimer_;
    int framesSent_ = 0;
    bool closeWhenDrained_ = false;
};

}  // namespace corvanta::sim
