#pragma once
// The link of corvanta-cli's module commands: the options that name it
// (--port, or --host with its password and --tcp-port; the installer code;
// --log; --site), opening it, and printing what the program would show. Secrets can
// stay off the command line, where every local user could read them: the
// password comes from --password-file, $CORVANTA_PASSWORD, what is kept for
// the site (--site) or the terminal, the code from $CORVANTA_CODE or what is
// kept for the site.

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "app/cli/args.h"
#include "link/messenger.h"
#include "link/module_link.h"
#include "link/serial_transport.h"
#include "sitebook/site_recorder.h"

namespace corvanta::cli {

// One line on standard output, or on `to`.
void say(const QString& text);
void say(std::FILE* to, const QString& text);

// The command line itself is the confirmation, so questions answer Yes.
class PrintingMessenger : public Messenger {
public:
    void showMessage(const QString& text, const QString& = {}) override {
        last = text;
        say(to, text);
    }
    bool askYesNo(const QString& text, const QString& = {}) override {
        say(to, text + QStringLiteral(" Igen"));
        return true;
    }
    std::FILE* to = stdout;
    QString last;  // the last message shown
};

struct Session {
    std::unique_ptr<QCoreApplication> app;
    std::unique_ptr<ModuleLink> link;
    std::unique_ptr<SerialTransport> serial;
    PrintingMessenger messenger;
    // Where messages and status lines go: commands whose output is data
    // (JSON, CSV, a time) keep standard output for it alone.
    std::FILE* chatter = stdout;
    // With --site NAME: where reads and writes are recorded. The site is
    // made, with the link the options name, when the book has none of that
    // name. Null without --site.
    std::unique_ptr<sitebook::SiteRecorder> recorder;
    // Without --site: the site whose kept installer code and password are
    // taken when none is given (restore: the snapshot's own).
    QString keptSite;
};

struct LinkSecrets {
    std::string password;  // TCP/IP password, as typed
    std::string code;      // installer code field, at most 6 characters
};

// Asks on the terminal without echo; nullopt when standard input is not a
// terminal (a script must say where a secret comes from).
std::optional<std::string> askHidden(const std::string& prompt);

// The link options in one usage line, to follow a command's own words.
const std::string& linkUsage();
// The link options explained, for --help.
const std::string& linkOptionsHelp();

// Sets up the link the options name; nullopt when connected, else the exit
// status. `commandOptions` are the options of the command itself besides the
// link options (such as "-o"); any other option is refused. A site book
// that cannot be used is said in a line and stops nothing.
std::optional<int> openSession(const Args& args, Session& s, const std::set<std::string>& commandOptions = {});
void closeSession(Session& s);

}  // namespace corvanta::cli
