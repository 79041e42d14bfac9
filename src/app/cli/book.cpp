// corvanta-cli book init-roles: the roles of a team book, their rights and
// the views through which a read-only operator reads it
// (sitebook/book_roles.h). Run by the book's owner; a second run makes
// nothing twice and brings the views up to date.

#include <cstdio>

#include "app/cli/commands.h"
#include "app/cli/output.h"
#include "app/cli/session.h"
#include "sitebook/book_roles.h"
#include "sitebook/site_book.h"

namespace corvanta::cli {
namespace {

using sitebook::SiteBook;

const std::string kBookUsage = "book init-roles";

int runBook(const Args& args) {
    if (auto status = checkWords(args, {}, {}, 1, kBookUsage)) return *status;
    if (args.positional[0] != "init-roles")
        return fail(ExitUsage, QStringLiteral("book takes init-roles\nusage: corvanta-cli ") +
                                   QString::fromStdString(kBookUsage));
    const QString location = SiteBook::defaultPath();
    if (!SiteBook::isServerUrl(location))
        return fail(ExitUsage, SiteBook::displayName(location) +
                                   QStringLiteral(": a site book in a file is one person's and has no roles; "
                                                  "book init-roles is for a team book "
                                                  "(CORVANTA_SITEBOOK=postgresql://USER@HOST/DB)"));
    ensureCoreApp();
    SiteBook book;
    if (!book.open(location)) return fail(ExitUsage, book.path() + QStringLiteral(": ") + book.error());
    if (!book.initRoles()) return fail(ExitFailed, book.path() + QStringLiteral(": ") + book.error());
    namespace roles = sitebook::roles;
    say(QStringLiteral("%1: the roles %2, %3 and %4 are ready; grant them to login roles, for example\n"
                       "    GRANT %2 TO anna;")
            .arg(book.path(), roles::kViewer, roles::kTechnician, roles::kAdmin));
    return ExitOk;
}

}  // namespace

std::vector<Command> bookCommands() {
    return {
        {"book", kBookUsage + "                   make a team book's operator roles (its owner)", runBook,
         "  On a team book (PostgreSQL), run by the owner of its tables: makes the\n"
         "  NOLOGIN roles corvanta_viewer (sites, history, diffs and audit with the\n"
         "  codes masked; no write to a module), corvanta_technician (everything on\n"
         "  modules, codes visible) and corvanta_admin (sites, roles, kept codes and\n"
         "  passwords), their rights on the tables, and the views the viewer reads.\n"
         "  Run again it makes nothing twice; an upgrade of the book's tables by its\n"
         "  owner makes the rights and views again by itself.\n"},
    };
}

}  // namespace corvanta::cli
