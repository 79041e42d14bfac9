// The link against the simulated module: in the same process where that is
// enough, and against the simulator's own process through a real
// pseudo-terminal and a real TCP socket.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

#include "link/module_link.h"
#include "link/serial_transport.h"
#include "sim/sim_module.h"
#include "sim/sim_transport.h"
#include "tests/link/scripted_line.h"
#include "tests/link/sim_process.h"
#include "transfer/parameter_transfer.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/build_paths.h"

using namespace corvanta;
using namespace corvanta::testing;

namespace {

// Ten times faster than the program's ticks: still far longer than any
// answer over a pseudo-terminal or loopback takes.
constexpr int kFastTickMs = 10;

std::unique_ptr<ModuleLink> makeLink(Messenger* messenger, std::unique_ptr<TickSource> ticks =
                                                               nullptr) {
    ensureQtCoreApp();
    auto link = std::make_unique<ModuleLink>(
        ticks ? std::move(ticks) : std::make_unique<TimerTickSource>(kFastTickMs),
        std::make_unique<ManualTickSource>());
    link->setMessenger(messenger);
    link->setInstallerCode("1234");
    return link;
}

// Waits (in real time, bounded) for the TCP/IP link to come up or fail.
bool connectTcp(ModuleLink& link, quint16 port, const QString& password) {
    link.setTcpPassword(password);
    QEventLoop loop;
    QObject::connect(&link.tcp(), &TcpLink::activeChanged, &loop, &QEventLoop::quit);
    QObject::connect(&link.tcp(), &TcpLink::statusChanged, &loop, [&](const QString& s) {
        if (s.startsWith("TCP/IP Socket Error")) loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    if (!link.tcp().connectTo(QStringLiteral("127.0.0.1"), port)) return false;
    loop.exec();
    return link.tcpActive();
}

class NullView : public TransferView {
public:
    std::string row = "SSSSSSSS";
    void paintBlock(int block, BlockColour c) override { row[block] = "SWYGR"[int(c)]; }
    void setOperationRunning(bool) override {}
};

void roundTrip(ModuleLink& link) {
    ParameterImage image{};
    NullView view;
    ParameterTransfer transfer(link, image, view);
    ASSERT_TRUE(transfer.read());
    ASSERT_TRUE(transfer.compare());
    image[1000] ^= 0x3C;
    ASSERT_TRUE(transfer.write());
    const ParameterImage written = image;
    image.fill(0);
    ASSERT_TRUE(transfer.read());
    EXPECT_EQ(image, written);
    EXPECT_EQ(view.row, "GGGGGGGG");
}

}  // namespace

// --- in the same process -------------------------------------------------------

TEST(VersionQueryAgainstTheModule, EachFailureGivesItsTextAndStatus) {
    struct Row {
        const char* fault;
        std::string result;
    } rows[] = {
        {"pwderr", " Hibás telepítői azonosító!"},
        {"no-read-reply=FFFF", ""},
        {"bad-checksum=FFFF", ""},
    };
    ensureQtCoreApp();
    for (const Row& row : rows) {
        sim::ModuleSettings settings;
        std::string error;
        ASSERT_TRUE(sim::addFault(row.fault, settings.faults, error)) << error;
        sim::SimModule module(settings);
        sim::SimTransport line(&module);
        RecordingMessenger messages;
        auto link = makeLink(&messages);
        link->setTransport(&line);
        line.open(nullptr);
        link->setDataVersion(9);
        EXPECT_EQ(link->queryModuleVersion().toStdString(), row.result) << row.fault;
        EXPECT_EQ(link->statusLine().toStdString(), "Leolvasás sikertelen.") << row.fault;
        EXPECT_EQ(link->dataVersion(), 9) << row.fault;
        line.close();
        EXPECT_EQ(link->queryModuleVersion().toStdString(), " Nincs soros kapcsolat.");
    }
}

// --- through a pseudo-terminal and a TCP socket ------------------------------------

class SimProcessTest : public ::testing::Test {
protected:
    void SetUp() override { ensureQtCoreApp(); }
};

TEST_F(SimProcessTest, RoundTripOverAPseudoTerminal) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    RecordingMessenger messages;
    auto link = makeLink(&messages);
    SerialTransport serial;
    ASSERT_TRUE(serial.setPortName(sim.ptyPath()));
    link->setTransport(&serial);
    ASSERT_TRUE(link->serialConnect()) << link->statusLine().toStdString();
    EXPECT_EQ(link->statusLine().toStdString(), " Soros kapcsolat rendben.");
    roundTrip(*link);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(SimProcessTest, RoundTripOverTcp) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    RecordingMessenger messages;
    auto link = makeLink(&messages);
    ASSERT_TRUE(connectTcp(*link, sim.tcpPort(), SimProcess::kPassword));
    EXPECT_TRUE(link->linkConnected());
    roundTrip(*link);
    const QString version = link->queryModuleVersion();
    EXPECT_TRUE(version.startsWith(QString::fromUtf8("Programverzió: "))) << version.toStdString();
    EXPECT_TRUE(version.endsWith("(DataVer=2)"));
}

TEST_F(SimProcessTest, FramesSplitAcrossReadsAndStrayBytesStillArrive) {
    // The simulator leaves a gap after every part, so only short answers
    // are exchanged here, at the program's own tick rate.
    SimProcess sim({"--fault", "tcp-split", "--fault", "tcp-stray"});
    ASSERT_TRUE(sim.ready());
    RecordingMessenger messages;
    auto link = makeLink(&messages, std::make_unique<TimerTickSource>(ModuleLink::kTransferTickMs));
    ASSERT_TRUE(connectTcp(*link, sim.tcpPort(), SimProcess::kPassword));
    EXPECT_TRUE(link->installerLogin()) << link->loginMessage().toStdString();
    link->setInstallerCode("9");
    EXPECT_FALSE(link->installerLogin());
    EXPECT_EQ(link->loginMessage().toStdString(), " Hibás telepítői azonosító!");
}

TEST_F(SimProcessTest, WrongTcpPasswordRunsTheLoginOutAndSaysThePasswordIsProbablyWrong) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    RecordingMessenger messages;
    auto link = makeLink(&messages);
    ASSERT_TRUE(connectTcp(*link, sim.tcpPort(), "nem-ez"));
    EXPECT_FALSE(link->installerLogin());
    EXPECT_FALSE(link->tcp().answeredSinceConnect());
    EXPECT_EQ(link->loginMessage().toStdString(),
              "A TCP/IP kapcsolaton nem jött a jelszóval megfejthető válasz: a TCP/IP jelszó valószínűleg hibás. "
              "Ellenőrizze a jelszót, és kapcsolódjon újra!");
}

TEST_F(SimProcessTest, ASilenceAfterTheLinkHasAnsweredBlamesTheModuleNotThePassword) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    RecordingMessenger messages;
    auto link = makeLink(&messages);
    ASSERT_TRUE(connectTcp(*link, sim.tcpPort(), SimProcess::kPassword));
    ASSERT_TRUE(link->installerLogin()) << link->loginMessage().toStdString();
    EXPECT_TRUE(link->tcp().answeredSinceConnect());
    // The field changed under a link that is up: from now on nothing the
    // module sends decrypts, but it has answered on this connection before.
    link->setTcpPassword("nem-ez");
    EXPECT_FALSE(link->installerLogin());
    EXPECT_EQ(link->loginMessage().toStdString(),
              "A modul nem válaszol! Állítsa le a riasztási eseményeket és próbálja újra!");
}

TEST_F(SimProcessTest, PeerCloseIsReportedAndEndsTheLink) {
    SimProcess sim({"--fault", "tcp-close-after=3"});
    ASSERT_TRUE(sim.ready());
    RecordingMessenger messages;
    auto link = makeLink(&messages);
    std::vector<QString> statuses;
    QObject::connect(link.get(), &ModuleLink::statusLineChanged,
                     [&](const QString& s) { statuses.push_back(s); });
    ASSERT_TRUE(connectTcp(*link, sim.tcpPort(), SimProcess::kPassword));
    ParameterImage image{};
    NullView view;
    ParameterTransfer transfer(*link, image, view);
    EXPECT_FALSE(transfer.read());
    EXPECT_FALSE(link->tcpActive());
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "TCP/IP Disconnected"), statuses.end());
    EXPECT_NE(std::find(messages.messages.begin(), messages.messages.end(),
                        "TCP/IP disconnected! Check IP address and password, then try again."),
              messages.messages.end());
}

TEST_F(SimProcessTest, SerialBytesAreIgnoredWhileTcpCarriesTheTraffic) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    RecordingMessenger messages;
    auto link = makeLink(&messages);
    ScriptedLine serial;
    serial.open(nullptr);
    link->setTransport(&serial);
    ASSERT_TRUE(connectTcp(*link, sim.tcpPort(), SimProcess::kPassword));
    serial.deliver("WROK\r");
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_FALSE(link->flags().writeOk);
    EXPECT_TRUE(link->installerLogin());  // answered over TCP/IP
    EXPECT_TRUE(serial.written.empty());
}

// --- the command-line tool ------------------------------------------------------

TEST_F(SimProcessTest, CliReadCompareWriteOverThePseudoTerminal) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const QStringList link = {"--port", sim.ptyPath(), "--code", "1234"};
    const QString file = sim.file("modul.CD2");

    CliResult r = runCli(QStringList{"read", "-o", file} + link);
    ASSERT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("Blokkok: GGGGGGGG"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    ASSERT_EQ(bytes.size(), 2048);

    r = runCli(link + QStringList{"compare", file});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();

    bytes[0] = char(bytes[0] ^ 0x20);  // first user's name
    f.seek(0);
    f.write(bytes);
    f.close();
    r = runCli(link + QStringList{"compare", file});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.output.contains("Blokkok: RYYYYYYY")) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("block 1 (address 0000) differs from the file")) << r.output.toStdString();

    r = runCli(QStringList{"write", file} + link);
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    r = runCli(link + QStringList{"compare", file});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
}

TEST_F(SimProcessTest, CliVersionAndAlarmStopOverTcp) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const QStringList link = {"--host", "127.0.0.1", "--password", SimProcess::kPassword,
                              "--tcp-port", QString::number(sim.tcpPort()), "--code", "1234"};
    CliResult r = runCli(QStringList{"version"} + link);
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("(DataVer=2)"));

    r = runCli(QStringList{"alarm-stop"} + link);
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("Riasztási események leállítva!")));
}

TEST_F(SimProcessTest, CliSecretsStayOffTheCommandLine) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const QStringList link = {"--host", "127.0.0.1", "--tcp-port", QString::number(sim.tcpPort())};
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CORVANTA_PASSWORD", SimProcess::kPassword);
    env.insert("CORVANTA_CODE", "1234");
    CliResult r = runCli(QStringList{"version"} + link, 60000, env);
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("(DataVer=2)"));

    // The first line of a file; the file wins over the environment.
    QFile file(sim.file("password"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(SimProcess::kPassword) + "\r\nnext line\n");
    file.close();
    env.insert("CORVANTA_PASSWORD", "wrong");
    r = runCli(QStringList{"version", "--password-file", file.fileName()} + link, 60000, env);
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();

    // Asked on the terminal, without echo, when none is given.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master) | ::unlockpt(master), 0);
    const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    QProcess cli;
    cli.setChildProcessModifier([terminal] { ::dup2(terminal, STDIN_FILENO); });
    cli.start(QString::fromStdString(CORVANTA_CLI), QStringList{"version", "--code", "1234"} + link);
    QByteArray prompt;
    QDeadlineTimer deadline(10000);
    while (!prompt.contains("password for 127.0.0.1: ") && !deadline.hasExpired()) {
        cli.waitForReadyRead(100);
        prompt += cli.readAllStandardError();
    }
    const QByteArray typed = QByteArray(SimProcess::kPassword) + "\n";
    ASSERT_EQ(::write(master, typed.constData(), std::size_t(typed.size())), typed.size());
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0) << prompt.toStdString();
    EXPECT_TRUE(cli.readAllStandardOutput().contains("(DataVer=2)"));
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    char echoed[256];
    const ssize_t n = ::read(master, echoed, sizeof echoed);
    EXPECT_FALSE(QByteArray(echoed, std::max<ssize_t>(n, 0)).contains(SimProcess::kPassword));
    ::close(terminal);
    ::close(master);

    const CliResult help = runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.contains("other local users can\n                        read it")) << help.output.toStdString();
}

TEST_F(SimProcessTest, CliSaysWhichBlockFailedAndWhy) {
    SimProcess sim({"--fault", "bad-checksum=0005"});
    ASSERT_TRUE(sim.ready());
    const CliResult r = runCli({"read", "-o", sim.file("m.CD2"), "--port", sim.ptyPath(), "--code", "1234"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.output.contains("Blokkok: GGGGGRRR")) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("block 6 (address 0005) could not be read: the reply was damaged"))
        << r.output.toStdString();
}

TEST_F(SimProcessTest, CliFailuresAndBadUsage) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const QString file = sim.file("never.CD2");
    CliResult r = runCli({"read", "-o", file, "--port", sim.ptyPath(), "--code", "9999"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.output.contains(QString::fromUtf8(" Hibás telepítői azonosító!")));
    EXPECT_FALSE(QFile::exists(file));  // written only after a complete read

    EXPECT_EQ(runCli({"read", "-o", file}).exitCode, 2);  // no link named
    EXPECT_EQ(runCli({"version", "--host", "127.0.0.1"}).exitCode, 2);
    EXPECT_EQ(runCli({"write", sim.file("missing.CD2"), "--port", sim.ptyPath()}).exitCode, 2);
    EXPECT_EQ(runCli({"version", "--port", sim.ptyPath(), "--code", "1234567"}).exitCode, 2);
    r = runCli({"version", "--host", "127.0.0.1", "--password", "x", "--tcp-prot", "9000"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.output.contains("--tcp-prot")) << r.output.toStdString();
    EXPECT_EQ(runCli({"compare", file, "-o", file, "--port", sim.ptyPath()}).exitCode, 2);

    // Refused before the link opens: an output nowhere to go, a file that
    // is no image, an image whose installer code would lock the installer out.
    const QString nowhere = sim.file("no/folder.CD2");
    r = runCli({"read", "-o", nowhere, "--port", sim.ptyPath(), "--code", "1234"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.output.contains(nowhere)) << r.output.toStdString();
    QFile jpeg(sim.file("photo.CD2"));
    ASSERT_TRUE(jpeg.open(QIODevice::WriteOnly));
    jpeg.write(QByteArray(2100, 'G'));
    jpeg.close();
    QFile locked(sim.file("locked.CD2"));
    ASSERT_TRUE(locked.open(QIODevice::WriteOnly));
    locked.write(QByteArray(2048, '\0'));  // installer code "******"
    locked.close();
    for (const QString& image : {jpeg.fileName(), locked.fileName()}) {
        r = runCli({"write", image, "--port", sim.ptyPath(), "--code", "1234"});
        EXPECT_EQ(r.exitCode, 2) << image.toStdString();
        EXPECT_TRUE(r.output.contains(image)) << r.output.toStdString();
        EXPECT_FALSE(r.output.contains("Blokkok"));
    }
}
