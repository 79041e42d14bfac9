// The links around the model: the modem in front of the serial line, the
// encrypted TCP port and the pseudo-terminal through real sockets and a real
// terminal, baud pacing, the in-process transport and the command line.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "link/tcp_frame_receiver.h"
#include "link/tcp_frames.h"
#include "sim/pacer.h"
#include "sim/pty_server.h"
#include "sim/sim_options.h"
#include "sim/sim_transport.h"
#include "sim/tcp_server.h"
#include "sim_harness.h"
#include "link/block_frame.h"

namespace corvanta::sim::test {
namespace {

const std::string kLogin = std::string("RPWD") + kGoodCode + "\r";

// Runs the event loop until done() holds; the deadline only bounds a failure.
template <typename Done>
bool waitFor(Done done, int deadlineMs = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > deadlineMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class ModemLine : public ::testing::Test {
protected:
    ModemLine()
        : module_((qtApp(), ModuleSettings{}), [this] { return now_; }),
          side_(&module_, SerialOptions{QStringLiteral("06-1 234 5678"), 0, [this] { return now_; }}) {
        QObject::connect(&side_, &SerialSide::toHost, [this](const QByteArray& b) { heard_ += b.toStdString(); });
    }
    std::string say(const std::string& bytes) {
        side_.fromHost(QByteArray::fromStdString(bytes));
        return take();
    }
    std::string wait(int64_t ms) {
        now_ += ms;
        side_.modem()->service();
        return take();
    }
    std::string take() { return std::exchange(heard_, {}); }

    int64_t now_ = 0;
    SimModule module_;
    SerialSide side_;
    std::string heard_;
};

TEST_F(ModemLine, DialsConnectsEscapesAndHangsUp) {
    EXPECT_EQ(say("AT\r"), "\r\nOK\r\n");
    EXPECT_EQ(say(kLogin), "\r\nERROR\r\n") << "no call: the modem answers, not the module";

    EXPECT_EQ(say("ATD0699999\r"), "");
    EXPECT_EQ(wait(ModemLayer::kConnectDelayMs), "\r\nNO CARRIER\r\n");

    EXPECT_EQ(say("ATD0612345678\r"), "");
    EXPECT_EQ(wait(ModemLayer::kConnectDelayMs - 1), "");
    EXPECT_EQ(wait(1), "\r\nCONNECT\r\n");
    EXPECT_EQ(say(kLogin), "PWDOK\r\n");
    EXPECT_EQ(say(std::string("TRF3") + kGoodCode + "\r"), "RFTERR\r\n");
    EXPECT_EQ(say("ATH\r"), "") << "online, ATH is data for the module";

    // Pluses without the guard time before them are data.
    EXPECT_EQ(say("+++"), "");
    EXPECT_EQ(wait(ModemLayer::kGuardMs), "");
    EXPECT_EQ(say(kLogin), "") << "the module now holds +++ at the start of a line";
    EXPECT_EQ(say("\r" + kLogin), "PWDOK\r\n");

    wait(ModemLayer::kGuardMs);
    EXPECT_EQ(say("+++"), "");
    EXPECT_EQ(wait(ModemLayer::kGuardMs - 1), "") << "guard time after the pluses not yet over";
    EXPECT_EQ(wait(1), "\r\nOK\r\n");
    EXPECT_EQ(say("ATH\r"), "\r\nOK\r\n");
    EXPECT_EQ(say(std::string("TRF3") + kGoodCode + "\r"), "\r\nERROR\r\n") << "back in command mode";
    EXPECT_EQ(say("ATO\r"), "\r\nNO CARRIER\r\n") << "the call is gone";
}

TEST_F(ModemLine, TeachingIsAllowedAgainAfterTheCall) {
    say("ATD0612345678\r");
    wait(ModemLayer::kConnectDelayMs);
    wait(ModemLayer::kGuardMs);
    say("+++");
    wait(ModemLayer::kGuardMs);
    say("ATH\r");
    module_.receive(QByteArray::fromStdString(std::string("TRF3") + kGoodCode + "\r"));
    EXPECT_NE(module_.radio().frameBytes()[36], 0) << "slot 3 learning";
}

// A TCP client speaking with the program's own frame code.
class TcpPeer {
public:
    TcpPeer(quint16 port, const std::string& password) : key_(corvanta::passwordKey(password)) {
        socket_.connectToHost(QHostAddress::LocalHost, port);
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
            const QByteArray b = socket_.readAll();
            ++reads_;
            raw_ += b.size();
            for (uint8_t c : receiver_.feed(std::span(reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size())), key_))
                text_ += char(c);
        });
    }
    bool connected() { return waitFor([this] { return socket_.state() == QAbstractSocket::ConnectedState; }); }
    void send(const std::string& text, const std::string& password = {}) {
        const AesKey key = password.empty() ? key_ : corvanta::passwordKey(password);
        for (const std::string& piece : takePieces(pending_, text)) {
            const TcpFrame f = wrapFrame(key, dataPlainBlock(piece, random_.next()));
            socket_.write(reinterpret_cast<const char*>(f.data()), qint64(f.size()));
        }
    }
    void sendHello() {
        const TcpFrame f = wrapFrame(key_, helloPlainBlock(random_));
        socket_.write(reinterpret_cast<const char*>(f.data()), qint64(f.size()));
    }
    // The next complete line, CR and LF removed.
    std::string line() {
        std::string out;
        waitFor([this] { return text_.find('\r') != std::string::npos; });
        const auto cr = text_.find('\r');
        if (cr == std::string::npos) return out;
        out = text_.substr(0, cr);
        text_.erase(0, cr + 1);
        while (!text_.empty() && text_.front() == '\n') text_.erase(0, 1);
        return out;
    }

    QTcpSocket socket_;
    AesKey key_;
    TcpRandom random_;
    TcpFrameReceiver receiver_;
    std::string pending_, text_;
    int reads_ = 0;
    qsizetype raw_ = 0;
};

TEST(TcpLink, CarriesLinesInEncryptedFramesBothWays) {
    SimModule module((qtApp(), ModuleSettings{}));
    TcpServer server(&module, QByteArray(" titok "), Faults{});
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0, nullptr));
    TcpPeer peer(server.port(), "titok");
    ASSERT_TRUE(peer.connected());
    peer.sendHello();  // not a data block: ignored
    peer.send("RPWD" + std::string(kGoodCode) + "\r");
    EXPECT_EQ(peer.line(), "PWDOK");
    peer.send("RDFLFFFF\r");
    const std::string reply = peer.line();
    BlockFrame f{};
    EXPECT_EQ(decodeBlockReply(reply, f), BlockReply::Received);
    EXPECT_EQ(server.framesSent(), 1 + 46) << "PWDOK\\r\\n in one piece, 546 bytes in 46";

    // A frame under another password does not decrypt to a data block.
    peer.send("RPWD" + std::string(kGoodCode) + "\r", "other");
    peer.send("RPWS" + std::string(kGoodCode) + "\r");
    EXPECT_EQ(peer.line().substr(0, 4), "AT_[") << "only the correctly keyed frame was answered";
}

TEST(TcpLink, SplitAndStrayFaultsStillDeliverToAPatientReader) {
    ModuleSettings s;
    std::string error;
    ASSERT_TRUE(addFault("tcp-split", s.faults, error));
    ASSERT_TRUE(addFault("tcp-stray", s.faults, error));
    SimModule module((qtApp(), s));
    TcpServer server(&module, QByteArray("x"), s.faults);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0, nullptr));
    TcpPeer peer(server.port(), "x");
    ASSERT_TRUE(peer.connected());
    peer.send("RPWD" + std::string(kGoodCode) + "\r");
    EXPECT_EQ(peer.line(), "PWDOK");
    EXPECT_EQ(peer.raw_, 18 + 3) << "one frame and its stray bytes";
    EXPECT_GE(peer.reads_, 2) << "the frame came in two reads";
}

TEST(TcpLink, ClosesAfterTheNamedNumberOfFrames) {
    ModuleSettings s;
    std::string error;
    ASSERT_TRUE(addFault("tcp-close-after=10", s.faults, error));
    SimModule module((qtApp(), s));
    TcpServer server(&module, QByteArray("x"), s.faults);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0, nullptr));
    TcpPeer peer(server.port(), "x");
    ASSERT_TRUE(peer.connected());
    peer.send("RPWD" + std::string(kGoodCode) + "\r");
    EXPECT_EQ(peer.line(), "PWDOK");
    peer.send("RDFL0000\r");
    ASSERT_TRUE(waitFor([&] { return peer.socket_.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(peer.raw_, 10 * 18);
}

TEST(PseudoTerminal, ServesTheLineBehindASymbolicLink) {
    QTemporaryDir dir;
    const QString link = dir.filePath("corvanta");
    SimModule module((qtApp(), ModuleSettings{}));
    SerialSide side(&module, SerialOptions{});
    std::string slave;
    {
        PtyServer pty;
        QString error;
        ASSERT_TRUE(pty.open(link, &error)) << error.toStdString();
        QObject::connect(&pty, &PtyServer::received, &side, &SerialSide::fromHost);
        QObject::connect(&side, &SerialSide::toHost, &pty, &PtyServer::write);
        slave = pty.slavePath().toStdString();
        EXPECT_EQ(QFileInfo(link).symLinkTarget().toStdString(), slave);

        const int fd = ::open(link.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        termios tio{};
        ::tcgetattr(fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
        ASSERT_EQ(::write(fd, kLogin.data(), kLogin.size()), ssize_t(kLogin.size()));
        std::string heard;
        EXPECT_TRUE(waitFor([&] {
            char buf[256];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) heard.append(buf, size_t(n));
            return heard.find('\n') != std::string::npos;
        }));
        EXPECT_EQ(heard, "PWDOK\r\n");
        ::close(fd);

        // Another program's file is never replaced.
        QFile other(dir.filePath("taken"));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.close();
        PtyServer second;
        EXPECT_FALSE(second.open(other.fileName(), &error));
        EXPECT_TRUE(QFileInfo(other.fileName()).isFile());
    }
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "link removed on exit";
}

TEST(BaudPacing, BytesLeaveNoFasterThanTheLineAndNotSlower) {
    qtApp();
    Pacer pacer(19200);
    QByteArray got;
    QObject::connect(&pacer, &Pacer::released, [&](const QByteArray& b) { got += b; });
    QElapsedTimer t;
    t.start();
    pacer.push(QByteArray(384, 'x'));  // 200 ms at 1920 bytes a second
    bool early = false;
    ASSERT_TRUE(waitFor([&] {
        // Bytes released so far never run ahead of the line.
        const qint64 ms = t.elapsed();
        if (got.size() > 1 + ms * 1920 / 1000 + 2) early = true;
        return got.size() == 384;
    }));
    const qint64 ms = t.elapsed();
    EXPECT_FALSE(early);
    EXPECT_GE(ms, 195);
    EXPECT_LT(ms, 300) << "pacing must not slow the line down";
}

TEST(InProcessTransport, AnswersArriveLaterThroughReadyRead) {
    qtApp();
    SimModule module{ModuleSettings{}};
    SimTransport transport(&module);
    EXPECT_FALSE(transport.write("RPWD"));
    ASSERT_TRUE(transport.open(nullptr));
    QSignalSpy ready(&transport, &Transport::readyRead);
    ASSERT_TRUE(transport.write(QByteArray::fromStdString(kLogin)));
    EXPECT_EQ(ready.count(), 0) << "never from inside the program's write";
    ASSERT_TRUE(ready.wait(1000));
    EXPECT_EQ(transport.readAll(), "PWDOK\r\n");
    transport.close();
    transport.write(QByteArray::fromStdString(kLogin));
    EXPECT_TRUE(transport.readAll().isEmpty());
}

TEST(CommandLine, RefusesUnknownOptionsAndValuesClearly) {
    auto parse = [](QStringList args, QString* message = nullptr) {
        SimOptions o;
        QString m;
        args.prepend("corvanta-sim");
        const ParseResult r = parseSimOptions(args, o, m);
        if (message) *message = m;
        return r;
    };
    QString m;
    EXPECT_EQ(parse({"--tcp", "8989", "--colour"}, &m), ParseResult::Error);
    EXPECT_TRUE(m.contains("colour"));
    EXPECT_EQ(parse({"--tcp", "70000"}), ParseResult::Error);
    EXPECT_EQ(parse({"--tcp", "8989", "--status-kind", "5"}), ParseResult::Error);
    EXPECT_EQ(parse({"--tcp", "8989", "--fault", "no-such"}, &m), ParseResult::Error);
    EXPECT_TRUE(m.contains("no-such"));
    EXPECT_EQ(parse({"--image", "/nonexistent/image.cd2", "--tcp", "1"}), ParseResult::Error);
    EXPECT_EQ(parse({"--data-version", "3"}, &m), ParseResult::Error) << "no link to serve";
    EXPECT_EQ(parse({"--help"}, &m), ParseResult::Help);
    EXPECT_TRUE(m.contains("tcp-close-after"));

    SimOptions o;
    ASSERT_EQ(parseSimOptions({"corvanta-sim", "--pty", "/tmp/x", "--modem", "0612345", "--baud", "19200", "--fault",
                               "bad-checksum=0003", "--fault", "pwderr", "--password", " jelszó "},
                              o, m),
              ParseResult::Run)
        << m.toStdString();
    EXPECT_TRUE(o.module.faults.badChecksum.has(3));
    EXPECT_FALSE(o.module.faults.badChecksum.has(4));
    EXPECT_TRUE(o.module.faults.pwdErrAlways);
    EXPECT_EQ(o.baud, 19200);
    EXPECT_EQ(o.password, QByteArray(" jelsz\xF3 ")) << "Windows-1250 bytes, as the program keys its cipher";
}

}  // namespace
}  // namespace corvanta::sim::test
