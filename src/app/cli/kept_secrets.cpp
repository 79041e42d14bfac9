#include "app/cli/kept_secrets.h"

#include <QFileInfo>

#include <cstdio>
#include <memory>

#include "app/cli/output.h"
#include "credentials/keychain_store.h"
#include "credentials/site_secret_keeper.h"
#include "sitebook/site_book.h"

namespace corvanta::cli {
namespace {

using sitebook::SiteBook;
using sitebook::SiteSecret;

// The book, the store and the keeper of one command, opened on first use.
class Teller {
public:
    SiteSecret of(const QString& name) {
        if (!open()) return {};
        const auto site = book_.findSite(name);
        if (!site) return {};
        const auto kept = keeper_->load(*site);
        if (kept) return *kept;
        if (!said_) {
            said_ = true;
            std::fprintf(stderr, "corvanta-cli: %s; the installer code and the password are taken as without "
                                 "(--code or $CORVANTA_CODE, --password-file or $CORVANTA_PASSWORD, the terminal)\n",
                         keeper_->error().toUtf8().constData());
        }
        return {};
    }

private:
    bool open() {
        if (tried_) return keeper_ != nullptr;
        tried_ = true;
        ensureCoreApp();
        const QString location = SiteBook::defaultPath();
        // Looking never makes a book.
        if (!SiteBook::isServerUrl(location) && !QFileInfo::exists(location)) return false;
        if (!book_.open(location)) return false;
        keeper_ = std::make_unique<credentials::SiteSecretKeeper>(book_, store_, location);
        return true;
    }

    SiteBook book_;
    credentials::KeychainStore store_;
    std::unique_ptr<credentials::SiteSecretKeeper> keeper_;
    bool tried_ = false;
    bool said_ = false;
};

}  // namespace

SiteSecret keptSecretOf(const QString& siteName) { return Teller().of(siteName); }

std::function<SiteSecret(const QString&)> keptSecretTeller() {
    auto teller = std::make_shared<Teller>();
    return [teller](const QString& name) { return teller->of(name); };
}

QString snapshotSite(qint64 snapshotId) {
    ensureCoreApp();
    const QString location = SiteBook::defaultPath();
    if (!SiteBook::isServerUrl(location) && !QFileInfo::exists(location)) return {};
    SiteBook book;
    if (!book.open(location)) return {};
    const auto snapshot = book.snapshot(snapshotId);
    return snapshot ? snapshot->info.site : QString();
}

}  // namespace corvanta::cli
