// The site book's batches (one change written to many modules, or its
// undo), where a write came from, and what the history tells about reads:
// each site's installation snapshot and its newest read.

#include "sitebook/site_book.h"

#include "sitebook/book_rows.h"

namespace corvanta::sitebook {
namespace {

std::optional<qint64> idFrom(const QVariant& v) {
    return v.isNull() ? std::nullopt : std::optional<qint64>(v.toLongLong());
}

}  // namespace

std::optional<qint64> SiteBook::addBatch(BatchKind kind, const QString& description, std::optional<qint64> undoes) {
    if (!begin()) return std::nullopt;
    QVariantList values{isoTime(clock_()), batchKindName(kind), textValue(description), optionalId(undoes)};
    if (!whoValues(values)) {
        rollback();
        return std::nullopt;
    }
    const auto id = insert(QStringLiteral("INSERT INTO batches (started_at, kind, description, undoes%1)"
                                          " VALUES (?, ?, ?, ?%2)")
                               .arg(whoColumns(), whoColumns().isEmpty() ? QString() : QStringLiteral(", ?")),
                           values);
    if (!id) {
        rollback();
        return std::nullopt;
    }
    if (!commit()) return std::nullopt;
    return id;
}

std::optional<Batch> SiteBook::batch(qint64 id) {
    auto q = run(QStringLiteral("SELECT b.id, b.started_at, b.kind, b.description, b.undoes, %1 FROM batches b%2"
                                " WHERE b.id = ?")
                     .arg(whoSelect(QStringLiteral("a")), whoJoin(QStringLiteral("b"), QStringLiteral("a"))),
                 {id});
    if (!q) return std::nullopt;
    if (!q->next()) {
        fail(Failure::NotFound, QString::fromUtf8("nincs ilyen csoport: %1").arg(id));
        return std::nullopt;
    }
    Batch b;
    b.id = q->value(0).toLongLong();
    b.startedAt = timeFrom(q->value(1));
    b.kind = batchKindFromName(q->value(2).toString()).value_or(BatchKind::Apply);
    b.description = q->value(3).toString();
    b.undoes = idFrom(q->value(4));
    b.who = {q->value(5).toString(), q->value(6).toString(), q->value(7).toString()};
    return b;
}

bool SiteBook::saveBatchSite(const BatchSite& row) {
    if (!begin()) return false;
    // One row a site: a site's row is first stored as its write begins and
    // brought up to date when the write is over.
    if (!run(QStringLiteral("INSERT INTO batch_sites (batch_id, site_id, result, detail, before_snapshot,"
                            " target_sha256, after_snapshot) VALUES (?, ?, ?, ?, ?, ?, ?)"
                            " ON CONFLICT (batch_id, site_id) DO UPDATE SET result = excluded.result,"
                            " detail = excluded.detail, before_snapshot = excluded.before_snapshot,"
                            " target_sha256 = excluded.target_sha256, after_snapshot = excluded.after_snapshot"),
             {row.batchId, row.siteId, textValue(row.result), textValue(row.detail), optionalId(row.beforeSnapshot),
              textValue(row.targetSha256), optionalId(row.afterSnapshot)})) {
        rollback();
        return false;
    }
    return commit();
}

std::vector<BatchSite> SiteBook::batchSites(qint64 batchId) {
    std::vector<BatchSite> out;
    auto q = run(QStringLiteral("SELECT b.batch_id, b.site_id, si.name, b.result, b.detail, b.before_snapshot,"
                                " b.target_sha256, b.after_snapshot FROM batch_sites b"
                                " JOIN sites si ON si.id = b.site_id WHERE b.batch_id = ? ORDER BY si.name"),
                 {batchId});
    if (!q) return out;
    while (q->next()) {
        BatchSite b;
        b.batchId = q->value(0).toLongLong();
        b.siteId = q->value(1).toLongLong();
        b.site = q->value(2).toString();
        b.result = q->value(3).toString();
        b.detail = q->value(4).toString();
        b.beforeSnapshot = idFrom(q->value(5));
        b.targetSha256 = q->value(6).toString();
        b.afterSnapshot = idFrom(q->value(7));
        out.push_back(std::move(b));
    }
    return out;
}

bool SiteBook::setWriteOrigin(qint64 writeId, const WriteOrigin& origin) {
    if (!begin()) return false;
    if (!run(QStringLiteral("UPDATE writes SET batch_id = ?, restored_snapshot = ? WHERE id = ?"),
             {optionalId(origin.batchId), optionalId(origin.restoredSnapshot), writeId})) {
        rollback();
        return false;
    }
    return commit();
}

std::map<qint64, WriteOrigin> SiteBook::writeOrigins(std::optional<qint64> siteId) {
    std::map<qint64, WriteOrigin> out;
    auto q = run(QStringLiteral("SELECT w.id, w.batch_id, w.restored_snapshot, si.name FROM writes w"
                                " LEFT JOIN snapshots s ON s.id = w.restored_snapshot"
                                " LEFT JOIN sites si ON si.id = s.site_id"
                                " WHERE (w.batch_id IS NOT NULL OR w.restored_snapshot IS NOT NULL)%1")
                     .arg(siteId ? QStringLiteral(" AND w.site_id = ?") : QString()),
                 siteId ? QVariantList{*siteId} : QVariantList{});
    if (!q) return out;
    while (q->next()) {
        WriteOrigin o;
        o.batchId = idFrom(q->value(1));
        o.restoredSnapshot = idFrom(q->value(2));
        o.restoredSite = q->value(3).toString();
        out[q->value(0).toLongLong()] = o;
    }
    return out;
}

std::set<qint64> SiteBook::installationSnapshots(std::optional<qint64> siteId) {
    std::set<qint64> out;
    // The read no earlier read of the same site comes before; two taken in
    // the same millisecond go by their number. Asked site by site, each
    // along the index of its snapshots by time: asked snapshot by snapshot,
    // a book of a million took minutes.
    auto q = run(QStringLiteral("SELECT (SELECT e.id FROM snapshots e WHERE e.site_id = si.id AND e.kind = 'read'"
                                " ORDER BY e.taken_at, e.id LIMIT 1) FROM sites si%1")
                     .arg(siteId ? QStringLiteral(" WHERE si.id = ?") : QString()),
                 siteId ? QVariantList{*siteId} : QVariantList{});
    if (!q) return out;
    while (q->next()) {
        if (!q->value(0).isNull()) out.insert(q->value(0).toLongLong());
    }
    return out;
}

std::map<qint64, QDateTime> SiteBook::latestReads() {
    std::map<qint64, QDateTime> out;
    // The stored times are all of one form, so the greatest text is the latest.
    auto q = run(QStringLiteral("SELECT site_id, MAX(taken_at) FROM snapshots WHERE kind = 'read' GROUP BY site_id"));
    if (!q) return out;
    while (q->next()) out[q->value(0).toLongLong()] = timeFrom(q->value(1));
    return out;
}

std::optional<Snapshot> SiteBook::latestModuleSnapshot(qint64 siteId) {
    return oneSnapshot(QStringLiteral("WHERE s.site_id = ? AND s.kind IN ('read', 'written')"
                                      " ORDER BY s.taken_at DESC, s.id DESC LIMIT 1"),
                       {siteId});
}

}  // namespace corvanta::sitebook
