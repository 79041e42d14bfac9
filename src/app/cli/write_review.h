#pragma once
// What corvanta-cli write tells of the fields a write changes: --dry-run
// reads the module and lists what a write of the file would change there,
// writing nothing; with --site the write lists the fields it changed
// against the site's latest snapshot, as the site book keeps it.

#include <string>

#include "app/cli/args.h"

namespace corvanta::cli {

int runWriteDryRun(const Args& args, const std::string& file);

// After a good write of `file` with --site: the fields it changed against
// the site's latest snapshot before it, as the site book keeps the write.
void printSiteChanges(const Args& args, const std::string& file);

}  // namespace corvanta::cli
