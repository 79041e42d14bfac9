#pragma once
// The command line of corvanta-sim.

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

#include "sim/sim_module.h"

namespace corvanta::sim {

struct SimOptions {
    ModuleSettings module;
    QString ptyPath;
    std::optional<quint16> tcpPort;
    QHostAddress listen = QHostAddress::LocalHost;
    QByteArray password;
    QString modemNumber;
    int baud = 0;
    bool verbose = false;
};

enum class ParseResult { Run, Help, Error };

// On Error, message says what is wrong; on Help, it holds the help text.
ParseResult parseSimOptions(const QStringList& arguments, SimOptions& options, QString& message);

}  // namespace corvanta::sim
