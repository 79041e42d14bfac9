#include "link/tcp_link.h"

#include <cerrno>
#include <span>

#include <sys/ioctl.h>

#include "link/tcp_frames.h"
#include "params/win1250.h"

namespace corvanta {

TcpLink::TcpLink(PasswordProvider password, QObject* parent)
    : QObject(parent), password_(std::move(password))
{
    connect(&socket_, &QTcpSocket::connected, this, &TcpLink::onConnected);
    connect(&socket_, &QTcpSocket::disconnected, this, &TcpLink::onDisconnected);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &TcpLink::onError);
    connect(&socket_, &QTcpSocket::readyRead, this, &TcpLink::onReadyRead);
}

TcpLink::~TcpLink()
{
    // The socket is destroyed after the fields its handlers use and closes
    // itself on the way: that close must not reach them.
    QObject::disconnect(&socket_, nullptr, this, nullptr);
}

bool TcpLink::connectTo(const QString& host, quint16 port)
{
    userDisconnect_ = false;
    // A running connection is dropped as if by the peer: the user did not
    // press disconnect, so the warning goes out.
    if (socket_.state() != QAbstractSocket::UnconnectedState) socket_.abort();
    if (host.trimmed().isEmpty()) {
        emit statusChanged(QStringLiteral("Cannot connect to ") + host + QStringLiteral(" !!!"));
        return false;
    }
    receiver_.reset();
    socket_.connectToHost(host, port);
    emit statusChanged(QStringLiteral("Connecting to ") + host);
    return true;
}

void TcpLink::disconnectByUser()
{
    userDisconnect_ = true;
    emit statusChanged(QString());
    // A connect still in progress is cancelled too, so the link cannot come
    // up behind the user's back after they asked for it to be down.
    if (socket_.state() != QAbstractSocket::UnconnectedState) socket_.abort();
}

void TcpLink::tcpWrite(const QByteArray& bytes)
{
    if (!active_) {
        txPending_.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        return;
    }
    for (const std::string& piece : takePieces(txPending_, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))))
        sendPiece(piece);
}

QByteArray TcpLink::txPending() const
{
    return QByteArray(txPending_.data(), static_cast<qsizetype>(txPending_.size()));
}

void TcpLink::onConnected()
{
    emit statusChanged(QStringLiteral("TCP/IP Connected"));
    // The hello goes first: whoever hears that the link is up may send at
    // once, and the far end expects the hello before any line.
    active_ = true;
    answered_ = false;
    sendHello();
    emit activeChanged(true);
}

void TcpLink::onDisconnected()
{
    emit statusChanged(QStringLiteral("TCP/IP Disconnected"));
    setActive(false);
    if (!userDisconnect_)
        emit disconnectWarning(QStringLiteral(
            "TCP/IP disconnected! Check IP address and password, then try again."));
}

void TcpLink::onError(QAbstractSocket::SocketError error)
{
    // The peer closing is the ordinary end of the link; the disconnected
    // event reports it.
    if (error == QAbstractSocket::RemoteHostClosedError) return;
    emit statusChanged(socketErrorText(error, socket_.errorString()));
}

// Qt keeps the system's error number to itself and reports a kind of its
// own, whose number means nothing to a user (0 is a refused connection).
// Where the kind stands for one system error, that number is shown.
int TcpLink::systemErrorNumber(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return ECONNREFUSED;
    case QAbstractSocket::RemoteHostClosedError: return ECONNRESET;
    case QAbstractSocket::SocketAccessError: return EACCES;
    case QAbstractSocket::SocketTimeoutError: return ETIMEDOUT;
    case QAbstractSocket::AddressInUseError: return EADDRINUSE;
    case QAbstractSocket::SocketAddressNotAvailableError: return EADDRNOTAVAIL;
    default: return 0;
    }
}

QString TcpLink::socketErrorText(QAbstractSocket::SocketError error, const QString& qtText)
{
    const int number = systemErrorNumber(error);
    QString text = QStringLiteral("TCP/IP Socket Error: ");
    if (number != 0) text += QString::number(number) + QStringLiteral(" ");
    return text + (number != 0 ? QStringLiteral("(") + qtText + QStringLiteral(")") : qtText);
}

void TcpLink::onReadyRead()
{
    // In slices: a peer that floods the link must not hold the event loop,
    // and with it the timers that end every wait, for as long as a huge
    // read takes to decode. What is left is taken up again from the loop.
    const QByteArray bytes = socket_.read(kReadSlice);
    if (socket_.bytesAvailable() > 0 && !sliceQueued_) {
        sliceQueued_ = true;
        QMetaObject::invokeMethod(this, [this] {
            sliceQueued_ = false;
            onReadyRead();
        }, Qt::QueuedConnection);
    }
    if (!active_) return;
    const std::string field = toWin1250(password_().toStdString());
    const auto data = std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                static_cast<std::size_t>(bytes.size()));
    const std::vector<std::uint8_t> payload = receiver_.feed(data, passwordKey(field));
    if (!payload.empty()) answered_ = true;
    if (!payload.empty())
        emit payloadReceived(QByteArray(reinterpret_cast<const char*>(payload.data()),
                                        static_cast<qsizetype>(payload.size())));
}

void TcpLink::takeArrived()
{
    if (!active_) return;
    // With nothing waiting, the socket would report the zero wait as an error.
    int waiting = 0;
    if (::ioctl(int(socket_.socketDescriptor()), FIONREAD, &waiting) == 0 && waiting > 0)
        socket_.waitForReadyRead(0);
    while (active_ && socket_.bytesAvailable() > 0) onReadyRead();
}

void TcpLink::sendHello()
{
    const AesKey key = passwordKey(toWin1250(password_().toStdString()));
    const TcpFrame frame = wrapFrame(key, helloPlainBlock(random_));
    socket_.write(reinterpret_cast<const char*>(frame.data()), qint64(frame.size()));
}

void TcpLink::sendPiece(const std::string& piece)
{
    const AesKey key = passwordKey(toWin1250(password_().toStdString()));
    const TcpFrame frame = wrapFrame(key, dataPlainBlock(piece, random_.next()));
    // As on the serial line, a send is not checked; a lost frame shows up as
    // a reply that never comes.
    socket_.write(reinterpret_cast<const char*>(frame.data()), qint64(frame.size()));
}

void TcpLink::setActive(bool active)
{
    if (active_ == active) return;
    active_ = active;
    if (!active) receiver_.reset();
    emit activeChanged(active);
}

}  // namespace corvanta
