#pragma once
// Which sites a fleet job serves when the list is not given whole: every
// site of the site book that has a link, the ones whose backup is due, the
// ones a batch wrote to.

#include <QDateTime>
#include <QString>

#include <map>
#include <optional>
#include <vector>

#include "fleet/fleet_sites.h"
#include "sitebook/site_records.h"

namespace corvanta::fleet {

// A site of the book as a fleet reaches it: its serial port, else its TCP/IP
// host. Neither (a site reached by modem alone, or not at all) gives a site
// without a link.
FleetSite fleetSite(const sitebook::Site& site);
bool hasLink(const FleetSite& site);

// The book's sites that have a link, in the book's order.
std::vector<FleetSite> sitesWithLink(const std::vector<sitebook::Site>& book);

// "30d", "12h", "2w" (hours, days, weeks): the span in seconds; nullopt for
// anything else.
std::optional<qint64> parseDueSpan(const QString& text);

// The sites whose latest read is older than `spanSeconds` before `now`, or
// who were never read; `latestReads` by site id, as SiteBook::latestReads().
std::vector<FleetSite> dueSites(const std::vector<FleetSite>& sites, const std::vector<sitebook::Site>& book,
                                const std::map<qint64, QDateTime>& latestReads, qint64 spanSeconds,
                                const QDateTime& now);

// The sites a batch began a write to, reached as `listed` names them and
// else as the book knows them; the names of those neither reaches go to
// `unreachable`.
std::vector<FleetSite> batchSites(const std::vector<sitebook::BatchSite>& rows,
                                  const std::vector<sitebook::Site>& book, const std::vector<FleetSite>& listed,
                                  QStringList& unreachable);

}  // namespace corvanta::fleet
