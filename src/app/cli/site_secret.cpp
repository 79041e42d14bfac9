// corvanta-cli sites secret: a site's installer code and TCP/IP password
// kept for the work nobody types them for (the weekly backup, the fleet),
// or forgotten. Neither is ever printed: the lines say what was kept.

#include <QFileInfo>

#include <cstdio>

#include "app/cli/kept_secrets.h"
#include "app/cli/output.h"
#include "app/cli/session.h"
#include "credentials/keychain_store.h"
#include "credentials/site_secret_keeper.h"
#include "sitebook/site_book.h"

namespace corvanta::cli {
namespace {

using sitebook::SiteBook;
using sitebook::SiteSecret;

constexpr std::size_t kCodeFieldLength = 6;

// The secrets to keep: from the environment, or asked on the terminal.
std::optional<SiteSecret> secretToKeep(const Args& args, int& status) {
    SiteSecret secret;
    status = ExitUsage;
    if (args.flag("--from-env")) {
        secret.installerCode = qEnvironmentVariable("CORVANTA_CODE");
        secret.tcpPassword = qEnvironmentVariable("CORVANTA_PASSWORD");
        if (secret.empty()) {
            fail(ExitUsage, QStringLiteral("--from-env keeps $CORVANTA_CODE and $CORVANTA_PASSWORD: neither is set"));
            return std::nullopt;
        }
    } else {
        const auto code = askHidden("Installer code (empty: none kept): ");
        if (!code) {
            fail(ExitUsage, QStringLiteral("sites secret asks for the code and the password: give --from-env where "
                                           "nobody answers at a terminal"));
            return std::nullopt;
        }
        const auto password = askHidden("TCP/IP password (empty: none kept): ");
        secret.installerCode = QString::fromStdString(*code).trimmed();
        secret.tcpPassword = QString::fromStdString(password.value_or(""));
        if (secret.empty()) {
            fail(ExitUsage, QStringLiteral("nothing given, nothing kept (--forget drops what is kept)"));
            return std::nullopt;
        }
    }
    const QString& code = secret.installerCode;
    if (std::size_t(code.size()) > kCodeFieldLength ||
        std::any_of(code.begin(), code.end(), [](QChar c) { return !c.isDigit() || c.unicode() > 127; })) {
        fail(ExitUsage, QStringLiteral("the installer code is at most 6 digits"));
        return std::nullopt;
    }
    return secret;
}

}  // namespace

int runSiteSecret(const Args& args) {
    if (auto status = checkWords(args, {"--from-env", "--forget"}, {}, 2, kSiteSecretUsage)) return *status;
    if (args.flag("--from-env") && args.flag("--forget"))
        return fail(ExitUsage, QStringLiteral("give --from-env or --forget, not both"));
    const QString name = QString::fromStdString(args.positional[1]).trimmed();
    ensureCoreApp();
    const QString location = SiteBook::defaultPath();
    if (!SiteBook::isServerUrl(location) && !QFileInfo::exists(location))
        return fail(ExitUsage, SiteBook::displayName(location) + QStringLiteral(": no site book"));
    SiteBook book;
    if (!book.open(location)) return fail(ExitUsage, book.path() + QStringLiteral(": ") + book.error());
    if (!book.rights().keepSecrets)
        return fail(ExitUsage, QStringLiteral("your role in the site book is %1: only an admin (corvanta_admin) keeps "
                                              "or forgets a site's code and password")
                                   .arg(book.rights().role));
    const auto site = book.findSite(name);
    if (!site) return fail(ExitUsage, book.error());
    int status = ExitOk;
    std::optional<SiteSecret> secret;
    if (!args.flag("--forget")) {
        secret = secretToKeep(args, status);
        if (!secret) return status;
    }
    credentials::KeychainStore store;
    credentials::SiteSecretKeeper keeper(book, store, location);
    const bool done = secret ? keeper.keep(*site, *secret) : keeper.forget(*site);
    if (!done) {
        const QString instead = keeper.storeUnavailable()
                                    ? QStringLiteral(". Nothing kept: the fleet and restore take the code from "
                                                     "$CORVANTA_CODE and the password from --password-file or "
                                                     "$CORVANTA_PASSWORD as they did")
                                    : QString();
        return fail(ExitFailed, site->name + QStringLiteral(": ") + keeper.error() + instead);
    }
    if (!secret) {
        say(QStringLiteral("%1: the kept installer code and TCP/IP password are forgotten").arg(site->name));
        return ExitOk;
    }
    QStringList kept;
    if (!secret->installerCode.isEmpty()) kept << QStringLiteral("the installer code");
    if (!secret->tcpPassword.isEmpty()) kept << QStringLiteral("the TCP/IP password");
    say(QStringLiteral("%1: kept %2 for the work nobody types them for")
            .arg(site->name, kept.join(QStringLiteral(" and "))));
    return ExitOk;
}

}  // namespace corvanta::cli
