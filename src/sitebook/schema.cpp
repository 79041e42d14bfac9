#include "sitebook/schema.h"

namespace corvanta::sitebook {

const std::vector<QStringList>& migrationSteps() {
    static const std::vector<QStringList> steps = {
        // 1: sites and their snapshots.
        {
            QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"),
            QStringLiteral("INSERT INTO schema_version (version) VALUES (0)"),
            QStringLiteral("CREATE TABLE sites ("
                           " id {id},"
                           " name TEXT NOT NULL UNIQUE,"
                           " address TEXT NOT NULL DEFAULT '',"
                           " notes TEXT NOT NULL DEFAULT '',"
                           " serial_port TEXT NOT NULL DEFAULT '',"
                           " modem_number TEXT NOT NULL DEFAULT '',"
                           " tcp_host TEXT NOT NULL DEFAULT '',"
                           " tcp_port INTEGER NOT NULL DEFAULT 0)"),
            QStringLiteral("CREATE TABLE snapshots ("
                           " id {id},"
                           " site_id BIGINT NOT NULL REFERENCES sites (id),"
                           " taken_at TEXT NOT NULL,"
                           " kind TEXT NOT NULL CHECK (kind IN ('read', 'written', 'file', 'manual')),"
                           " module_version TEXT NOT NULL DEFAULT '',"
                           " data_version INTEGER NOT NULL DEFAULT -1,"
                           " sha256 TEXT NOT NULL,"
                           " note TEXT NOT NULL DEFAULT '',"
                           // Last, so the other columns are read without it.
                           " image {bytes} NOT NULL)"),
            QStringLiteral("CREATE INDEX snapshots_by_site ON snapshots (site_id, taken_at)"),
        },
        // 2: the writes made to a module and the fields each changed.
        {
            QStringLiteral("CREATE TABLE writes ("
                           " id {id},"
                           " site_id BIGINT NOT NULL REFERENCES sites (id),"
                           " written_at TEXT NOT NULL,"
                           " result TEXT NOT NULL CHECK (result IN ('ok', 'failed')),"
                           " blocks TEXT NOT NULL,"
                           " before_snapshot BIGINT REFERENCES snapshots (id),"
                           " after_snapshot BIGINT REFERENCES snapshots (id),"
                           " attempted_image {bytes})"),
            QStringLiteral("CREATE INDEX writes_by_site ON writes (site_id, written_at)"),
            QStringLiteral("CREATE TABLE write_changes ("
                           " write_id BIGINT NOT NULL REFERENCES writes (id),"
                           " seq INTEGER NOT NULL,"
                           " path TEXT NOT NULL,"
                           " caption TEXT NOT NULL,"
                           " old_value TEXT NOT NULL,"
                           " new_value TEXT NOT NULL,"
                           " PRIMARY KEY (write_id, seq))"),
        },
        // 3: a write is kept before its commit goes out, as not settled;
        // one whose program died before it heard the outcome stays so.
        {
            QStringLiteral("ALTER TABLE writes ADD COLUMN settled INTEGER NOT NULL DEFAULT 1"),
        },
        // Batches: one change (or its undo) written to many modules, a row
        // for each site it reached; and where a write came from, its batch
        // or the snapshot it put back on the module.
        {
            QStringLiteral("CREATE TABLE batches ("
                           " id {id},"
                           " started_at TEXT NOT NULL,"
                           " kind TEXT NOT NULL CHECK (kind IN ('apply', 'undo')),"
                           " description TEXT NOT NULL DEFAULT '',"
                           " undoes BIGINT REFERENCES batches (id))"),
            QStringLiteral("CREATE TABLE batch_sites ("
                           " batch_id BIGINT NOT NULL REFERENCES batches (id),"
                           " site_id BIGINT NOT NULL REFERENCES sites (id),"
                           " result TEXT NOT NULL,"
                           " detail TEXT NOT NULL DEFAULT '',"
                           " before_snapshot BIGINT REFERENCES snapshots (id),"
                           " target_sha256 TEXT NOT NULL DEFAULT '',"
                           " after_snapshot BIGINT REFERENCES snapshots (id),"
                           " PRIMARY KEY (batch_id, site_id))"),
            QStringLiteral("ALTER TABLE writes ADD COLUMN batch_id BIGINT REFERENCES batches (id)"),
            QStringLiteral("ALTER TABLE writes ADD COLUMN restored_snapshot BIGINT REFERENCES snapshots (id)"),
        },
        // Each image once, however many snapshots hold it: a module read
        // every month and left alone holds the same 2048 bytes for years.
        // A snapshot names its image by number (a sha256 in every row would
        // cost as much as the row itself). Its own sha256 and image columns
        // stay for the snapshots whose bytes no longer matched their sha256
        // when the book was upgraded; every other row holds them empty
        // (SQLite keeps NOT NULL until the table is rebuilt, and an empty
        // value takes no room). migrate() moves the images after these
        // statements (kImagesStoredOnceStep).
        {
            QStringLiteral("CREATE TABLE images ("
                           " id {id},"
                           " sha256 TEXT NOT NULL UNIQUE,"
                           " image {bytes} NOT NULL)"),
            QStringLiteral("ALTER TABLE snapshots ADD COLUMN image_id BIGINT REFERENCES images (id)"),
        },
        // The event history of each site: every entry of every event list
        // loaded for it, once. An entry is known by the module's own time,
        // its event and its subject, never by where it sat in the ring; the
        // unique key keeps two programs merging at once from storing it twice.
        {
            QStringLiteral("CREATE TABLE site_events ("
                           " id {id},"
                           " site_id BIGINT NOT NULL REFERENCES sites (id),"
                           // "YYYY-MM-DD HH:MM" on the module's clock.
                           " occurred_at TEXT NOT NULL,"
                           " kind INTEGER NOT NULL,"
                           " subject INTEGER NOT NULL,"
                           // The 8 bytes as first loaded, the subject's cell with the names known then.
                           " entry {bytes} NOT NULL,"
                           " subject_text TEXT NOT NULL DEFAULT '',"
                           " loaded_at TEXT NOT NULL,"
                           " UNIQUE (site_id, occurred_at, kind, subject))"),
        },
        // Who made each row: the database role (empty on a file, which is
        // one person's), the OS user and the host, kept once each in actors
        // and named by number: a book of a million snapshots made by a dozen
        // people would otherwise hold their names a million times. Rows kept
        // before name nobody. On a team book the server names the role
        // itself once its roles are made (book_roles.h), so a client cannot
        // name another.
        // A site's installer code and TCP/IP password kept for unattended
        // work, on a team book only (a file's go to the desktop's secret
        // store); only the technician and admin roles may read the table.
        {
            QStringLiteral("CREATE TABLE actors ("
                           " id {id},"
                           " db_role TEXT NOT NULL,"
                           " os_user TEXT NOT NULL,"
                           " host TEXT NOT NULL,"
                           " UNIQUE (db_role, os_user, host))"),
            QStringLiteral("ALTER TABLE snapshots ADD COLUMN actor_id INTEGER REFERENCES actors (id)"),
            QStringLiteral("ALTER TABLE writes ADD COLUMN actor_id INTEGER REFERENCES actors (id)"),
            QStringLiteral("ALTER TABLE batches ADD COLUMN actor_id INTEGER REFERENCES actors (id)"),
            QStringLiteral("CREATE TABLE site_secrets ("
                           " site_id BIGINT NOT NULL PRIMARY KEY REFERENCES sites (id),"
                           " installer_code TEXT NOT NULL DEFAULT '',"
                           " tcp_password TEXT NOT NULL DEFAULT '',"
                           " changed_at TEXT NOT NULL,"
                           " db_role TEXT NOT NULL DEFAULT '',"
                           " os_user TEXT NOT NULL DEFAULT '',"
                           " host TEXT NOT NULL DEFAULT '')"),
        },
    };
    return steps;
}

}  // namespace corvanta::sitebook
