#pragma once
// The simulated module behind `corvanta --demo`: two pseudo-terminals in this
// process, one wired straight to a module and one with a Hayes modem in
// front, both listed in the port chooser as present ports.

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

    // baud 0: answers as fast as they come (tests); else paced like a line.
    explicit DemoModule(int baud = 19200, QObject* parent = nullptr);
    ~DemoModule() override;

    // Opens both terminals and lists them; false with *error when the
    // system has no pseudo-terminals to give.
    bool start(PortDiscovery& discovery, QString* error);

    QString directPath() const;
    QString modemPath() const;

private:
    struct Line;
    std::unique_ptr<Line> direct_;
    std::unique_ptr<Line> modem_;
    int baud_;
};

}  // namespace corvanta
