#include "sitebook/write_ahead_log.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

namespace corvanta::sitebook {

bool keepWriteAheadLog(const QSqlDatabase& db) {
    if (!db.isOpen() || !db.driver()) return false;
    const QVariant handle = db.driver()->handle();
    // Qt's SQLite driver hands out its connection under this type name; the
    // driver and this file use the same system SQLite library.
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return false;
    auto* connection = *static_cast<sqlite3* const*>(handle.data());
    if (!connection) return false;
    int keep = 1;
    return sqlite3_file_control(connection, "main", SQLITE_FCNTL_PERSIST_WAL, &keep) == SQLITE_OK;
}

}  // namespace corvanta::sitebook
