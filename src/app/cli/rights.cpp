#include "app/cli/rights.h"

#include <QString>

#include <cstdio>

#include "app/cli/output.h"
#include "sitebook/site_book.h"

namespace corvanta::cli {

bool writesToModule(const Args& args) {
    const std::string& c = args.command;
    const std::string first = args.positional.empty() ? std::string() : args.positional[0];
    if (c == "write") return !args.flag("--dry-run");
    if (c == "restore" || c == "alarm-stop" || c == "arm" || c == "disarm") return true;
    if (c == "clock") return args.option("--set").has_value();
    if (c == "rf") return first == "teach" || first == "delete-all";
    if (c == "firmware") return !args.flag("--check-only");
    if (c == "fleet") {
        if (first == "apply" || first == "undo") return !args.flag("--dry-run");
        // A read is for the book, which takes nothing from a viewer: it
        // would only pile up in the spool.
        if (first == "read") return true;
        return first == "clock" && args.option("--set").has_value();
    }
    return false;
}

std::optional<int> refusedByRole(const Args& args) {
    if (!writesToModule(args)) return std::nullopt;
    const QString location = sitebook::SiteBook::defaultPath();
    if (!sitebook::SiteBook::isServerUrl(location)) return std::nullopt;
    ensureCoreApp();
    sitebook::SiteBook book;
    if (!book.open(location) || book.rights().operateModules) return std::nullopt;
    std::fprintf(stderr,
                 "corvanta-cli: %s: your role in the site book %s is %s, which writes to no module and "
                 "stores nothing (a technician's work); nothing was sent to the module\n",
                 args.command.c_str(), book.path().toUtf8().constData(), book.rights().role.toUtf8().constData());
    return ExitUsage;
}

}  // namespace corvanta::cli
