#pragma once
// The site list of a fleet job: a CSV file with a header line and the
// columns name, and either port (a serial line) or host with maybe tcpPort;
// passwordFile optionally names the file holding a TCP/IP password.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>
#include <vector>

namespace corvanta::fleet {

struct FleetSite {
    int line = 0;  // where its row starts in the file
    QString name;
    QString port;
    QString host;
    int tcpPort = 0;  // 0: the module's own
    QString passwordFile;
};

// A list is a small text file: 10 000 sites fit in well under a MiB. What
// is larger is no site list (a device, a wrong file) and is not read on.
inline constexpr qint64 kMaxSiteListBytes = 4 * 1024 * 1024;

// The list's bytes, at most kMaxSiteListBytes of them; nullopt with `error`
// when there are more or the read fails.
std::optional<QByteArray> readSiteList(QFile& file, QString& error);

// Every site, or nullopt with `error` naming the line at fault. A relative
// passwordFile is taken from `folder`. A name the site book would not take
// (too long, a NUL or another control character) is refused here, before
// any module is asked.
std::optional<std::vector<FleetSite>> parseFleetSites(const QByteArray& csv, const QString& folder, QString& error);

}  // namespace corvanta::fleet
