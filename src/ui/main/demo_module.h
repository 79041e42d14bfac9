#pragma once
// The simulated module behind `corvanta --demo`: two pseudo-terminals in this
// process, one wired straight to a module and one with a Hayes modem in
// front, both listed in the port chooser as present ports; and, when the
// port is free, the module's remote-access port on this computer.

#include <QObject>
#include <QString>

#include <memory>

namespace corvanta {

class PortDiscovery;

namespace sim {
class PtyServer;
class SerialSide;
class SimModule;
}  // namespace sim

class DemoModule : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kModemNumber = "0612345678";
    static constexpr const char* kTcpHost = "127.0.0.1";
    static constexpr const char* kTcpPassword = "demo";

    // baud 0: answers as fast as they come (tests); else paced like a line.
    explicit DemoModule(int baud = 19200, QObject* parent = nullptr);
    ~DemoModule() override;

    // Opens both terminals and lists them; false with *error when the
    // system has no pseudo-terminals to give.
    bool start(PortDiscovery& discovery, QString* error);

    QString directPath() const;
    QString modemPath() const;
    // The direct line goes away as a pulled USB adapter does: the program's
    // open port fails under it.
    void pullDirectLine();
    // The remote-access port is up (it may have been taken by another program).
    bool tcpListening() const;
    // A few lines telling the user where to find the simulated module.
    QString guide() const;

    // Listens on the module's TCP/IP port too (`port` 0: any free one).
    bool listenTcp(quint16 port, QString* error);
    quint16 tcpPort() const;

private:
    struct Line;
    std::unique_ptr<Line> direct_;
    std::unique_ptr<Line> modem_;
    struct Remote;
    std::unique_ptr<Remote> remote_;
    int baud_;
};

}  // namespace corvanta
