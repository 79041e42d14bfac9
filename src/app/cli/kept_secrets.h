#pragma once
// A site's kept installer code and TCP/IP password, as corvanta-cli takes
// them when none is given: from the team book's table, or from the
// desktop's secret store for a book of one's own. A store that does not
// answer is said once on standard error, and the command goes on as it
// would without kept secrets (the environment, a password file, asking).

#include <QString>

#include <functional>

#include "app/cli/args.h"
#include "sitebook/site_records.h"

namespace corvanta::cli {

// The kept secrets of the site of that name in the site book; empty when
// none are kept, the site or the book is not there, or they cannot be told.
sitebook::SiteSecret keptSecretOf(const QString& siteName);

// The same for a run over many sites: one book and one store for all,
// the store's silence said once.
std::function<sitebook::SiteSecret(const QString&)> keptSecretTeller();

// The site of a snapshot of the book, or empty.
QString snapshotSite(qint64 snapshotId);

// sites secret NAME [--from-env | --forget]
int runSiteSecret(const Args& args);
inline const std::string kSiteSecretUsage = "sites secret NAME [--from-env | --forget]";

}  // namespace corvanta::cli
