// corvanta-cli: the module and file operations without windows.

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <string>

#include "app/cli/args.h"
#include "app/cli/commands.h"
#include "app/cli/rights.h"
#include "app/cli/session.h"

using namespace corvanta::cli;

namespace {

std::vector<Command> allCommands() {
    std::vector<Command> all = paramCommands();
    for (auto& c : linkCommands()) all.push_back(std::move(c));
    for (auto& c : firmwareCommands()) all.push_back(std::move(c));
    for (auto& c : exportCommands()) all.push_back(std::move(c));
    for (auto& c : reportCommands()) all.push_back(std::move(c));
    for (auto* family : {serviceCommands, statusCommands, radioCommands, siteBookCommands, fleetCommands, restoreCommands,
                         bookCommands})
        for (auto& c : family()) all.push_back(std::move(c));
    return all;
}

void printUsage(const std::vector<Command>& commands, std::FILE* to) {
    std::fprintf(to, "usage: corvanta-cli COMMAND [ARGS] [OPTIONS]\n\ncommands:\n");
    for (const auto& c : commands) std::fprintf(to, "  %s\n", c.usage.c_str());
    std::fprintf(to, "\n%s", linkOptionsHelp().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // Qt's own event loop wakes for less than the GLib one, and nothing here
    // needs GLib: a paced serial read wakes hundreds of times.
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    const auto commands = allCommands();
    Args args;
    if (auto error = parseArgs(argc, argv, args)) {
        std::fprintf(stderr, "corvanta-cli: %s\n", error->c_str());
        return ExitUsage;
    }
    if (args.flag("--help") || args.flag("-h")) {
        for (const auto& c : commands) {
            if (c.name != args.command) continue;
            std::printf("usage: corvanta-cli %s\n%s", c.usage.c_str(), c.details.c_str());
            if (c.usage.find(linkUsage()) != std::string::npos) std::printf("\n%s", linkOptionsHelp().c_str());
            return ExitOk;
        }
        printUsage(commands, stdout);
        return ExitOk;
    }
    if (args.command.empty()) {
        printUsage(commands, stderr);
        return ExitUsage;
    }
    for (const auto& c : commands) {
        if (c.name != args.command) continue;
        if (auto refused = refusedByRole(args)) return *refused;
        return c.run(args);
    }
    std::fprintf(stderr, "corvanta-cli: unknown command '%s'\n", args.command.c_str());
    printUsage(commands, stderr);
    return ExitUsage;
}
