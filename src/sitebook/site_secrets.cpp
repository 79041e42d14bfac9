// A site's installer code and TCP/IP password kept in a team book, for the
// work nobody types them for. A file book keeps none: on one's own desk the
// desktop's secret store keeps them, never the file.

#include "sitebook/site_book.h"

#include "sitebook/book_rows.h"

namespace corvanta::sitebook {
std::optional<SiteSecret> SiteBook::siteSecret(qint64 siteId) {
    if (!dialect_.bindThroughLibpq) {
        fail(Failure::Other, QString::fromUtf8("egy fájl helyszínkönyv nem őriz kódot"));
        return std::nullopt;
    }
    auto q = run(QStringLiteral("SELECT installer_code, tcp_password FROM site_secrets WHERE site_id = ?"), {siteId});
    if (!q) return std::nullopt;
    SiteSecret secret;
    if (q->next()) {
        secret.installerCode = q->value(0).toString();
        secret.tcpPassword = q->value(1).toString();
    }
    return secret;
}

bool SiteBook::keepSiteSecret(qint64 siteId, const SiteSecret& secret) {
    if (!dialect_.bindThroughLibpq) return fail(Failure::Other, QString::fromUtf8("egy fájl helyszínkönyv nem őriz kódot"));
    if (!begin()) return false;
    if (!run(QStringLiteral("INSERT INTO site_secrets (site_id, installer_code, tcp_password, changed_at, db_role,"
                            " os_user, host) VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (site_id) DO UPDATE SET"
                            " installer_code = excluded.installer_code, tcp_password = excluded.tcp_password,"
                            " changed_at = excluded.changed_at, db_role = excluded.db_role,"
                            " os_user = excluded.os_user, host = excluded.host"),
             {siteId, textValue(secret.installerCode), textValue(secret.tcpPassword), isoTime(clock_()), textValue(who_.dbRole),
              textValue(who_.osUser), textValue(who_.host)})) {
        rollback();
        return false;
    }
    return commit();
}

bool SiteBook::forgetSiteSecret(qint64 siteId) {
    if (!dialect_.bindThroughLibpq) return fail(Failure::Other, QString::fromUtf8("egy fájl helyszínkönyv nem őriz kódot"));
    if (!begin()) return false;
    if (!run(QStringLiteral("DELETE FROM site_secrets WHERE site_id = ?"), {siteId})) {
        rollback();
        return false;
    }
    return commit();
}

}  // namespace corvanta::sitebook
