#include "sitebook/site_book.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUrl>

#include <atomic>
#include <cerrno>
#include <map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/whole_file.h"
#include "params/image_diff.h"
#include "sitebook/book_rows.h"
#include "sitebook/bound_statement.h"
#include "sitebook/schema.h"
#include "sitebook/write_ahead_log.h"

namespace corvanta::sitebook {
namespace {

// The book holds every image, and so every code, a company ever read: it is
// the owner's alone. SQLite makes a new file with the umask's mode, and its
// journal, WAL and shared-memory files with the mode of the book, so the
// book is made 0600 before SQLite opens it, and one made by an older
// program, with the companions it left, is closed to others here.
// A mode that cannot be changed (a file system without modes, a book of
// another user) stops nothing; SQLite says why a book cannot be opened.
void makeOwnerOnlyBook(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd >= 0) {
        ::close(fd);
        return;
    }
    if (errno != EEXIST) return;
    restrictToOwner(path);
    for (const char* companion : {"-journal", "-wal", "-shm"}) restrictToOwner(path + QLatin1String(companion));
}

QString newConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("corvanta-sitebook-%1").arg(++counter);
}

QByteArray bytesOf(const ParameterImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

QString sha256Of(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString sha256Of(const ParameterImage& image) { return sha256Of(bytesOf(image)); }


}  // namespace

QString SiteBook::defaultPath() {
    const QString override = qEnvironmentVariable("CORVANTA_SITEBOOK");
    if (!override.isEmpty()) return override;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/corvanta/sitebook.sqlite");
}

bool SiteBook::isServerUrl(const QString& location) {
    return location.startsWith(QLatin1String("postgresql://")) || location.startsWith(QLatin1String("postgres://"));
}

QString SiteBook::displayName(const QString& location) {
    if (!isServerUrl(location)) return location;
    QUrl url(location);
    url.setPassword({});
    return url.toString();
}

SiteBook::SiteBook() : connection_(newConnectionName()), clock_([] { return QDateTime::currentDateTimeUtc(); }) {}

SiteBook::~SiteBook() {
    if (QSqlDatabase::contains(connection_)) {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }
}

bool SiteBook::fail(Failure failure, const QString& why) {
    failure_ = failure;
    error_ = why;
    return false;
}

bool SiteBook::failQuery(const QSqlError& e) {
    switch (dialect_.classify(e)) {
    case SqlDialect::Trouble::Locked:
        return fail(Failure::Locked, QString::fromUtf8("a helyszínkönyvet egy másik program használja (zárolva)"));
    case SqlDialect::Trouble::Damaged:
        return fail(Failure::Damaged, QString::fromUtf8("a helyszínkönyv fájlja sérült vagy nem helyszínkönyv"));
    case SqlDialect::Trouble::Duplicate:
        // Only a site's name is unique; another program took it meanwhile.
        return fail(Failure::Other, QString::fromUtf8("már van ilyen nevű helyszín"));
    case SqlDialect::Trouble::Denied:
        return fail(Failure::Denied, QString::fromUtf8("a helyszínkönyvben a szerepköröd ezt nem engedi (%1): ")
                                         .arg(rights_.role.isEmpty() ? QStringLiteral("?") : rights_.role) +
                                         e.databaseText().trimmed());
    case SqlDialect::Trouble::Lost:
        return fail(Failure::Lost, QString::fromUtf8("megszakadt a kapcsolat a helyszínkönyv kiszolgálójával: ") +
                                       e.databaseText().trimmed());
    default: return fail(Failure::Other, QString::fromUtf8("adatbázishiba: ") + e.text());
    }
}

std::optional<SqlRows> SiteBook::run(const QString& sql, const QVariantList& values) {
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!values.isEmpty() && dialect_.bindThroughLibpq) {
        QSqlError error;
        auto rows = runBound(db, dialect_.expand(sql), values, error);
        if (!rows) failQuery(error);
        return rows;
    }
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // Statements without values are run as they are: PostgreSQL prepares
    // only queries, not BEGIN, SET or CREATE.
    if (values.isEmpty()) {
        if (q.exec(dialect_.expand(sql))) return SqlRows(std::move(q));
        failQuery(q.lastError());
        return std::nullopt;
    }
    if (!q.prepare(dialect_.expand(sql))) {
        failQuery(q.lastError());
        return std::nullopt;
    }
    for (const QVariant& v : values) q.addBindValue(v);
    if (!q.exec()) {
        failQuery(q.lastError());
        return std::nullopt;
    }
    return SqlRows(std::move(q));
}

std::optional<qint64> SiteBook::insert(const QString& sql, const QVariantList& values) {
    auto q = run(sql + QStringLiteral(" RETURNING id"), values);
    if (!q) return std::nullopt;
    if (!q->next()) {
        failQuery(q->lastError());
        return std::nullopt;
    }
    return q->value(0).toLongLong();
}

bool SiteBook::begin() {
    // The server refuses a viewer every row anyway; this says why in words.
    if (rights_.viewer())
        return fail(Failure::Denied, QString::fromUtf8("a helyszínkönyvben a szerepköröd (%1) csak olvashat")
                                         .arg(rights_.role));
    return run(dialect_.beginWrite).has_value();
}

bool SiteBook::commit() {
    if (run(QStringLiteral("COMMIT"))) return true;
    rollback();
    return false;
}

void SiteBook::rollback() {
    actorId_.reset();
    // Keeps the error that made the transaction fail.
    const QString error = error_;
    const Failure failure = failure_;
    run(QStringLiteral("ROLLBACK"));
    error_ = error;
    failure_ = failure;
}

std::optional<int> SiteBook::storedVersion() {
    auto q = run(QStringLiteral("SELECT version FROM schema_version"));
    if (!q) return std::nullopt;
    if (!q->next()) {
        fail(Failure::Damaged, QString::fromUtf8("a helyszínkönyv változatszáma hiányzik"));
        return std::nullopt;
    }
    return q->value(0).toInt();
}

std::optional<int> SiteBook::currentVersion() {
    auto tables = run(dialect_.tableNamesQuery);
    if (!tables) return std::nullopt;
    QStringList names;
    while (tables->next()) names << tables->value(0).toString();
    tables->finish();
    if (names.contains(QStringLiteral("schema_version"))) return storedVersion();
    if (!names.isEmpty()) {
        fail(Failure::Damaged, QString::fromUtf8("a fájl nem helyszínkönyv"));
        return std::nullopt;
    }
    return 0;
}

bool SiteBook::connect(const QString& location, QSqlDatabase& db) {
    if (isServerUrl(location)) {
        const QUrl url(location);
        const QString database = url.path().mid(1);
        if (!url.isValid() || url.host().isEmpty() || database.isEmpty())
            return fail(Failure::Other,
                        QString::fromUtf8("hibás kiszolgáló-cím, így kell: postgresql://FELHASZNÁLÓ@GÉP[:PORT]/ADATBÁZIS"));
        db.setHostName(url.host());
        db.setPort(url.port(5432));
        db.setUserName(url.userName());  // empty: libpq takes $PGUSER or the login name
        // Empty: libpq looks in $PGPASSWORD and ~/.pgpass itself.
        db.setPassword(url.password());
        db.setDatabaseName(database);
        // A server or line that goes silent fails the step within seconds
        // instead of holding the operation that records into the book.
        db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=corvanta;keepalives=1;"
                                            "keepalives_idle=5;keepalives_interval=2;keepalives_count=3;"
                                            "tcp_user_timeout=10000"));
    } else {
        if (!makeOwnerOnlyFolders(QFileInfo(location).absolutePath()))
            return fail(Failure::Other,
                        QString::fromUtf8("a mappa nem hozható létre: ") + QFileInfo(location).absolutePath());
        makeOwnerOnlyBook(location);
        db.setDatabaseName(location);
    }
    if (db.open()) return true;
    // The driver's text names neither the password nor more than the host.
    return fail(Failure::Other, QString::fromUtf8("adatbázishiba: ") + db.lastError().text().simplified());
}

bool SiteBook::open(const QString& path, int busyTimeoutMs, int upToVersion) {
    open_ = false;
    actorId_.reset();
    error_.clear();
    failure_ = Failure::None;
    path_ = displayName(path);
    // PostgreSQL reads a lock time-out of 0 as none at all.
    dialect_ = isServerUrl(path) ? postgresDialect(std::max(busyTimeoutMs, 1)) : sqliteDialect(busyTimeoutMs);

    QSqlDatabase db = QSqlDatabase::contains(connection_) ? QSqlDatabase::database(connection_, false)
                                                          : QSqlDatabase::addDatabase(dialect_.driver, connection_);
    if (db.driverName() != dialect_.driver) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection_);
        db = QSqlDatabase::addDatabase(dialect_.driver, connection_);
    }
    if (!db.isValid())
        return fail(Failure::Other, QString::fromUtf8("nincs %1 adatbázis-meghajtó").arg(dialect_.driver));
    db.close();
    if (!connect(path, db)) return false;

    // Nothing is written before the book is known to be one this program
    // may change.
    for (const QString& s : dialect_.readOnlySetup) {
        if (!run(s)) return false;
    }
    if (!readRights()) return false;
    const auto version = currentVersion();
    if (!version) return false;
    if (*version > kSchemaVersion) {
        return fail(Failure::Newer,
                    QString::fromUtf8("a helyszínkönyv egy újabb programé (%1. változat, ez a program a %2.-ig ismeri)")
                        .arg(*version)
                        .arg(kSchemaVersion));
    }

    for (const QString& s : dialect_.sessionSetup) {
        // Only tuning: SQLite refuses the switch to WAL at once, without
        // waiting, while another program opens the same new book; that one
        // switches it, and the book works the same meanwhile.
        if (!run(s) && failure_ != Failure::Locked) return false;
    }
    if (!dialect_.bindThroughLibpq) keepWriteAheadLog(QSqlDatabase::database(connection_, false));
    error_.clear();
    failure_ = Failure::None;
    const int target = upToVersion < 0 ? kSchemaVersion : std::min(upToVersion, kSchemaVersion);
    const bool upgrade = *version < target;
    if (upgrade && !migrate(target)) return false;
    version_ = std::max(*version, target);
    open_ = true;
    if (upgrade && !rolesFollowUpgrade()) return false;
    return true;
}

bool SiteBook::migrate(int to) {
    if (!begin()) return false;
    if (!dialect_.upgradeLock.isEmpty() && !run(dialect_.upgradeLock)) {
        rollback();
        return false;
    }
    // A second program may have built or upgraded the book meanwhile.
    const auto from = currentVersion();
    if (!from) {
        rollback();
        return false;
    }
    const auto& steps = migrationSteps();
    for (int step = *from + 1; step <= to; ++step) {
        for (const QString& statement : steps[std::size_t(step - 1)]) {
            if (!run(statement)) {
                rollback();
                return false;
            }
        }
        if (step == kImagesStoredOnceStep && !moveImagesToTheirTable()) {
            rollback();
            return false;
        }
        if (!run(QStringLiteral("UPDATE schema_version SET version = ?"), {step})) {
            rollback();
            return false;
        }
    }
    return commit();
}

// --- sites ------------------------------------------------------------------

std::vector<Site> SiteBook::sites(const QString& search) {
    std::vector<Site> out;
    Listing listing;
    listing.search = search;
    eachSite(listing, [&out](const Site& s) {
        out.push_back(s);
        return true;
    });
    return out;
}

std::optional<Site> SiteBook::findSite(const QString& name) {
    auto q = run(QStringLiteral("SELECT %1 FROM sites si WHERE si.name = ?").arg(kSiteColumns), {name});
    if (!q) return std::nullopt;
    if (!q->next()) {
        fail(Failure::NotFound, QString::fromUtf8("nincs ilyen helyszín: ") + name);
        return std::nullopt;
    }
    return siteFrom(*q);
}

bool SiteBook::saveSite(Site& site) {
    site.name = site.name.trimmed();
    if (const QString problem = siteNameProblem(site.name); !problem.isEmpty()) return fail(Failure::Other, problem);
    if (!begin()) return false;
    auto same = run(QStringLiteral("SELECT id FROM sites WHERE name = ? AND id <> ?"), {site.name, site.id});
    if (!same) {
        rollback();
        return false;
    }
    if (same->next()) {
        rollback();
        return fail(Failure::Other, QString::fromUtf8("már van ilyen nevű helyszín: ") + site.name);
    }
    same->finish();
    const QVariantList values{site.name,         textValue(site.address), textValue(site.notes), textValue(site.serialPort),
                              textValue(site.modemNumber), textValue(site.tcpHost), site.tcpPort};
    if (site.id == 0) {
        const auto id = insert(QStringLiteral("INSERT INTO sites (name, address, notes, serial_port, modem_number,"
                                              " tcp_host, tcp_port) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                               values);
        if (!id) {
            rollback();
            return false;
        }
        if (!commit()) return false;
        site.id = *id;
        return true;
    }
    QVariantList withId = values;
    withId << site.id;
    if (!run(QStringLiteral("UPDATE sites SET name = ?, address = ?, notes = ?, serial_port = ?,"
                            " modem_number = ?, tcp_host = ?, tcp_port = ? WHERE id = ?"),
             withId)) {
        rollback();
        return false;
    }
    return commit();
}

std::optional<Site> SiteBook::ensureSite(const Site& site) {
    const QString name = site.name.trimmed();
    if (auto found = findSite(name)) return found;
    if (failure_ != Failure::NotFound) return std::nullopt;
    if (const QString problem = siteNameProblem(name); !problem.isEmpty()) {
        fail(Failure::Other, problem);
        return std::nullopt;
    }
    // Insert or fetch in one transaction: a program storing the same name
    // meanwhile makes this insert do nothing, and its row is read instead.
    if (!begin()) return std::nullopt;
    if (!run(QStringLiteral("INSERT INTO sites (name, address, notes, serial_port, modem_number, tcp_host, tcp_port)"
                            " VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (name) DO NOTHING"),
             {name, textValue(site.address), textValue(site.notes), textValue(site.serialPort), textValue(site.modemNumber),
              textValue(site.tcpHost), site.tcpPort})) {
        rollback();
        return std::nullopt;
    }
    auto found = findSite(name);
    if (!found) {
        rollback();
        return std::nullopt;
    }
    if (!commit()) return std::nullopt;
    return found;
}

// --- snapshots ----------------------------------------------------------------

std::optional<qint64> SiteBook::insertSnapshot(qint64 siteId, SnapshotKind kind, const ParameterImage& image,
                                               const QString& moduleVersion, int dataVersion,
                                               const QString& note, const std::optional<QDateTime>& takenAt) {
    const QByteArray bytes = bytesOf(image);
    if (version_ < kImagesStoredOnceStep) {
        return insert(QStringLiteral("INSERT INTO snapshots (site_id, taken_at, kind, module_version, data_version,"
                                     " sha256, note, image) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                      {siteId, isoTime(takenAt.value_or(clock_())), kindName(kind), textValue(moduleVersion), dataVersion,
                       sha256Of(bytes), textValue(note), bytes});
    }
    const auto imageId = storeImage(bytes, sha256Of(bytes));
    if (!imageId) return std::nullopt;
    QVariantList values{siteId,      isoTime(takenAt.value_or(clock_())), kindName(kind), textValue(moduleVersion),
                        dataVersion, textValue(note),                          noBytes(),      *imageId};
    if (!whoValues(values)) return std::nullopt;
    return insert(QStringLiteral("INSERT INTO snapshots (site_id, taken_at, kind, module_version, data_version,"
                                 " sha256, note, image, image_id%1) VALUES (?, ?, ?, ?, ?, '', ?, ?, ?%2)")
                      .arg(whoColumns(), whoColumns().isEmpty() ? QString() : QStringLiteral(", ?")),
                  values);
}

std::optional<qint64> SiteBook::addSnapshot(qint64 siteId, SnapshotKind kind, const ParameterImage& image,
                                            const QString& moduleVersion, int dataVersion, const QString& note,
                                            const std::optional<QDateTime>& takenAt) {
    if (!begin()) return std::nullopt;
    const auto id = insertSnapshot(siteId, kind, image, moduleVersion, dataVersion, note, takenAt);
    if (!id) {
        rollback();
        return std::nullopt;
    }
    if (!commit()) return std::nullopt;
    return id;
}

std::vector<SnapshotInfo> SiteBook::history(std::optional<qint64> siteId) {
    std::vector<SnapshotInfo> out;
    Listing listing;
    listing.siteId = siteId;
    eachSnapshot(listing, [&out](const SnapshotInfo& info) {
        out.push_back(info);
        return true;
    });
    return out;
}

QString SiteBook::snapshotsFrom() const {
    // A book from before images were stored once (only tests make them now,
    // to upgrade them) is read through a row of nothing in their place.
    return (version_ < kImagesStoredOnceStep
                ? QStringLiteral("snapshots s JOIN sites si ON si.id = s.site_id"
                                 " CROSS JOIN (SELECT CAST(NULL AS TEXT) AS sha256, CAST(NULL AS {bytes}) AS image) i")
                : QStringLiteral("snapshots s JOIN sites si ON si.id = s.site_id LEFT JOIN images i ON i.id = s.image_id")) +
           whoJoin(QStringLiteral("s"), QStringLiteral("a"));
}

std::optional<Snapshot> SiteBook::oneSnapshot(const QString& where, const QVariantList& values) {
    auto q = run(QStringLiteral("SELECT %1, %2, %3 FROM %4 %5")
                     .arg(kSnapshotColumns, whoSelect(QStringLiteral("a")), kSnapshotImageColumn, snapshotsFrom(), where),
                 values);
    if (!q) return std::nullopt;
    if (!q->next()) {
        fail(Failure::NotFound, QString::fromUtf8("nincs ilyen pillanatkép"));
        return std::nullopt;
    }
    Snapshot s;
    s.info = snapshotInfoFrom(*q);
    s.info.who = whoFrom(*q, kSnapshotColumnCount);
    const QByteArray bytes = q->value(kSnapshotColumnCount + kWhoColumnCount).toByteArray();
    if (std::size_t(bytes.size()) != kImageSize) {
        fail(Failure::Damaged, QString::fromUtf8("a %1. pillanatkép nem 2048 bájtos").arg(s.info.id));
        return std::nullopt;
    }
    std::copy_n(bytes.constData(), kImageSize, reinterpret_cast<char*>(s.image.data()));
    // Handed out only as it was stored: an image changed on disk or on the
    // server could otherwise be shown, compared and written to a module.
    if (sha256Of(s.image) != s.info.sha256) {
        fail(Failure::Damaged, QString::fromUtf8("a helyszínkönyv sérült: a %1. pillanatkép képe nem egyezik a "
                                                 "tárolt sha256 ellenőrzőösszeggel")
                                   .arg(s.info.id));
        return std::nullopt;
    }
    return s;
}

std::optional<Snapshot> SiteBook::snapshot(qint64 id) {
    return oneSnapshot(QStringLiteral("WHERE s.id = ?"), {id});
}

std::optional<Snapshot> SiteBook::latestSnapshot(qint64 siteId) {
    return oneSnapshot(QStringLiteral("WHERE s.site_id = ? ORDER BY s.taken_at DESC, s.id DESC LIMIT 1"),
                       {siteId});
}

// --- writes -------------------------------------------------------------------

bool SiteBook::snapshotBeforeWrite(qint64 siteId, std::optional<Snapshot>& before, WriteOutcome& outcome) {
    before = latestSnapshot(siteId);
    if (before || failure_ == Failure::NotFound) return true;
    if (failure_ != Failure::Damaged) return false;
    // The write happened; that the book cannot say what it changed is no
    // reason to forget it.
    outcome.note = error_;
    return true;
}

bool SiteBook::insertWrite(qint64 siteId, bool settled, bool ok, const QString& blocks, const ParameterImage& image,
                           const std::optional<Snapshot>& before, WriteOutcome& outcome) {
    QVariantList values{siteId, isoTime(clock_()), ok ? QStringLiteral("ok") : QStringLiteral("failed"), textValue(blocks),
                        optionalId(before ? std::optional<qint64>(before->info.id) : std::nullopt),
                        optionalId(outcome.snapshotId),
                        ok ? QVariant(QMetaType(QMetaType::QByteArray)) : QVariant(bytesOf(image)), settled ? 1 : 0};
    if (!whoValues(values)) return false;
    const auto writeId =
        insert(QStringLiteral("INSERT INTO writes (site_id, written_at, result, blocks, before_snapshot, after_snapshot,"
                              " attempted_image, settled%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?%2)")
                   .arg(whoColumns(), whoColumns().isEmpty() ? QString() : QStringLiteral(", ?")),
               values);
    if (!writeId) return false;
    outcome.writeId = *writeId;
    if (!before) return true;
    int seq = 0;
    for (const WriteChange& c : changeRows(diff(before->image, image))) {
        if (!run(QStringLiteral("INSERT INTO write_changes (write_id, seq, path, caption, old_value, new_value)"
                                " VALUES (?, ?, ?, ?, ?, ?)"),
                 {*writeId, seq++, c.path, c.caption, textValue(c.before), textValue(c.after)}))
            return false;
    }
    outcome.changes = seq;
    return true;
}

std::optional<SiteBook::WriteOutcome> SiteBook::recordWrite(qint64 siteId, bool ok, const QString& blocks,
                                                            const ParameterImage& image,
                                                            const QString& moduleVersion, int dataVersion) {
    if (!begin()) return std::nullopt;
    auto abandon = [this] {
        rollback();
        return std::nullopt;
    };
    WriteOutcome outcome;
    std::optional<Snapshot> before;
    if (!snapshotBeforeWrite(siteId, before, outcome)) return abandon();
    if (ok) {
        outcome.snapshotId = insertSnapshot(siteId, SnapshotKind::Written, image, moduleVersion, dataVersion, {});
        if (!outcome.snapshotId) return abandon();
    }
    if (!insertWrite(siteId, true, ok, blocks, image, before, outcome)) return abandon();
    if (!commit()) return std::nullopt;
    return outcome;
}

std::optional<qint64> SiteBook::recordWriteAttempt(qint64 siteId, const QString& blocks,
                                                   const ParameterImage& image) {
    if (!begin()) return std::nullopt;
    WriteOutcome outcome;
    std::optional<Snapshot> before;
    if (!snapshotBeforeWrite(siteId, before, outcome) || !insertWrite(siteId, false, false, blocks, image, before, outcome)) {
        rollback();
        return std::nullopt;
    }
    if (!commit()) return std::nullopt;
    return outcome.writeId;
}

std::optional<SiteBook::WriteOutcome> SiteBook::settleWrite(qint64 writeId, bool ok, const QString& blocks,
                                                            const ParameterImage& image,
                                                            const QString& moduleVersion, int dataVersion) {
    if (!begin()) return std::nullopt;
    auto abandon = [this] {
        rollback();
        return std::nullopt;
    };
    auto row = run(QStringLiteral("SELECT site_id, settled FROM writes WHERE id = ?"), {writeId});
    if (!row) return abandon();
    if (!row->next()) {
        rollback();
        fail(Failure::NotFound, QString::fromUtf8("nincs ilyen írás: %1").arg(writeId));
        return std::nullopt;
    }
    const qint64 siteId = row->value(0).toLongLong();
    const bool settled = row->value(1).toInt() != 0;
    row->finish();
    if (settled) {
        rollback();
        fail(Failure::Other, QString::fromUtf8("a %1. írás kimenetele már fel van jegyezve").arg(writeId));
        return std::nullopt;
    }
    WriteOutcome outcome;
    outcome.writeId = writeId;
    if (ok) {
        outcome.snapshotId = insertSnapshot(siteId, SnapshotKind::Written, image, moduleVersion, dataVersion, {});
        if (!outcome.snapshotId) return abandon();
    }
    if (!run(QStringLiteral("UPDATE writes SET result = ?, blocks = ?, after_snapshot = ?, attempted_image = ?,"
                            " settled = 1 WHERE id = ?"),
             {ok ? QStringLiteral("ok") : QStringLiteral("failed"), textValue(blocks), optionalId(outcome.snapshotId),
              ok ? QVariant(QMetaType(QMetaType::QByteArray)) : QVariant(bytesOf(image)), writeId}))
        return abandon();
    auto changes = run(QStringLiteral("SELECT COUNT(*) FROM write_changes WHERE write_id = ?"), {writeId});
    if (!changes || !changes->next()) return abandon();
    outcome.changes = changes->value(0).toInt();
    changes->finish();
    if (!commit()) return std::nullopt;
    return outcome;
}

std::vector<WriteRecord> SiteBook::audit(std::optional<qint64> siteId) {
    std::vector<WriteRecord> out;
    Listing listing;
    listing.siteId = siteId;
    if (!eachWrite(listing, [&out](const WriteRecord& w) {
            out.push_back(w);
            return true;
        }))
        return {};
    return out;
}

}  // namespace corvanta::sitebook
