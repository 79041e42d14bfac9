#pragma once
// The two engines a site book runs on, for tests: a file, or a database on
// the PostgreSQL server named by PGHOST, PGPORT, PGUSER and PGPASSWORD
// (ctest runs the server half under pg_virtualenv, which starts a
// throw-away server and sets them).

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <atomic>
#include <string>

#include <gtest/gtest.h>

namespace corvanta::testing {

enum class Engine { SQLite, PostgreSQL };

inline std::string engineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

inline bool serverAvailable() { return !qEnvironmentVariableIsEmpty("PGHOST"); }

inline const char* kNoServer = "no PostgreSQL server (PGHOST unset): ctest runs this half under pg_virtualenv";

// Runs statements on a connection of the test's own, outside the book: a
// file, or a database of the test server (the server's own when empty).
class RawConnection {
public:
    explicit RawConnection(const QString& path, Engine engine = Engine::SQLite) {
        QSqlDatabase db = QSqlDatabase::addDatabase(
            engine == Engine::SQLite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), name_);
        if (engine == Engine::PostgreSQL) {
            db.setHostName(qEnvironmentVariable("PGHOST"));
            db.setPort(qEnvironmentVariable("PGPORT", "5432").toInt());
            db.setUserName(qEnvironmentVariable("PGUSER"));
            db.setPassword(qEnvironmentVariable("PGPASSWORD"));
        }
        db.setDatabaseName(path.isEmpty() ? qEnvironmentVariable("PGDATABASE", "postgres") : path);
        db.open();
    }
    ~RawConnection() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    bool exec(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(name_, false));
        return q.exec(sql);
    }
    // The first column of every row.
    QStringList column(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(name_, false));
        QStringList out;
        if (!q.exec(sql)) return out;
        while (q.next()) out << q.value(0).toString();
        return out;
    }

private:
    QString name_ = QStringLiteral("raw-%1").arg(quintptr(this));
};

// A new, empty database on the test server, named in `database`; the site
// book URL of it, without a password (libpq takes PGPASSWORD). Empty when it
// cannot be made.
inline QString newServerBook(QString& database) {
    static std::atomic<int> counter{0};
    database = QStringLiteral("sitebook_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    RawConnection server({}, Engine::PostgreSQL);
    if (!server.exec(QStringLiteral("CREATE DATABASE ") + database)) return {};
    return QStringLiteral("postgresql://%1@%2:%3/%4")
        .arg(qEnvironmentVariable("PGUSER"), qEnvironmentVariable("PGHOST"), qEnvironmentVariable("PGPORT", "5432"),
             database);
}

}  // namespace corvanta::testing
