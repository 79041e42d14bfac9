#pragma once
// The encrypted TCP/IP link to the module's remote-access port. Lines travel
// in pieces of at most 12 bytes, each sealed in an AES-128 block framed by
// "{" and "}". While the link is up (tcpActive) it carries all traffic.
//
// Owner's side, in short:
//   connectTo(host)      the connect button; false when it failed at once
//   disconnectByUser()   the disconnect button
//   tcpActive()          true from the connected event until the link drops
//   tcpWrite(bytes)      what sendRaw hands over while tcpActive is set
//   payloadReceived      decrypted payload bytes, zero bytes left out, in
//                        arrival order: feed them to the line assembler
//   statusChanged        the exact status line texts: "Connecting to " + host,
//                        "TCP/IP Connected", "TCP/IP Disconnected", empty on
//                        user disconnect, "Cannot connect to " + host + " !!!",
//                        "TCP/IP Socket Error: " + the system's error number
//                        where there is one + Qt's text (an error leaves the
//                        link state as it is)
//   disconnectWarning    the message to show when the link dropped without
//                        the user asking for it

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>

#include <functional>
#include <string>

#include "link/tcp_frame_receiver.h"
#include "link/tcp_random.h"

namespace corvanta {

class TcpLink : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kModulePort = 8989;
    // Received bytes decoded in one go at most: 1024 frames.
    static constexpr qint64 kReadSlice = 18 * 1024;

    // Returns the text of the password field as it stands now. It is asked
    // again for every block sent and every read, so an edit of the field
    // takes effect at once.
    using PasswordProvider = std::function<QString()>;

    explicit TcpLink(PasswordProvider password, QObject* parent = nullptr);
    ~TcpLink() override;

    // Closes a running connection (the peer-close warning goes out, as the
    // user did not ask for that close), then starts connecting to host. The
    // connection completes later; status "Connecting to " + host. Returns
    // false with status "Cannot connect to " + host + " !!!" when the attempt
    // could not even start (no host given); the caller then keeps its
    // buttons as they were.
    bool connectTo(const QString& host, quint16 port = kModulePort);

    // Clears the status line and closes the socket (also a pending connect);
    // status "TCP/IP Disconnected" follows without the warning.
    void disconnectByUser();

    bool tcpActive() const { return active_; }
    // Something decrypted under the password has come since the link was
    // connected. A link that is up and has heard nothing after an exchange
    // most likely runs under the wrong password: the module passes over
    // blocks it cannot decrypt, and answers nothing.
    bool answeredSinceConnect() const { return answered_; }

    // "TCP/IP Socket Error: 111 (Connection refused)"; without a system
    // number only Qt's text follows the colon.
    static QString socketErrorText(QAbstractSocket::SocketError error, const QString& qtText);
    static int systemErrorNumber(QAbstractSocket::SocketError error);

    // Appends bytes (already in the module's code page) to the outgoing text
    // and sends every complete 12-byte piece, and the rest when it ends with
    // CR. A rest without CR waits for more text, also across a reconnect.
    // While the link is not up nothing is sent; the bytes wait.
    void tcpWrite(const QByteArray& bytes);

    // Outgoing text not yet sent.
    QByteArray txPending() const;

    // Decodes at once what the socket has already received (see
    // Transport::takeArrived).
    void takeArrived();

signals:
    void statusChanged(const QString& text);
    void payloadReceived(const QByteArray& bytes);
    void disconnectWarning(const QString& message);
    // tcpActive changed; the serial line carries traffic again when false.
    void activeChanged(bool active);

private:
    void onConnected();
    void onDisconnected();
    void onError(QAbstractSocket::SocketError error);
    void onReadyRead();
    void sendHello();
    void sendPiece(const std::string& piece);
    void setActive(bool active);

    PasswordProvider password_;
    QTcpSocket socket_;
    TcpRandom random_;
    TcpFrameReceiver receiver_;
    std::string txPending_;
    bool active_ = false;
    bool answered_ = false;
    bool userDisconnect_ = false;
    bool sliceQueued_ = false;
};

}  // namespace corvanta
