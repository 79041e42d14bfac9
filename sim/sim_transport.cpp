#include "sim/sim_transport.h"

#include <QTimer>

namespace corvanta::sim {

SimTransport::SimTransport(SimModule* module, SerialOptions options, QObject* parent)
    : Transport(parent), side_(module, std::move(options)) {
    connect(&side_, &SerialSide::toHost, this, &SimTransport::arrived);
}

bool SimTransport::open(QString*) {
    open_ = true;
    received_.clear();
    return true;
}

void SimTransport::close() { open_ = false; }

bool SimTransport::write(const QByteArray& bytes) {
    if (!open_) return false;
    side_.fromHost(bytes);
    return true;
}

QByteArray SimTransport::readAll() {
    return std::exchange(received_, {});
}

void SimTransport::arrived(const QByteArray& bytes) {
    // A closed port hears nothing, as the real one.
    if (!open_) return;
    received_ += bytes;
    if (announced_) return;
    announced_ = true;
    // Never call back into the program from inside its own write.
    QTimer::singleShot(0, this, [this] {
        announced_ = false;
        if (open_ && !received_.isEmpty()) emit readyRead();
    });
}

}  // namespace corvanta::sim
