// The site book's event history: the entries of every event list loaded
// for a site, each once, and the listing of them a page at a time.

#include "sitebook/site_book.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "sitebook/book_rows.h"

namespace corvanta::sitebook {
namespace {

// SQLite takes up to 32766 values a statement; PostgreSQL 65535. A list is
// at most 90 entries, 630 values.
constexpr int kValuesPerEntry = 7;
constexpr std::size_t kEntriesPerStatement = 1000;

QByteArray bytesOf(const EventLogEntry& entry) {
    return QByteArray(reinterpret_cast<const char*>(entry.data()), qsizetype(entry.size()));
}

}  // namespace

SiteEventKey keyOf(const SiteEvent& event) {
    return {event.occurredAt, eventKind(event.entry), subjectNumber(event.entry)};
}

std::optional<EventMerge> SiteBook::mergeEvents(qint64 siteId, const std::vector<DatedEvent>& events) {
    EventMerge merge;
    // The same entry twice in one list (two alike in one minute) is one.
    std::vector<const DatedEvent*> distinct;
    std::set<std::tuple<std::string, int, int>> seen;
    for (const DatedEvent& e : events) {
        if (seen.insert({e.at.text(), eventKind(e.entry), subjectNumber(e.entry)}).second)
            distinct.push_back(&e);
        else
            ++merge.known;
    }
    if (distinct.empty()) return merge;
    if (!begin()) return std::nullopt;
    // Most of a list is held already (it overlaps the one loaded before):
    // those are found with one look along the site's index and left out of
    // the insert, which is what costs. The insert still ignores a row held,
    // for a program that stored it meanwhile.
    const auto [oldest, newest] = std::minmax_element(
        distinct.begin(), distinct.end(), [](const DatedEvent* a, const DatedEvent* b) { return a->at < b->at; });
    auto held = run(QStringLiteral("SELECT occurred_at, kind, subject FROM site_events"
                                   " WHERE site_id = ? AND occurred_at >= ? AND occurred_at <= ?"),
                    {siteId, QString::fromStdString((*oldest)->at.text()), QString::fromStdString((*newest)->at.text())});
    if (!held) {
        rollback();
        return std::nullopt;
    }
    std::set<std::tuple<std::string, int, int>> stored;
    while (held->next())
        stored.insert({held->value(0).toString().toStdString(), held->value(1).toInt(), held->value(2).toInt()});
    held->finish();
    std::erase_if(distinct, [&](const DatedEvent* e) {
        const bool known = stored.count({e->at.text(), eventKind(e->entry), subjectNumber(e->entry)}) > 0;
        merge.known += known;
        return known;
    });
    if (distinct.empty()) return commit() ? std::optional<EventMerge>(merge) : std::nullopt;
    const QString loadedAt = isoTime(clock_());
    for (std::size_t from = 0; from < distinct.size(); from += kEntriesPerStatement) {
        const std::size_t to = std::min(distinct.size(), from + kEntriesPerStatement);
        QString sql = QStringLiteral(
            "INSERT INTO site_events (site_id, occurred_at, kind, subject, entry, subject_text, loaded_at) VALUES ");
        QVariantList values;
        values.reserve(qsizetype((to - from) * kValuesPerEntry));
        for (std::size_t i = from; i < to; ++i) {
            const DatedEvent& e = *distinct[i];
            sql += i == from ? QStringLiteral("(?, ?, ?, ?, ?, ?, ?)") : QStringLiteral(", (?, ?, ?, ?, ?, ?, ?)");
            values << siteId << QString::fromStdString(e.at.text()) << eventKind(e.entry) << subjectNumber(e.entry)
                   << bytesOf(e.entry) << QString::fromStdString(e.subject) << loadedAt;
        }
        // Both engines: a row whose key is held already is left out, and
        // only the rows really added come back.
        sql += QStringLiteral(" ON CONFLICT (site_id, occurred_at, kind, subject) DO NOTHING RETURNING id");
        auto q = run(sql, values);
        if (!q) {
            rollback();
            return std::nullopt;
        }
        int added = 0;
        while (q->next()) ++added;
        if (q->lastError().isValid()) {
            failQuery(q->lastError());
            rollback();
            return std::nullopt;
        }
        q->finish();
        merge.added += added;
        merge.known += int(to - from) - added;
    }
    if (!commit()) return std::nullopt;
    return merge;
}

bool SiteBook::eachSiteEvent(qint64 siteId, const SiteEventQuery& query,
                             const std::function<bool(const SiteEvent&)>& row) {
    std::optional<SiteEventKey> after = query.after;
    qint64 left = query.limit.value_or(-1);
    while (left != 0) {
        QString where = QStringLiteral("site_id = ?");
        QVariantList values{siteId};
        if (!query.since.isEmpty()) {
            where += QStringLiteral(" AND occurred_at >= ?");
            values << query.since;
        }
        if (after) {
            // The order of the unique key: the index serves every page.
            where += QStringLiteral(" AND (occurred_at, kind, subject) < (?, ?, ?)");
            values << after->occurredAt << after->kind << after->subject;
        }
        const qint64 page = left < 0 ? kEventPageRows : std::min<qint64>(left, kEventPageRows);
        values << page;
        auto q = run(QStringLiteral("SELECT id, site_id, occurred_at, entry, subject_text, loaded_at FROM site_events"
                                    " WHERE %1 ORDER BY occurred_at DESC, kind DESC, subject DESC LIMIT ?")
                         .arg(where),
                     values);
        if (!q) return false;
        // The page is read whole before `row` sees it, so that `row` may use
        // the book itself.
        std::vector<SiteEvent> rows;
        rows.reserve(std::size_t(page));
        while (q->next()) {
            SiteEvent e;
            e.id = q->value(0).toLongLong();
            e.siteId = q->value(1).toLongLong();
            e.occurredAt = q->value(2).toString();
            const QByteArray bytes = q->value(3).toByteArray();
            std::copy_n(bytes.constData(), std::min<std::size_t>(e.entry.size(), std::size_t(bytes.size())),
                        reinterpret_cast<char*>(e.entry.data()));
            e.subject = q->value(4).toString();
            e.loadedAt = timeFrom(q->value(5));
            rows.push_back(std::move(e));
        }
        if (q->lastError().isValid()) return failQuery(q->lastError());
        q->finish();
        for (const SiteEvent& e : rows) {
            if (!row(e)) return true;
        }
        if (qint64(rows.size()) < page) return true;
        after = keyOf(rows.back());
        if (left > 0) left -= qint64(rows.size());
    }
    return true;
}

std::optional<qint64> SiteBook::siteEventCount(qint64 siteId, const QString& since) {
    auto q = since.isEmpty()
                 ? run(QStringLiteral("SELECT COUNT(*) FROM site_events WHERE site_id = ?"), {siteId})
                 : run(QStringLiteral("SELECT COUNT(*) FROM site_events WHERE site_id = ? AND occurred_at >= ?"),
                       {siteId, since});
    if (!q) return std::nullopt;
    if (!q->next()) {
        failQuery(q->lastError());
        return std::nullopt;
    }
    return q->value(0).toLongLong();
}

}  // namespace corvanta::sitebook
