#pragma once
// What differs between the database engines the site book runs on. Every
// table and query is written once in portable SQL; the few words an engine
// spells its own way are filled in from here, and nothing else in the site
// book knows which engine it talks to.

#include <QString>
#include <QStringList>

class QSqlError;

namespace corvanta::sitebook {

struct SqlDialect {
    // What an error from the engine means for the caller.
    enum class Trouble { Other, Locked, Damaged, Lost, Duplicate, Denied };

    QString driver;        // Qt SQL driver name
    QString idColumn;      // an auto-numbered primary key column type
    QString bytesType;     // a column of raw bytes
    // Statements run on every new connection (journal, page size), after
    // the schema version was found acceptable; tuning that may be refused
    // while another program holds the book.
    QStringList sessionSetup;
    // Statements run on a new connection before anything is read or written;
    // none of them may change the book.
    QStringList readOnlySetup;
    // Lists the names of the tables present: one column, one row each.
    QString tableNamesQuery;
    // Starts a transaction that will write, taking the write lock at once
    // (waiting up to the busy time-out) rather than at its first write.
    QString beginWrite;
    // Run first in the transaction that upgrades the book, so that two
    // programs opening a new book at once build it once; empty where
    // beginWrite already keeps every other writer out.
    QString upgradeLock;
    // Statements with values run through libpq with the values bound
    // (bound_statement.h): one trip to the server, where Qt's QPSQL needs
    // three and splices the values into the text.
    bool bindThroughLibpq = false;
    // Reads an error of this engine.
    Trouble (*classify)(const QSqlError& error) = nullptr;

    // Replaces {id} and {bytes} in a statement.
    QString expand(QString statement) const;
};

// SQLite through QSQLITE: WAL journal, a busy time-out, foreign keys on.
SqlDialect sqliteDialect(int busyTimeoutMs);

// PostgreSQL through QPSQL: identity ids, bytea images, a lock time-out.
SqlDialect postgresDialect(int lockTimeoutMs);

}  // namespace corvanta::sitebook
