#pragma once
// What the site book keeps of the event lists loaded from a site's module:
// its event history, each entry once.

#include <QDateTime>
#include <QString>

#include <optional>

#include "service/event_log_entry.h"

namespace corvanta::sitebook {

// One entry of a site's event history.
struct SiteEvent {
    qint64 id = 0;
    qint64 siteId = 0;
    // "YYYY-MM-DD HH:MM" on the module's clock, the year worked out when it
    // was first loaded.
    QString occurredAt;
    EventLogEntry entry{};  // as first loaded
    QString subject;        // the "Zóna / Felhasználó" cell, with the names known then
    QDateTime loadedAt;     // UTC: when it first reached the book
};

// The place of an entry in the history, which a page of it goes on from:
// the history is ordered by these, newest first.
struct SiteEventKey {
    QString occurredAt;
    int kind = 0;
    int subject = 0;
};
SiteEventKey keyOf(const SiteEvent& event);

// Which of a site's entries a listing takes.
struct SiteEventQuery {
    // From this minute of the module's clock on ("YYYY-MM-DD" or
    // "YYYY-MM-DD HH:MM"); all when empty.
    QString since;
    // At most this many; all when none.
    std::optional<qint64> limit;
    // Only those older than this one (the next page).
    std::optional<SiteEventKey> after;
};

// What one merge did.
struct EventMerge {
    int added = 0;  // entries the history did not hold yet
    int known = 0;  // entries it already held, left as they were
};

}  // namespace corvanta::sitebook
