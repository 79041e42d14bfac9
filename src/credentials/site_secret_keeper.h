#pragma once
// Where a site's kept installer code and TCP/IP password live: a team book
// keeps them in its own table, which only the technician and admin roles
// may read; a book of one's own (a file) in the desktop's secret store,
// never in the file. Keys name the book, the site and what is kept, as
// "/home/anna/.local/share/corvanta/sitebook.sqlite/Kovács utca/installer-code".
//
// A store that does not answer is asked once: the keeper then says so in
// error() and every later call gives up at once, so that a fleet of a
// hundred sites waits for it once.

#include <QString>

#include <optional>

#include "credentials/credential_store.h"
#include "sitebook/site_book.h"

namespace corvanta::credentials {

class SiteSecretKeeper {
public:
    // `book` open on `bookLocation`; both outlive the keeper.
    SiteSecretKeeper(sitebook::SiteBook& book, CredentialStore& store, QString bookLocation);

    // The site's kept secrets (empty when none); nullopt, with error(), when
    // they cannot be told (the store does not answer, the role may not).
    std::optional<sitebook::SiteSecret> load(const sitebook::Site& site);
    // Keeps the non-empty ones, dropping what was kept before.
    bool keep(const sitebook::Site& site, const sitebook::SiteSecret& secret);
    bool forget(const sitebook::Site& site);
    // A site renamed in the book: what the desktop's store keeps under its
    // old name moves to the new one (a team book keeps them by the site's
    // number, which stays).
    bool followRename(const sitebook::Site& before, const sitebook::Site& after);

    const QString& error() const { return error_; }
    // The desktop's secret store did not answer (a file book only).
    bool storeUnavailable() const { return unavailable_; }

    enum class What { InstallerCode, TcpPassword };
    static QString keyFor(const QString& bookLocation, const QString& siteName, What what);

private:
    bool teamBook() const;
    bool storeFailed(const CredentialStore::Outcome& o);
    bool bookFailed();

    sitebook::SiteBook& book_;
    CredentialStore& store_;
    QString location_;
    QString error_;
    bool unavailable_ = false;
};

}  // namespace corvanta::credentials
