#include "fleet/fleet_selection.h"

#include <QRegularExpression>

#include <algorithm>

namespace corvanta::fleet {

FleetSite fleetSite(const sitebook::Site& s) {
    FleetSite site;
    site.name = s.name;
    if (!s.serialPort.isEmpty()) {
        site.port = s.serialPort;
    } else if (!s.tcpHost.isEmpty()) {
        site.host = s.tcpHost;
        site.tcpPort = s.tcpPort;
    }
    return site;
}

bool hasLink(const FleetSite& site) { return !site.port.isEmpty() || !site.host.isEmpty(); }

std::vector<FleetSite> sitesWithLink(const std::vector<sitebook::Site>& book) {
    std::vector<FleetSite> out;
    for (const sitebook::Site& s : book) {
        FleetSite site = fleetSite(s);
        if (hasLink(site)) out.push_back(std::move(site));
    }
    return out;
}

std::optional<qint64> parseDueSpan(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,5})([hdw])$"));
    const auto m = form.match(text.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    const qint64 n = m.captured(1).toLongLong();
    if (n <= 0) return std::nullopt;
    const QChar unit = m.captured(2).at(0);
    const qint64 hour = 3600;
    return n * (unit == QLatin1Char('h') ? hour : unit == QLatin1Char('d') ? 24 * hour : 7 * 24 * hour);
}

std::vector<FleetSite> dueSites(const std::vector<FleetSite>& sites, const std::vector<sitebook::Site>& book,
                                const std::map<qint64, QDateTime>& latestReads, qint64 spanSeconds,
                                const QDateTime& now) {
    const QDateTime since = now.addSecs(-spanSeconds);
    std::vector<FleetSite> out;
    for (const FleetSite& site : sites) {
        const auto known = std::find_if(book.begin(), book.end(), [&](const auto& s) { return s.name == site.name; });
        const auto read = known == book.end() ? latestReads.end() : latestReads.find(known->id);
        if (read == latestReads.end() || read->second < since) out.push_back(site);
    }
    return out;
}

std::vector<FleetSite> batchSites(const std::vector<sitebook::BatchSite>& rows,
                                  const std::vector<sitebook::Site>& book, const std::vector<FleetSite>& listed,
                                  QStringList& unreachable) {
    std::vector<FleetSite> out;
    for (const sitebook::BatchSite& row : rows) {
        if (row.targetSha256.isEmpty()) continue;  // its write never began
        const auto inList =
            std::find_if(listed.begin(), listed.end(), [&](const FleetSite& s) { return s.name == row.site; });
        if (inList != listed.end()) {
            out.push_back(*inList);
            continue;
        }
        const auto known = std::find_if(book.begin(), book.end(), [&](const auto& s) { return s.id == row.siteId; });
        FleetSite site = known == book.end() ? FleetSite{} : fleetSite(*known);
        site.name = row.site;
        if (hasLink(site))
            out.push_back(std::move(site));
        else
            unreachable << row.site;
    }
    return out;
}

}  // namespace corvanta::fleet
