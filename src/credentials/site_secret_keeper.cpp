#include "credentials/site_secret_keeper.h"

#include <QFileInfo>

namespace corvanta::credentials {

using sitebook::SiteBook;
using sitebook::SiteSecret;

SiteSecretKeeper::SiteSecretKeeper(SiteBook& book, CredentialStore& store, QString bookLocation)
    : book_(book), store_(store), location_(std::move(bookLocation)) {}

QString SiteSecretKeeper::keyFor(const QString& bookLocation, const QString& siteName, What what) {
    // A file by its full path: two books of one person keep apart.
    const QString book = SiteBook::isServerUrl(bookLocation) ? SiteBook::displayName(bookLocation)
                                                            : QFileInfo(bookLocation).absoluteFilePath();
    return book + QLatin1Char('/') + siteName +
           (what == What::InstallerCode ? QStringLiteral("/installer-code") : QStringLiteral("/tcp-password"));
}

bool SiteSecretKeeper::teamBook() const { return SiteBook::isServerUrl(location_); }

bool SiteSecretKeeper::storeFailed(const CredentialStore::Outcome& o) {
    if (!o.unavailable()) return false;
    unavailable_ = true;
    error_ = QString::fromUtf8("nincs elérhető titoktár (Secret Service vagy KWallet) a helyszínek kódjának és "
                               "jelszavának: ") +
             o.error;
    return true;
}

bool SiteSecretKeeper::bookFailed() {
    error_ = book_.error();
    return false;
}

std::optional<SiteSecret> SiteSecretKeeper::load(const sitebook::Site& site) {
    if (teamBook()) {
        auto secret = book_.siteSecret(site.id);
        if (!secret) bookFailed();
        return secret;
    }
    if (unavailable_) return std::nullopt;
    SiteSecret secret;
    for (What what : {What::InstallerCode, What::TcpPassword}) {
        const auto o = store_.read(keyFor(location_, site.name, what));
        if (storeFailed(o)) return std::nullopt;
        if (o.ok()) (what == What::InstallerCode ? secret.installerCode : secret.tcpPassword) = o.secret;
    }
    return secret;
}

bool SiteSecretKeeper::keep(const sitebook::Site& site, const SiteSecret& secret) {
    if (teamBook()) return book_.keepSiteSecret(site.id, secret) || bookFailed();
    if (unavailable_) return false;
    for (What what : {What::InstallerCode, What::TcpPassword}) {
        const QString& value = what == What::InstallerCode ? secret.installerCode : secret.tcpPassword;
        const QString key = keyFor(location_, site.name, what);
        if (storeFailed(value.isEmpty() ? store_.remove(key) : store_.write(key, value))) return false;
    }
    return true;
}

bool SiteSecretKeeper::followRename(const sitebook::Site& before, const sitebook::Site& after) {
    if (teamBook() || before.name == after.name) return true;
    const auto kept = load(before);
    if (!kept) return false;
    if (kept->empty()) return true;
    // Kept under the new name before the old goes: a failure between loses nothing.
    return keep(after, *kept) && forget(before);
}

bool SiteSecretKeeper::forget(const sitebook::Site& site) {
    if (teamBook()) return book_.forgetSiteSecret(site.id) || bookFailed();
    return keep(site, {});
}

}  // namespace corvanta::credentials
