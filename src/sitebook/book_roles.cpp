// Who uses a team book and what they may do there: reading the rights of
// the connection, the who of every row added, and making the roles and the
// viewer's masking views (book init-roles).

#include "sitebook/book_roles.h"

#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

#include "params/code_fields.h"
#include "params/parameter_image.h"
#include "sitebook/schema.h"
#include "sitebook/site_book.h"

namespace corvanta::sitebook {
namespace roles {
namespace {

QString quoted(const QString& name) {
    QString q = name;
    return QLatin1Char('"') + q.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// Every code field's path, as the changes of a write name them.
QStringList codePaths() {
    QStringList paths{QStringLiteral("installerCode")};
    for (int u = 0; u < kUserCount; ++u) paths << QStringLiteral("users[%1].code").arg(u);
    return paths;
}

QString maskedValueSql(const QString& column) {
    QStringList literals;
    for (const QString& p : codePaths()) {
        if (codes::isCodePath(p.toStdString())) literals << QLatin1Char('\'') + p + QLatin1Char('\'');
    }
    // As the windows show a code: one without a digit gives nothing away.
    return QStringLiteral("CASE WHEN path IN (%1) AND %2 ~ '[0-9]' THEN '%3' ELSE %2 END")
        .arg(literals.join(QStringLiteral(", ")), quoted(column), QString::fromUtf8(codes::kHidden));
}

}  // namespace

QString maskedImageSql(const QString& column) {
    QString sql = quoted(column);
    for (std::size_t at = 0; at < kImageSize; ++at) {
        if (!codes::isCodeByte(at) || (at > 0 && codes::isCodeByte(at - 1))) continue;
        std::size_t length = 0;
        while (at + length < kImageSize && codes::isCodeByte(at + length)) ++length;
        sql = QStringLiteral("overlay(%1 placing decode('%2', 'hex') from %3 for %4)")
                  .arg(sql, QString(int(length) * 2, QLatin1Char('0')))
                  .arg(at + 1)
                  .arg(length);
    }
    // The empty image a snapshot keeps once its image is stored once stays
    // empty: overlay() would make one of zeros up.
    return QStringLiteral("CASE WHEN octet_length(%1) = 0 THEN %1 ELSE %2 END").arg(quoted(column), sql);
}

QString maskedColumnSql(const QString& table, const QString& column) {
    // Every table that holds images: the images stored once, and the
    // snapshots' and writes' own columns (a snapshot left as an upgrade found
    // it, an older book's rows, a write's image sent).
    const bool imageTable = table == QLatin1String("snapshots") || table == QLatin1String("images");
    if ((imageTable && column == QLatin1String("image")) ||
        (table == QLatin1String("writes") && column == QLatin1String("attempted_image")))
        return maskedImageSql(column);
    // The digest of the masked image, so that a viewer's image checks out
    // against it; none at all for an image that no longer matches its own.
    // A snapshot whose image is in the images table holds '' for both.
    if (imageTable && column == QLatin1String("sha256"))
        return QStringLiteral("CASE WHEN sha256 = '' THEN '' WHEN encode(sha256(image), 'hex') = sha256"
                              " THEN encode(sha256(%1), 'hex') ELSE 'damaged' END")
            .arg(maskedImageSql(QStringLiteral("image")));
    if (table == QLatin1String("write_changes") &&
        (column == QLatin1String("old_value") || column == QLatin1String("new_value")))
        return maskedValueSql(column);
    if (table == QLatin1String("batches") && column == QLatin1String("description"))
        return QStringLiteral("CASE WHEN description ~* 'code' THEN '' ELSE description END");
    if (table == QLatin1String("batch_sites") && column == QLatin1String("target_sha256"))
        return QStringLiteral("''::text");
    return {};
}

QString maskedViewSql(const QString& schema, const QString& table, const QStringList& columns) {
    QStringList shown;
    for (const QString& c : columns) {
        const QString masked = maskedColumnSql(table, c);
        shown << (masked.isEmpty() ? quoted(c) : masked + QStringLiteral(" AS ") + quoted(c));
    }
    return QStringLiteral("CREATE VIEW %1.%2 AS SELECT %3 FROM %4.%2")
        .arg(quoted(kMaskedSchema), quoted(table), shown.join(QStringLiteral(", ")), quoted(schema));
}

}  // namespace roles

namespace {

QString osUserName() {
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name) return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

bool isServerDriver(const SqlDialect& d) { return d.driver == QLatin1String("QPSQL"); }

}  // namespace

QString SiteBook::whoColumns() const { return version_ >= kWhoVersion ? QStringLiteral(", actor_id") : QString(); }

bool SiteBook::whoValues(QVariantList& values) {
    if (version_ < kWhoVersion) return true;
    if (!actorId_) {
        auto text = [](const QString& s) { return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s); };
        const QVariantList who{text(who_.dbRole), text(who_.osUser), text(who_.host)};
        const QString select = QStringLiteral("SELECT id FROM actors WHERE db_role = ? AND os_user = ? AND host = ?");
        auto found = run(select, who);
        if (!found) return false;
        if (!found->next()) {
            found->finish();
            // Another program of the same person adding it meanwhile makes
            // this one do nothing; its row serves both.
            if (!run(QStringLiteral("INSERT INTO actors (db_role, os_user, host) VALUES (?, ?, ?)"
                                    " ON CONFLICT (db_role, os_user, host) DO NOTHING"),
                     who))
                return false;
            found = run(select, who);
            if (!found) return false;
            if (!found->next()) return fail(Failure::Other, QString::fromUtf8("a szerző nem került a helyszínkönyvbe"));
        }
        actorId_ = found->value(0).toLongLong();
        found->finish();
    }
    values << *actorId_;
    return true;
}

QString SiteBook::whoJoin(const QString& row, const QString& actors) const {
    if (version_ < kWhoVersion) return {};
    return QStringLiteral(" LEFT JOIN actors %2 ON %2.id = %1.actor_id").arg(row, actors);
}

QString SiteBook::whoSelect(const QString& actors) const {
    if (version_ < kWhoVersion) return QStringLiteral("'', '', ''");
    return QStringLiteral("COALESCE(%1.db_role, ''), COALESCE(%1.os_user, ''), COALESCE(%1.host, '')").arg(actors);
}

bool SiteBook::readRights() {
    rights_ = BookRights{};
    who_ = Who{QString(), osUserName(), QSysInfo::machineHostName()};
    if (!isServerDriver(dialect_)) return true;
    // The owner of the book's tables (or whoever will make them) may do all;
    // a role not made yet is no member of anything.
    auto member = [](const QString& role) {
        return QStringLiteral("COALESCE((SELECT pg_has_role(current_user, r.oid, 'member')::int FROM pg_roles r"
                              " WHERE r.rolname = '%1'), 0)")
            .arg(role);
    };
    auto q = run(QStringLiteral("SELECT session_user, COALESCE((SELECT pg_has_role(current_user, t.tableowner,"
                                " 'member')::int FROM pg_tables t WHERE t.schemaname = current_schema()"
                                " AND t.tablename = 'schema_version'), 1), %1, %2, %3,"
                                " (SELECT COUNT(*) FROM pg_roles WHERE rolname = '%4')")
                     .arg(member(roles::kViewer), member(roles::kTechnician), member(roles::kAdmin), roles::kViewer));
    if (!q) return false;
    if (!q->next()) return fail(Failure::Other, QString::fromUtf8("a szerepkörök nem olvashatók"));
    who_.dbRole = q->value(0).toString();
    const bool owner = q->value(1).toInt() != 0;
    const bool viewer = q->value(2).toInt() != 0;
    const bool technician = q->value(3).toInt() != 0;
    const bool admin = q->value(4).toInt() != 0;
    const bool rolesMade = q->value(5).toInt() != 0;
    q->finish();
    if (owner) {
        rights_.role = QStringLiteral("owner");
        return true;
    }
    // In none of the roles: what the server grants it directly, which the
    // program cannot tell; the server refuses the rest.
    if (!rolesMade || (!viewer && !technician && !admin)) return true;
    rights_.role = admin ? roles::kAdmin : technician ? roles::kTechnician : roles::kViewer;
    rights_.operateModules = technician;
    rights_.seeCodes = technician || admin;
    rights_.editSites = technician || admin;
    rights_.keepSecrets = admin;
    if (rights_.viewer() && !run(QStringLiteral("SET search_path = ") + roles::kMaskedSchema)) return false;
    return true;
}

// A team book whose roles were made has its viewer's views and the roles'
// rights made again once an upgrade has changed its tables: left as they
// were, a viewer would read none of a new table and a view of a changed
// one would lack its new columns. The views mark a book whose roles were
// made; the roles themselves are the server's, and another book on it may
// have made them.
bool SiteBook::rolesFollowUpgrade() {
    if (!isServerDriver(dialect_) || rights_.role != QLatin1String("owner")) return true;
    auto q = run(QStringLiteral("SELECT COUNT(*) FROM pg_namespace WHERE nspname = ?"), {roles::kMaskedSchema});
    if (!q || !q->next()) return false;
    const bool rolesMade = q->value(0).toInt() > 0;
    q->finish();
    if (!rolesMade || initRoles()) return true;
    open_ = false;
    error_ = QString::fromUtf8("a helyszínkönyv új változatra frissült, a szerepkörök jogai nem (%1): futtassa a "
                               "„corvanta-cli book init-roles” parancsot")
                 .arg(error_);
    return false;
}

bool SiteBook::initRoles() {
    if (!isServerDriver(dialect_))
        return fail(Failure::Other, QString::fromUtf8("egy fájl helyszínkönyvnek nincsenek szerepkörei: a "
                                                      "szerepkörök egy PostgreSQL-kiszolgálón lévő csapatkönyvéi"));
    if (rights_.role != QLatin1String("owner"))
        return fail(Failure::Denied, QString::fromUtf8("a szerepköröket csak a helyszínkönyv tulajdonosa hozhatja létre"));
    if (!begin()) return false;
    auto abandon = [this] {
        rollback();
        return false;
    };
    // Two owners at once make the roles once.
    if (!dialect_.upgradeLock.isEmpty() && !run(dialect_.upgradeLock)) return abandon();
    auto schemaRow = run(QStringLiteral("SELECT current_schema()"));
    if (!schemaRow || !schemaRow->next()) return abandon();
    const QString schema = schemaRow->value(0).toString();
    schemaRow->finish();
    auto tableRows = run(QStringLiteral("SELECT c.table_name, c.column_name FROM information_schema.columns c"
                                        " JOIN information_schema.tables t ON t.table_schema = c.table_schema"
                                        " AND t.table_name = c.table_name WHERE c.table_schema = current_schema()"
                                        " AND t.table_type = 'BASE TABLE' ORDER BY c.table_name, c.ordinal_position"));
    if (!tableRows) return abandon();
    std::map<QString, QStringList> tables;
    while (tableRows->next()) tables[tableRows->value(0).toString()] << tableRows->value(1).toString();
    tableRows->finish();

    const QString masked = roles::kMaskedSchema;
    QStringList sql;
    for (const QString& role : {roles::kViewer, roles::kTechnician, roles::kAdmin}) {
        sql << QStringLiteral("DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '%1')"
                              " THEN CREATE ROLE %1 NOLOGIN; END IF; END $$")
                   .arg(role);
    }
    sql << QStringLiteral("GRANT %1, %2 TO %3 WITH ADMIN OPTION").arg(roles::kViewer, roles::kTechnician, roles::kAdmin);
    // Who made a row is the server's word, not the client's: a row names
    // the actor of the session's own role with the OS user and host the
    // client gave, whatever actor the client named. A row keeps who made it
    // when it is brought up to date (a write settled); the kept secrets say
    // who changed them last.
    const QString actors = roles::quoted(schema) + QStringLiteral(".actors");
    sql << QStringLiteral("CREATE OR REPLACE FUNCTION corvanta_who() RETURNS trigger LANGUAGE plpgsql AS $$"
                          " DECLARE r TEXT; u TEXT; h TEXT; BEGIN"
                          " IF TG_OP = 'UPDATE' THEN NEW.actor_id := OLD.actor_id; RETURN NEW; END IF;"
                          " SELECT a.db_role, a.os_user, a.host INTO r, u, h FROM %1 a WHERE a.id = NEW.actor_id;"
                          " IF r IS NOT DISTINCT FROM session_user::text THEN RETURN NEW; END IF;"
                          " u := COALESCE(u, ''); h := COALESCE(h, '');"
                          " INSERT INTO %1 (db_role, os_user, host) VALUES (session_user, u, h)"
                          " ON CONFLICT (db_role, os_user, host) DO NOTHING;"
                          " NEW.actor_id := (SELECT a.id FROM %1 a WHERE a.db_role = session_user::text"
                          " AND a.os_user = u AND a.host = h);"
                          " RETURN NEW; END $$")
               .arg(actors)
        << QStringLiteral("CREATE OR REPLACE FUNCTION corvanta_changed_by() RETURNS trigger LANGUAGE plpgsql AS"
                          " $$ BEGIN NEW.db_role := session_user; RETURN NEW; END $$");
    for (const QString& table : {QStringLiteral("snapshots"), QStringLiteral("writes"), QStringLiteral("batches"),
                                 roles::kSecretsTable}) {
        if (tables.count(table))
            sql << QStringLiteral("CREATE OR REPLACE TRIGGER corvanta_who BEFORE INSERT OR UPDATE ON %1"
                                  " FOR EACH ROW EXECUTE FUNCTION %2()")
                       .arg(table, table == roles::kSecretsTable ? QStringLiteral("corvanta_changed_by")
                                                                 : QStringLiteral("corvanta_who"));
    }
    // The views are made again each time: the book's tables may have
    // columns a newer program added.
    sql << QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(masked)
        << QStringLiteral("CREATE SCHEMA %1").arg(masked);
    for (const auto& [table, columns] : tables) {
        if (table != roles::kSecretsTable) sql << roles::maskedViewSql(schema, table, columns);
    }
    // The viewer: the views alone.
    sql << QStringLiteral("REVOKE ALL ON ALL TABLES IN SCHEMA \"%1\" FROM %2").arg(schema, roles::kViewer)
        << QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(masked, roles::kViewer)
        << QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA %1 TO %2").arg(masked, roles::kViewer);
    // The technician: the tables, the kept secrets read only.
    sql << QStringLiteral("GRANT USAGE ON SCHEMA \"%1\" TO %2").arg(schema, roles::kTechnician)
        << QStringLiteral("GRANT USAGE, SELECT ON ALL SEQUENCES IN SCHEMA \"%1\" TO %2").arg(schema, roles::kTechnician);
    for (const auto& [table, columns] : tables) {
        Q_UNUSED(columns);
        if (table == roles::kSecretsTable) {
            sql << QStringLiteral("GRANT SELECT ON %1 TO %2").arg(table, roles::kTechnician);
        } else if (table == roles::kActorsTable) {
            // An actor once named is never renamed: that would change who
            // made every row naming it.
            sql << QStringLiteral("REVOKE ALL ON %1 FROM %2").arg(table, roles::kTechnician)
                << QStringLiteral("GRANT SELECT, INSERT ON %1 TO %2").arg(table, roles::kTechnician);
        } else {
            sql << QStringLiteral("GRANT SELECT, INSERT, UPDATE ON %1 TO %2").arg(table, roles::kTechnician);
        }
    }
    // The admin: besides a technician's, the secrets kept and dropped.
    if (tables.count(roles::kSecretsTable))
        sql << QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON %1 TO %2").arg(roles::kSecretsTable, roles::kAdmin);
    for (const QString& statement : sql) {
        if (!run(statement)) return abandon();
    }
    return commit();
}

}  // namespace corvanta::sitebook
