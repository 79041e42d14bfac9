// The site book's long lists (snapshots, writes, sites) read row by row:
// a book kept for years holds a million snapshots, and neither a listing
// nor a window may hold them all at once.

#include <QCryptographicHash>
#include <QSqlDatabase>

#include <limits>

#include "sitebook/book_rows.h"
#include "sitebook/bound_statement.h"
#include "sitebook/site_book.h"

namespace corvanta::sitebook {
namespace {

// Rows a PostgreSQL cursor hands over at a time.
constexpr int kFetchRows = 500;

std::optional<qint64> idFrom(const QVariant& v) {
    return v.isNull() ? std::nullopt : std::optional<qint64>(v.toLongLong());
}

// " LIMIT ? OFFSET ?" and its values, when the listing has either.
QString window(const SiteBook::Listing& listing, QVariantList& values) {
    if (!listing.limit && listing.offset <= 0) return {};
    values << listing.limit.value_or(std::numeric_limits<qint64>::max()) << std::max<qint64>(listing.offset, 0);
    return QStringLiteral(" LIMIT ? OFFSET ?");
}

}  // namespace

bool SiteBook::eachRow(const QString& sql, const QVariantList& values,
                       const std::function<bool(const SqlRows&)>& row) {
    if (!dialect_.bindThroughLibpq) {
        // SQLite steps through a forward-only query a row at a time.
        auto q = run(sql, values);
        if (!q) return false;
        while (q->next()) {
            if (!row(*q)) break;
        }
        const QSqlError error = q->lastError();
        q->finish();
        return error.type() == QSqlError::NoError || failQuery(error);
    }
    // Qt's driver and a plain libpq query both take in the whole result
    // before the first row: a cursor hands it over a page at a time.
    if (!run(QStringLiteral("BEGIN READ ONLY"))) return false;
    if (!run(QStringLiteral("DECLARE corvanta_rows NO SCROLL CURSOR FOR ") + sql, values)) {
        rollback();
        return false;
    }
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    const QString fetch = QStringLiteral("FETCH %1 FROM corvanta_rows").arg(kFetchRows);
    for (bool more = true; more;) {
        QSqlError error;
        auto page = runBound(db, fetch, {}, error);
        if (!page) {
            failQuery(error);
            rollback();
            return false;
        }
        int rows = 0;
        while (more && page->next()) {
            ++rows;
            more = row(*page);
        }
        more = more && rows == kFetchRows;
    }
    return commit();
}

bool SiteBook::eachSnapshot(const Listing& listing, const std::function<bool(const SnapshotInfo&)>& row) {
    QStringList where;
    QVariantList values;
    if (listing.siteId) {
        where << QStringLiteral("s.site_id = ?");
        values << *listing.siteId;
    }
    if (listing.since) {
        // The stored times are all of one form, so text order is time order.
        where << QStringLiteral("s.taken_at >= ?");
        values << isoTime(*listing.since);
    }
    QString sql =
        QStringLiteral("SELECT %1, %2 FROM %3").arg(kSnapshotColumns, whoSelect(QStringLiteral("a")), snapshotsFrom());
    if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY s.taken_at DESC, s.id DESC");
    sql += window(listing, values);
    return eachRow(sql, values, [&row](const SqlRows& q) {
        SnapshotInfo info = snapshotInfoFrom(q);
        info.who = whoFrom(q, kSnapshotColumnCount);
        return row(info);
    });
}

bool SiteBook::eachWrite(const Listing& listing, const std::function<bool(const WriteRecord&)>& row) {
    QStringList where;
    QVariantList values;
    if (listing.siteId) {
        where << QStringLiteral("site_id = ?");
        values << *listing.siteId;
    }
    if (listing.since) {
        where << QStringLiteral("written_at >= ?");
        values << isoTime(*listing.since);
    }
    QString writes = QStringLiteral("SELECT id, site_id, written_at, result, blocks, before_snapshot, after_snapshot,"
                                    " settled, batch_id, restored_snapshot%1,"
                                    // The image sent is read only for the writes whose outcome is unknown.
                                    " CASE WHEN settled = 0 THEN attempted_image END AS sent FROM writes")
                         .arg(whoColumns());
    if (!where.isEmpty()) writes += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    writes += QStringLiteral(" ORDER BY written_at DESC, id DESC");
    writes += window(listing, values);
    // One row for each change (one for a write without any), a write's rows
    // together and in order: each write is complete when the next begins.
    const QString sql = QStringLiteral(
        "SELECT w.id, w.site_id, si.name, w.written_at, w.result, w.blocks, w.before_snapshot, w.after_snapshot,"
        " w.settled, w.sent, w.batch_id, w.restored_snapshot, rsi.name,"
        " c.seq, c.path, c.caption, c.old_value, c.new_value, %2"
        " FROM (%1) w JOIN sites si ON si.id = w.site_id%3"
        " LEFT JOIN snapshots rs ON rs.id = w.restored_snapshot LEFT JOIN sites rsi ON rsi.id = rs.site_id"
        " LEFT JOIN write_changes c ON c.write_id = w.id"
        " ORDER BY w.written_at DESC, w.id DESC, c.seq")
                            .arg(writes, whoSelect(QStringLiteral("wa")), whoJoin(QStringLiteral("w"), QStringLiteral("wa")));
    std::optional<WriteRecord> current;
    bool going = true;
    const bool ok = eachRow(sql, values, [&](const SqlRows& q) {
        const qint64 id = q.value(0).toLongLong();
        if (current && current->id != id) {
            going = row(*current);
            current.reset();
            if (!going) return false;
        }
        if (!current) {
            WriteRecord& w = current.emplace();
            w.id = id;
            w.siteId = q.value(1).toLongLong();
            w.site = q.value(2).toString();
            w.at = timeFrom(q.value(3));
            w.ok = q.value(4).toString() == QStringLiteral("ok");
            w.blocks = q.value(5).toString();
            w.beforeSnapshot = idFrom(q.value(6));
            w.afterSnapshot = idFrom(q.value(7));
            w.settled = q.value(8).toInt() != 0;
            if (!w.settled) {
                const QByteArray sent = q.value(9).toByteArray();
                if (!sent.isEmpty())
                    w.sentSha256 =
                        QString::fromLatin1(QCryptographicHash::hash(sent, QCryptographicHash::Sha256).toHex());
            }
            w.origin.batchId = idFrom(q.value(10));
            w.origin.restoredSnapshot = idFrom(q.value(11));
            w.origin.restoredSite = q.value(12).toString();
            w.who = whoFrom(q, 18);
        }
        if (!q.value(13).isNull())
            current->changes.push_back(
                {q.value(14).toString(), q.value(15).toString(), q.value(16).toString(), q.value(17).toString()});
        return true;
    });
    if (!ok) return false;
    if (current && going) row(*current);
    return true;
}

bool SiteBook::eachSite(const Listing& listing, const std::function<bool(const Site&)>& row) {
    QVariantList values;
    QString sql = QStringLiteral("SELECT %1 FROM sites si").arg(kSiteColumns);
    if (listing.since) {
        // Both by the indexes on site and time.
        sql += QStringLiteral(" WHERE EXISTS (SELECT 1 FROM snapshots s WHERE s.site_id = si.id AND s.taken_at >= ?)"
                              " OR EXISTS (SELECT 1 FROM writes w WHERE w.site_id = si.id AND w.written_at >= ?)");
        values << isoTime(*listing.since) << isoTime(*listing.since);
    }
    sql += QStringLiteral(" ORDER BY si.name");
    const QString needle = listing.search.trimmed();
    if (needle.isEmpty()) {
        sql += window(listing, values);
        return eachRow(sql, values, [&row](const SqlRows& q) { return row(siteFrom(q)); });
    }
    // Matched here rather than in SQL: the engines fold accented letters
    // differently. The window is then counted among the matches.
    qint64 skip = listing.offset, left = listing.limit.value_or(std::numeric_limits<qint64>::max());
    return eachRow(sql, values, [&](const SqlRows& q) {
        const Site s = siteFrom(q);
        if (!s.name.contains(needle, Qt::CaseInsensitive) && !s.address.contains(needle, Qt::CaseInsensitive) &&
            !s.notes.contains(needle, Qt::CaseInsensitive))
            return true;
        if (skip > 0) {
            --skip;
            return true;
        }
        if (left <= 0) return false;
        --left;
        return row(s) && left > 0;
    });
}

}  // namespace corvanta::sitebook
