#include "ui/demo_module.h"

#include "link/port_discovery.h"
#include "sim/pty_server.h"
#include "sim/serial_side.h"
#include "sim/sim_module.h"

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

QString DemoModule::directPath() const { return direct_ ? direct_->pty.slavePath() : QString(); }
QString DemoModule::modemPath() const { return modem_ ? modem_->pty.slavePath() : QString(); }

}  // namespace corvanta
