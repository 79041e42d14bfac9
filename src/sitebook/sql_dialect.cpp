#include "sitebook/sql_dialect.h"

namespace corvanta::sitebook {

QString SqlDialect::expand(QString statement) const {
    return statement.replace(QStringLiteral("{id}"), idColumn).replace(QStringLiteral("{bytes}"), bytesType);
}

SqlDialect sqliteDialect(int busyTimeoutMs) {
    SqlDialect d;
    d.driver = QStringLiteral("QSQLITE");
    d.idColumn = QStringLiteral("INTEGER PRIMARY KEY");
    d.bytesType = QStringLiteral("BLOB");
    d.readOnlySetup = {QStringLiteral("PRAGMA busy_timeout = %1").arg(busyTimeoutMs),
                       QStringLiteral("PRAGMA foreign_keys = ON")};
    // Readers never wait for the one writer, and a crash mid-write leaves
    // the last complete transaction.
    // A snapshot row is a little over 2 KiB: 8 KiB pages hold three of them
    // where the default 4 KiB held one. Only a new, empty book takes it.
    d.sessionSetup = {QStringLiteral("PRAGMA page_size = 8192"), QStringLiteral("PRAGMA journal_mode = WAL"),
                      QStringLiteral("PRAGMA synchronous = NORMAL")};
    d.tableNamesQuery = QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'");
    d.beginWrite = QStringLiteral("BEGIN IMMEDIATE");
    return d;
}

}  // namespace corvanta::sitebook
