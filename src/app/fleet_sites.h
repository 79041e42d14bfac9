#pragma once
// The site list of a fleet job: a CSV file with a header line and the
// columns name, and either port (a serial line) or host with maybe tcpPort;
// passwordFile optionally names the file holding a TCP/IP password.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace corvanta::cli {

struct FleetSite {
    int line = 0;  // where its row starts in the file
    QString name;
    QString port;
    QString host;
    int tcpPort = 0;  // 0: the module's own
    QString passwordFile;
};

// Every site, or nullopt with `error` naming the line at fault. A relative
// passwordFile is taken from `folder`.
std::optional<std::vector<FleetSite>> parseFleetSites(const QByteArray& csv, const QString& folder, QString& error);

}  // namespace corvanta::cli
