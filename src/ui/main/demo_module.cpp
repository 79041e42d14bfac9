#include "ui/main/demo_module.h"

#include "link/port_discovery.h"
#include "sim/pty_server.h"
#include "sim/serial_side.h"
#include "sim/sim_module.h"
#include "sim/tcp_server.h"

namespace corvanta {

namespace {
const char* const kMaker = "corvanta --demo";
const char* const kDirectName = "Szimulált Corvanta modul";
}  // namespace

struct DemoModule::Line {
    sim::SimModule module{sim::ModuleSettings{}};
    sim::PtyServer pty;
    std::unique_ptr<sim::SerialSide> side;
};

struct DemoModule::Remote {
    sim::SimModule module{sim::ModuleSettings{}};
    sim::TcpServer server{&module, QByteArray(kTcpPassword), sim::Faults{}};
};

DemoModule::DemoModule(int baud, QObject* parent) : QObject(parent), baud_(baud) {}

DemoModule::~DemoModule() = default;

bool DemoModule::start(PortDiscovery& discovery, QString* error) {
    // Each line has a module of its own, so neither hears the other's answers.
    auto open = [this, error](const QString& modemNumber) -> std::unique_ptr<Line> {
        auto line = std::make_unique<Line>();
        if (!line->pty.open(QString(), error)) return nullptr;
        line->side = std::make_unique<sim::SerialSide>(&line->module, sim::SerialOptions{modemNumber, baud_, {}});
        connect(&line->pty, &sim::PtyServer::received, line->side.get(), &sim::SerialSide::fromHost);
        connect(line->side.get(), &sim::SerialSide::toHost, &line->pty, &sim::PtyServer::write);
        return line;
    };
    direct_ = open(QString());
    if (!direct_) return false;
    modem_ = open(QString::fromLatin1(kModemNumber));
    if (!modem_) return false;
    discovery.addExtraPort(direct_->pty.slavePath().toStdString(), kDirectName, kMaker);
    discovery.addExtraPort(modem_->pty.slavePath().toStdString(),
                           std::string("Szimulált modem, hívószám ") + kModemNumber, kMaker);
    return true;
}

bool DemoModule::listenTcp(quint16 port, QString* error) {
    auto remote = std::make_unique<Remote>();
    if (!remote->server.listen(QHostAddress(QString::fromLatin1(kTcpHost)), port, error)) return false;
    remote_ = std::move(remote);
    return true;
}

bool DemoModule::tcpListening() const { return remote_ != nullptr; }
quint16 DemoModule::tcpPort() const { return remote_ ? remote_->server.port() : 0; }

QString DemoModule::guide() const {
    QString text = QStringLiteral("Szimulált modul (telepítői kód 1234): %1\n").arg(directPath());
    text += QStringLiteral("Szimulált modem: %1, hívószám %2\n").arg(modemPath(), QString::fromLatin1(kModemNumber));
    if (remote_) {
        text += QStringLiteral("TCP/IP: %1 (port %2), jelszó \"%3\"\n")
                    .arg(QString::fromLatin1(kTcpHost))
                    .arg(tcpPort())
                    .arg(QString::fromLatin1(kTcpPassword));
    }
    return text;
}

void DemoModule::pullDirectLine() { direct_.reset(); }

QString DemoModule::directPath() const { return direct_ ? direct_->pty.slavePath() : QString(); }
QString DemoModule::modemPath() const { return modem_ ? modem_->pty.slavePath() : QString(); }

}  // namespace corvanta
