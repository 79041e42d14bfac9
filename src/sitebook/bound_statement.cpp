#include "sitebook/bound_statement.h"

#include <QSqlDriver>

#include <libpq-fe.h>

#include <memory>
#include <string>

namespace corvanta::sitebook {
namespace {

constexpr Oid kByteaType = 17;  // the server's own number for bytea
constexpr int kTextFormat = 0;
constexpr int kBinaryFormat = 1;

PGconn* connectionOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    // The driver names the type by libpq's struct: "pg_conn*" ("PGconn*" in
    // some versions).
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

// ? → $1, $2, ...
QByteArray numbered(const QString& sql) {
    QString out;
    out.reserve(sql.size() + 16);
    int n = 0;
    for (const QChar c : sql) {
        if (c == QLatin1Char('?'))
            out += QLatin1Char('$') + QString::number(++n);
        else
            out += c;
    }
    return out.toUtf8();
}

QSqlError errorOf(PGconn* conn, const PGresult* result) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* text = result ? PQresultErrorMessage(result) : PQerrorMessage(conn);
    return QSqlError(QStringLiteral("Unable to execute statement"), QString::fromUtf8(text).trimmed(),
                     QSqlError::StatementError, state ? QString::fromLatin1(state) : QString());
}

}  // namespace

std::optional<SqlRows> runBound(const QSqlDatabase& db, const QString& sql, const QVariantList& values,
                                QSqlError& error) {
    PGconn* conn = connectionOf(db);
    if (!conn) {
        error = QSqlError(QStringLiteral("no PostgreSQL connection"), {}, QSqlError::ConnectionError);
        return std::nullopt;
    }
    std::vector<QByteArray> bytes(std::size_t(values.size()));
    std::vector<const char*> pointers(bytes.size(), nullptr);
    std::vector<int> lengths(bytes.size(), 0);
    std::vector<int> formats(bytes.size(), kTextFormat);
    std::vector<Oid> types(bytes.size(), 0);  // 0: the server infers it from the statement
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const QVariant& v = values[qsizetype(i)];
        if (v.isNull()) continue;
        if (v.metaType().id() == QMetaType::QByteArray) {
            bytes[i] = v.toByteArray();
            formats[i] = kBinaryFormat;
            types[i] = kByteaType;
        } else {
            const QString text = v.toString();
            if (text.contains(QChar(0))) {
                error = QSqlError(QStringLiteral("Unable to execute statement"),
                                  QString::fromUtf8("a szöveg NUL karaktert tartalmaz"), QSqlError::StatementError,
                                  QStringLiteral("22021"));
                return std::nullopt;
            }
            bytes[i] = text.toUtf8();
        }
        pointers[i] = bytes[i].constData();
        lengths[i] = int(bytes[i].size());
    }
    const QByteArray statement = numbered(sql);
    std::unique_ptr<PGresult, decltype(&PQclear)> result(
        PQexecParams(conn, statement.constData(), int(bytes.size()), types.data(), pointers.data(), lengths.data(),
                     formats.data(), kTextFormat),
        &PQclear);
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        error = errorOf(conn, result.get());
        return std::nullopt;
    }
    const int rows = PQntuples(result.get());
    const int columns = PQnfields(result.get());
    std::vector<SqlRows::Row> out(static_cast<std::size_t>(rows), SqlRows::Row(static_cast<std::size_t>(columns)));
    for (int c = 0; c < columns; ++c) {
        const bool bytea = PQftype(result.get(), c) == kByteaType;
        for (int r = 0; r < rows; ++r) {
            if (PQgetisnull(result.get(), r, c)) continue;
            const char* cell = PQgetvalue(result.get(), r, c);
            if (!bytea) {
                out[std::size_t(r)][std::size_t(c)] = QString::fromUtf8(cell, PQgetlength(result.get(), r, c));
                continue;
            }
            std::size_t length = 0;
            std::unique_ptr<unsigned char, decltype(&PQfreemem)> raw(
                PQunescapeBytea(reinterpret_cast<const unsigned char*>(cell), &length), &PQfreemem);
            out[std::size_t(r)][std::size_t(c)] =
                raw ? QByteArray(reinterpret_cast<const char*>(raw.get()), qsizetype(length)) : QByteArray();
        }
    }
    return SqlRows(std::move(out));
}

}  // namespace corvanta::sitebook
