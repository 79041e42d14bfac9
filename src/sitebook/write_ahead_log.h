#pragma once
// Keeps an SQLite book's write-ahead log in place when the last connection
// closes. By default that close checkpoints the log and deletes it, and the
// next program to open the book builds it again under an exclusive lock:
// with many short-lived programs on one book (a fleet's children) nearly
// every open then waits for another's close. The log is still checkpointed
// and cut back to the journal size limit; only the files stay.

class QSqlDatabase;

namespace corvanta::sitebook {

// On an open SQLite connection; false (and nothing changed) on any other.
bool keepWriteAheadLog(const QSqlDatabase& db);

}  // namespace corvanta::sitebook
