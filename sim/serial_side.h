#pragma once
// The module's end of a serial line: optional modem in front, optional
// baud pacing in both directions. The pseudo-terminal server and the
// in-process transport both use it.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

#include "sim/modem_layer.h"
#include "sim/pacer.h"
#include "sim/sim_module.h"

namespace corvanta::sim {

struct SerialOptions {
    QString modemNumber;  // empty: the module is wired directly
    int baud = 0;         // 0: no pacing
    MsClock clock;        // for the modem's delays and guard times
};

class SerialSide : public QObject {
    Q_OBJECT
public:
    SerialSide(SimModule* module, SerialOptions options, QObject* parent = nullptr);

    ModemLayer* modem() { return modem_.get(); }

public slots:
    void fromHost(const QByteArray& bytes);

signals:
    void toHost(const QByteArray& bytes);

private:
    SimModule* module_;
    std::unique_ptr<ModemLayer> modem_;
    Pacer inbound_;
    Pacer outbound_;
};

}  // namespace corvanta::sim
