#include "sim/tcp_server.h"

namespace corvanta::sim {

namespace {
// A gap long enough that the two halves of a split frame reach the program
// in two separate reads.
constexpr int kSplitGapMs = 30;
constexpr std::size_t kSplitAt = 7;
const QByteArray kStray("\x00x{", 3);
}  // namespace

TcpServer::TcpServer(SimModule* module, const QByteArray& password, Faults faults, QObject* parent)
    : QObject(parent), module_(module), key_(passwordKey(password.toStdString())), faults_(std::move(faults)) {
    connect(&server_, &QTcpServer::newConnection, this, &TcpServer::accept);
    connect(module_, &SimModule::transmit, this, &TcpServer::sendText);
    connect(module_, &SimModule::restarted, this, [this] { closeWhenDrained_ = true; writeNext(); });
    writeTimer_.setSingleShot(true);
    connect(&writeTimer_, &QTimer::timeout, this, &TcpServer::writeNext);
}

bool TcpServer::listen(const QHostAddress& address, quint16 port, QString* error) {
    if (server_.listen(address, port)) return true;
    if (error) *error = QStringLiteral("cannot listen on %1:%2: %3").arg(address.toString()).arg(port).arg(server_.errorString());
    return false;
}

void TcpServer::accept() {
    while (QTcpSocket* next = server_.nextPendingConnection()) {
        // The module serves one caller; a new one takes the line over.
        if (client_) {
            emit module_->traffic('#', "a new TCP caller replaces the previous one");
            client_->abort();
            client_->deleteLater();
        }
        client_ = next;
        unpacker_ = std::make_unique<FrameUnpacker>(key_);
        outQueue_.clear();
        framesSent_ = 0;
        closeWhenDrained_ = false;
        connect(next, &QTcpSocket::readyRead, this, &TcpServer::readClient);
        connect(next, &QTcpSocket::disconnected, next, &QObject::deleteLater);
        emit module_->traffic('#', "TCP caller from " + next->peerAddress().toString().toUtf8());
    }
}

void TcpServer::readClient() {
    if (!client_ || !unpacker_) return;
    const QByteArray bytes = client_->readAll();
    const std::string payload = unpacker_->feed(bytes.toStdString());
    if (!payload.empty()) module_->receive(QByteArray::fromStdString(payload));
}

void TcpServer::sendText(const QByteArray& text) {
    if (!client_) return;
    for (const std::string& frame : sealText(text.toStdString(), key_, [this] { return uint8_t(rng_() % 255); })) {
        QByteArray bytes = QByteArray::fromStdString(frame);
        if (faults_.tcpStray) outQueue_.push_back({kStray, false});
        if (faults_.tcpSplit) {
            outQueue_.push_back({bytes.left(kSplitAt), false});
            outQueue_.push_back({bytes.mid(kSplitAt), true});
        } else {
            outQueue_.push_back({bytes, true});
        }
    }
    if (!writeTimer_.isActive()) writeNext();
}

void TcpServer::writeNext() {
    if (!client_) {
        outQueue_.clear();
        return;
    }
    while (!outQueue_.empty()) {
        const Chunk chunk = outQueue_.front();
        outQueue_.pop_front();
        client_->write(chunk.bytes);
        if (chunk.endsFrame && ++framesSent_ == faults_.tcpCloseAfter) {
            emit module_->traffic('#', "fault: closing the connection after " + QByteArray::number(framesSent_) + " frames");
            closeWhenDrained_ = true;
            outQueue_.clear();
            break;
        }
        if (faults_.tcpSplit) {
            client_->flush();
            writeTimer_.start(kSplitGapMs);
            return;
        }
    }
    if (closeWhenDrained_) closeClient();
}

void TcpServer::closeClient() {
    closeWhenDrained_ = false;
    if (client_) client_->disconnectFromHost();
}

}  // namespace corvanta::sim
