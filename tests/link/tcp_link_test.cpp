#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <memory>

#include "link/aes_block.h"
#include "link/tcp_frames.h"
#include "link/tcp_link.h"

using namespace corvanta;

namespace {

QCoreApplication& app()
{
    static int argc = 1;
    static char name[] = "tcp_link_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

// Pumps events until the condition holds; the deadline only guards against
// a hang, the loopback normally answers at once.
bool waitFor(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(5000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// The far end: accepts one connection and speaks the frames with its own
// copy of the password.
class Peer {
public:
    Peer()
    {
        app();
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost));
    }

    bool accept()
    {
        if (!waitFor([&] { return server.hasPendingConnections(); })) return false;
        socket.reset(server.nextPendingConnection());
        return true;
    }

    // Next frame's plain block, decrypted with the peer's password.
    std::string receiveBlock()
    {
        if (!waitFor([&] { return socket->bytesAvailable() >= qint64(tcpframe::kFrameSize); }))
            return "<nothing arrived>";
        const QByteArray frame = socket->read(tcpframe::kFrameSize);
        if (frame.front() != '{' || frame.back() != '}') return "<not a frame>";
        AesBlock cipher{};
        std::copy_n(frame.constData() + 1, cipher.size(), cipher.begin());
        const AesBlock plain = aes128DecryptBlock(passwordKey(password), cipher);
        return std::string(plain.begin(), plain.end());
    }

    QByteArray dataFrame(const std::string& piece)
    {
        const TcpFrame f = wrapFrame(passwordKey(password), dataPlainBlock(piece, 0x10));
        return QByteArray(reinterpret_cast<const char*>(f.data()), qsizetype(f.size()));
    }

    std::string password = "jelszo";
    QTcpServer server;
    std::unique_ptr<QTcpSocket> socket;
};

std::string piece(const std::string& plain)
{
    // Payload part of a data block, zero padding removed.
    std::string p = plain.substr(tcpframe::kDataPieceOffset, tcpframe::kDataPieceSize);
    return p.substr(0, p.find('\0'));
}

struct LinkUnderTest {
    QString password = QStringLiteral("jelszo");
    TcpLink link{[this] { return password; }};
    QSignalSpy status{&link, &TcpLink::statusChanged};
    QSignalSpy warnings{&link, &TcpLink::disconnectWarning};
    QByteArray received;

    LinkUnderTest()
    {
        QObject::connect(&link, &TcpLink::payloadReceived,
                         [this](const QByteArray& b) { received += b; });
    }
    QString lastStatus() const { return status.isEmpty() ? QString() : status.last().at(0).toString(); }
};

}  // namespace

TEST(TcpLink, ConnectsSendsHelloAndCarriesLinesBothWays)
{
    Peer peer;
    LinkUnderTest t;
    ASSERT_TRUE(t.link.connectTo(QStringLiteral("127.0.0.1"), peer.server.serverPort()));
    EXPECT_EQ(t.lastStatus(), QStringLiteral("Connecting to 127.0.0.1"));
    ASSERT_TRUE(peer.accept());
    ASSERT_TRUE(waitFor([&] { return t.link.tcpActive(); }));
    EXPECT_EQ(t.lastStatus(), QStringLiteral("TCP/IP Connected"));

    const std::string hello = peer.receiveBlock();
    EXPECT_EQ(hello.front(), '(');
    EXPECT_EQ(hello.back(), ')');

    t.link.tcpWrite("RPWD123456\r");
    const std::string line = peer.receiveBlock();
    EXPECT_EQ(line.front(), '[');
    EXPECT_EQ(piece(line), "RPWD123456\r");

    // The reply arrives cut at an awkward place, after a stray byte.
    const QByteArray reply = "?" + peer.dataFrame("PWDOK\r") + peer.dataFrame("OK\r");
    peer.socket->write(reply.left(25));
    peer.socket->flush();
    ASSERT_TRUE(waitFor([&] { return t.received == "PWDOK\r"; }));
    peer.socket->write(reply.mid(25));
    ASSERT_TRUE(waitFor([&] { return t.received == "PWDOK\rOK\r"; }));
}

TEST(TcpLink, PasswordFieldChangeTakesEffectOnTheNextBlock)
{
    Peer peer;
    LinkUnderTest t;
    t.link.connectTo(QStringLiteral("127.0.0.1"), peer.server.serverPort());
    ASSERT_TRUE(peer.accept());
    ASSERT_TRUE(waitFor([&] { return t.link.tcpActive(); }));
    peer.receiveBlock();

    t.password = QStringLiteral("  uj jelszo ");
    peer.password = "uj jelszo";
    t.link.tcpWrite("AT\r");
    EXPECT_EQ(piece(peer.receiveBlock()), "AT\r");
    peer.socket->write(peer.dataFrame("OK\r"));
    ASSERT_TRUE(waitFor([&] { return t.received == "OK\r"; }));
}

TEST(TcpLink, PeerCloseReportsDisconnectAndWarns)
{
    Peer peer;
    LinkUnderTest t;
    QSignalSpy active(&t.link, &TcpLink::activeChanged);
    t.link.connectTo(QStringLiteral("127.0.0.1"), peer.server.serverPort());
    ASSERT_TRUE(peer.accept());
    ASSERT_TRUE(waitFor([&] { return t.link.tcpActive(); }));

    peer.socket->close();
    ASSERT_TRUE(waitFor([&] { return !t.link.tcpActive(); }));
    EXPECT_EQ(t.lastStatus(), QStringLiteral("TCP/IP Disconnected"));
    ASSERT_EQ(t.warnings.size(), 1);
    EXPECT_EQ(t.warnings.at(0).at(0).toString(),
              QStringLiteral("TCP/IP disconnected! Check IP address and password, then try again."));
    EXPECT_EQ(active.size(), 2);
}

TEST(TcpLink, UserDisconnectGivesNoWarningAndKeepsUnfinishedText)
{
    Peer peer;
    LinkUnderTest t;
    t.link.connectTo(QStringLiteral("127.0.0.1"), peer.server.serverPort());
    ASSERT_TRUE(peer.accept());
    ASSERT_TRUE(waitFor([&] { return t.link.tcpActive(); }));
    peer.receiveBlock();

    t.link.tcpWrite("WRFL\r");
    EXPECT_EQ(piece(peer.receiveBlock()), "WRFL\r");
    for (const char* hex : {"0A", "1B", "2C", "3D", "4E", "5F"}) t.link.tcpWrite(hex);
    EXPECT_EQ(piece(peer.receiveBlock()), "0A1B2C3D4E5F");
    t.link.tcpWrite("2C");
    EXPECT_EQ(t.link.txPending(), QByteArray("2C"));

    t.link.disconnectByUser();
    EXPECT_FALSE(t.link.tcpActive());
    EXPECT_EQ(t.lastStatus(), QStringLiteral("TCP/IP Disconnected"));
    EXPECT_TRUE(t.warnings.isEmpty());
    EXPECT_EQ(t.link.txPending(), QByteArray("2C"));
}

TEST(TcpLink, ReportsImmediateAndAsynchronousConnectFailures)
{
    app();
    LinkUnderTest t;
    EXPECT_FALSE(t.link.connectTo(QStringLiteral("  ")));
    EXPECT_EQ(t.lastStatus(), QStringLiteral("Cannot connect to    !!!"));

    // A port nobody listens on: the server is closed again before connecting.
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    }
    ASSERT_TRUE(t.link.connectTo(QStringLiteral("127.0.0.1"), port));
    ASSERT_TRUE(waitFor([&] { return t.lastStatus().startsWith("TCP/IP Socket Error: "); }));
    EXPECT_EQ(t.lastStatus(), QStringLiteral("TCP/IP Socket Error: %1")
                                  .arg(int(QAbstractSocket::ConnectionRefusedError)));
    EXPECT_FALSE(t.link.tcpActive());
    EXPECT_TRUE(t.warnings.isEmpty());
}
