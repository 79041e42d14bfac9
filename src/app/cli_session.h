#pragma once
// The link of corvanta-cli's module commands: the options that name it
// (--port, or --host with --password and --tcp-port; --code; --log), opening
// it, and printing what the program would show.

#include <QCoreApplication>
#include <QString>

#include <memory>
#include <optional>

#include "app/cli_args.h"
#include "link/messenger.h"
#include "link/module_link.h"
#include "link/serial_transport.h"

namespace corvanta::cli {

// One line on standard output.
void say(const QString& text);

// The command line itself is the confirmation, so questions answer Yes.
class PrintingMessenger : public Messenger {
public:
    void showMessage(const QString& text, const QString& = {}) override { say(text); }
    bool askYesNo(const QString& text, const QString& = {}) override {
        say(text + QStringLiteral(" Igen"));
        return true;
    }
};

struct Session {
    std::unique_ptr<QCoreApplication> app;
    std::unique_ptr<ModuleLink> link;
    std::unique_ptr<SerialTransport> serial;
    PrintingMessenger messenger;
};

// Sets up the link the options name; nullopt when connected, else the exit
// status.
std::optional<int> openSession(const Args& args, Session& s);
void closeSession(Session& s);

}  // namespace corvanta::cli
