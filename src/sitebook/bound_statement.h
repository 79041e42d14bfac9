#pragma once
// One statement on a PostgreSQL connection opened by Qt's QPSQL driver, run
// through libpq with its values bound as parameters: one round trip to the
// server, and no value ever becomes part of the statement's text. Qt's own
// prepared statements on PostgreSQL cost three trips (PREPARE, EXECUTE,
// DEALLOCATE) and even then splice the values, quoted, into the EXECUTE
// text, where a NUL byte cuts the statement short.

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QVariantList>

#include <optional>

#include "sitebook/sql_rows.h"

namespace corvanta::sitebook {

// `sql` marks each value with ?, in order (none inside a literal). Text goes
// as UTF-8, a QByteArray as raw bytes, a null QVariant as NULL; text holding
// a NUL character is refused before anything is sent, as the server would
// cut it there. A bytea column comes back as a QByteArray, every other as
// text. On failure nullopt and the server's error, with its SQLSTATE as the
// native code (none when the connection is gone).
std::optional<SqlRows> runBound(const QSqlDatabase& db, const QString& sql, const QVariantList& values,
                                QSqlError& error);

}  // namespace corvanta::sitebook
