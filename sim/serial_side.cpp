#include "sim/serial_side.h"

namespace corvanta::sim {

SerialSide::SerialSide(SimModule* module, SerialOptions options, QObject* parent)
    : QObject(parent), module_(module), inbound_(options.baud), outbound_(options.baud) {
    connect(&outbound_, &Pacer::released, this, &SerialSide::toHost);
    if (options.modemNumber.isEmpty()) {
        connect(&inbound_, &Pacer::released, module_, &SimModule::receive);
        connect(module_, &SimModule::transmit, &outbound_, &Pacer::push);
        return;
    }
    modem_ = std::make_unique<ModemLayer>(options.modemNumber, options.clock);
    connect(&inbound_, &Pacer::released, modem_.get(), &ModemLayer::fromLine);
    connect(modem_.get(), &ModemLayer::toModule, module_, &SimModule::receive);
    connect(module_, &SimModule::transmit, modem_.get(), &ModemLayer::fromModule);
    connect(modem_.get(), &ModemLayer::toLine, &outbound_, &Pacer::push);
    connect(modem_.get(), &ModemLayer::callChanged, module_, &SimModule::setRemoteCall);
    connect(modem_.get(), &ModemLayer::traffic, module_, &SimModule::traffic);
}

void SerialSide::fromHost(const QByteArray& bytes) { inbound_.push(bytes); }

}  // namespace corvanta::sim
