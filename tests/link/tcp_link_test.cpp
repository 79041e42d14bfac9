#include <cerrno>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <functional>
#include <memory>

#include "link/aes_block.h"
#include "link/tcp_frames.h"
#include "link/tcp_link.h"
#include "link/tick_source.h"
#include "tests/support/qt_core_app.h"

using namespace corvanta;

namespace {

// Pumps events until done; the deadline only guards against a hang.
bool waitFor(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// The far end of the link, with its own copy of the password, and the link
// under test already connected to it with the hello taken off the wire.
struct Loopback {
    QTcpServer server;
    std::unique_ptr<QTcpSocket> peer;
    std::string peerPassword = "jelszo";
    QString fieldText = QStringLiteral("jelszo");
    TcpLink link{[this] { return fieldText; }};
    QSignalSpy status{&link, &TcpLink::statusChanged};
    QSignalSpy warnings{&link, &TcpLink::disconnectWarning};
    QByteArray received;
    std::string hello;

    Loopback(const std::function<void(TcpLink&)>& onUp = {})
    {
        ensureQtCoreApp();
        if (onUp)
            QObject::connect(&link, &TcpLink::activeChanged, [this, onUp](bool up) {
                if (up) onUp(link);
            });
        QObject::connect(&link, &TcpLink::payloadReceived, [this](const QByteArray& b) { received += b; });
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost));
        EXPECT_TRUE(link.connectTo(QStringLiteral("127.0.0.1"), server.serverPort()));
        EXPECT_EQ(lastStatus(), QStringLiteral("Connecting to 127.0.0.1"));
        EXPECT_TRUE(waitFor([&] { return server.hasPendingConnections() && link.tcpActive(); }));
        peer.reset(server.nextPendingConnection());
        hello = receiveBlock();
    }

    QString lastStatus() const { return status.isEmpty() ? QString() : status.last().at(0).toString(); }

    std::string receiveBlock()
    {
        if (!waitFor([&] { return peer->bytesAvailable() >= qint64(tcpframe::kFrameSize); })) return "";
        const QByteArray frame = peer->read(tcpframe::kFrameSize);
        AesBlock cipher{};
        std::copy_n(frame.constData() + tcpframe::kCipherOffset, cipher.size(), cipher.begin());
        const AesBlock plain = aes128DecryptBlock(passwordKey(peerPassword), cipher);
        return std::string(plain.begin(), plain.end());
    }

    // Payload of the next data block, zero padding removed.
    std::string receivePiece()
    {
        const std::string plain = receiveBlock();
        if (plain.empty() || plain.front() != '[') return "<no data block>";
        const std::string p = plain.substr(tcpframe::kDataPieceOffset, tcpframe::kDataPieceSize);
        return p.substr(0, p.find('\0'));
    }

    QByteArray dataFrame(const std::string& piece) const
    {
        const TcpFrame f = wrapFrame(passwordKey(peerPassword), dataPlainBlock(piece, 0x10));
        return QByteArray(reinterpret_cast<const char*>(f.data()), qsizetype(f.size()));
    }
};

}  // namespace

TEST(TcpLink, ConnectsSendsHelloAndCarriesLinesBothWays)
{
    Loopback t;
    EXPECT_EQ(t.status.at(1).at(0).toString(), QStringLiteral("TCP/IP Connected"));
    ASSERT_EQ(t.hello.size(), 16u);
    EXPECT_EQ(t.hello.front(), '(');
    EXPECT_EQ(t.hello.back(), ')');

    t.link.tcpWrite("RPWD123456\r");
    EXPECT_EQ(t.receivePiece(), "RPWD123456\r");

    // The reply comes after a stray byte and cut at an awkward place.
    const QByteArray reply = "?" + t.dataFrame("PWDOK\r") + t.dataFrame("OK\r");
    t.peer->write(reply.left(25));
    ASSERT_TRUE(waitFor([&] { return t.received == "PWDOK\r"; }));
    t.peer->write(reply.mid(25));
    ASSERT_TRUE(waitFor([&] { return t.received == "PWDOK\rOK\r"; }));

    // An edited password field is used from the next block on.
    t.fieldText = QStringLiteral("  uj jelszo ");
    t.peerPassword = "uj jelszo";
    t.link.tcpWrite("AT\r");
    EXPECT_EQ(t.receivePiece(), "AT\r");
    t.peer->write(t.dataFrame("OK\r"));
    ASSERT_TRUE(waitFor([&] { return t.received.endsWith("OK\rOK\r"); }));
}

TEST(TcpLink, AFloodIsTakenInSlicesWithTheEventLoopRunningBetween)
{
    Loopback t;
    int slices = 0;
    QObject::connect(&t.link, &TcpLink::payloadReceived, [&] { ++slices; });
    // All on the wire before the link reads a byte: without slices it would
    // decode the lot in one go, holding every timer meanwhile.
    QByteArray flood;
    for (int i = 0; i < 5000; ++i) flood += t.dataFrame("X");
    t.peer->write(flood);
    ASSERT_TRUE(t.peer->waitForBytesWritten(5000));
    ASSERT_TRUE(waitFor([&] { return t.received.size() == 5000; }));
    EXPECT_GE(slices, 4);  // 90 000 bytes in slices of 18 KiB
}

TEST(TickSource, ACountingTimerGivesTheTicksAHeldUpLoopMissed)
{
    ensureQtCoreApp();
    // As when a burst of frames holds the loop: the periods that passed are
    // all counted once the loop runs again, so a wait ends on time.
    TimerTickSource counting(10, TimerTickSource::LateTicks::Counted);
    TimerTickSource plain(10);
    int counted = 0, plainTicks = 0;
    QObject::connect(&counting, &TickSource::tick, [&] { ++counted; });
    QObject::connect(&plain, &TickSource::tick, [&] { ++plainTicks; });
    counting.start();
    plain.start();
    QThread::msleep(300);
    ASSERT_TRUE(waitFor([&] { return counted >= 30; }));
    EXPECT_LT(plainTicks, 10);  // a plain timer fires once for the lot
}

TEST(TcpLink, HelloLeavesBeforeWhatIsSentOnTheNewsThatTheLinkIsUp)
{
    Loopback t([](TcpLink& link) { link.tcpWrite("RPWD123456\r"); });
    EXPECT_EQ(t.hello.front(), '(');
    EXPECT_EQ(t.receivePiece(), "RPWD123456\r");
}

TEST(TcpLink, PeerCloseWarnsButUserDisconnectDoesNot)
{
    Loopback byPeer;
    byPeer.peer->close();
    ASSERT_TRUE(waitFor([&] { return !byPeer.link.tcpActive(); }));
    EXPECT_EQ(byPeer.lastStatus(), QStringLiteral("TCP/IP Disconnected"));
    ASSERT_EQ(byPeer.warnings.size(), 1);
    EXPECT_EQ(byPeer.warnings.at(0).at(0).toString(),
              QStringLiteral("TCP/IP disconnected! Check IP address and password, then try again."));

    Loopback byUser;
    byUser.link.tcpWrite("WRFL\r");
    EXPECT_EQ(byUser.receivePiece(), "WRFL\r");
    for (const char* hex : {"0A", "1B", "2C", "3D", "4E", "5F", "60"}) byUser.link.tcpWrite(hex);
    EXPECT_EQ(byUser.receivePiece(), "0A1B2C3D4E5F");
    byUser.link.disconnectByUser();
    EXPECT_FALSE(byUser.link.tcpActive());
    EXPECT_EQ(byUser.lastStatus(), QStringLiteral("TCP/IP Disconnected"));
    EXPECT_TRUE(byUser.warnings.isEmpty());
    // Unfinished text waits for the next link.
    EXPECT_EQ(byUser.link.txPending(), QByteArray("60"));
}

TEST(TcpLink, ALinkTornDownWhileUpReportsNothingFromItsRemains)
{
    // The socket closes itself as it is destroyed, after the link's own
    // fields are gone: no status and no warning may come out of that.
    int heard = 0;
    {
        Loopback t;
        QObject::connect(&t.link, &TcpLink::statusChanged, [&] { ++heard; });
        QObject::connect(&t.link, &TcpLink::disconnectWarning, [&] { ++heard; });
        QObject::connect(&t.link, &TcpLink::activeChanged, [&] { ++heard; });
        ASSERT_TRUE(t.link.tcpActive());
    }
    EXPECT_EQ(heard, 0);
}

TEST(TcpLink, ReportsImmediateAndAsynchronousConnectFailures)
{
    ensureQtCoreApp();
    TcpLink link([] { return QString(); });
    QSignalSpy status(&link, &TcpLink::statusChanged);
    EXPECT_FALSE(link.connectTo(QStringLiteral("")));
    EXPECT_EQ(status.last().at(0).toString(), QStringLiteral("Cannot connect to  !!!"));

    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    ASSERT_TRUE(link.connectTo(QStringLiteral("127.0.0.1"), closedPort));
    // The system's number for a refused connection, not Qt's 0 that reads as "no error".
    const QString refused = QStringLiteral("TCP/IP Socket Error: %1 (").arg(ECONNREFUSED);
    EXPECT_TRUE(waitFor([&] { return status.last().at(0).toString().startsWith(refused); }));
    EXPECT_TRUE(status.last().at(0).toString().endsWith(QStringLiteral(")")));
    EXPECT_EQ(TcpLink::socketErrorText(QAbstractSocket::HostNotFoundError, QStringLiteral("Host not found")),
              "TCP/IP Socket Error: Host not found");
    EXPECT_FALSE(link.tcpActive());
}
