#pragma once
// The commands of corvanta-cli. Each family lives in its own file and hands
// its entries to the dispatcher in main.cpp.

#include <functional>
#include <string>
#include <vector>

#include "app/cli/args.h"

namespace corvanta::cli {

struct Command {
    std::string name;
    std::string usage;     // one line, shown by --help
    std::function<int(const Args&)> run;
    std::string details = {};  // what "COMMAND --help" adds below the usage
};

// decode, encode (params.cpp)
std::vector<Command> paramCommands();
// version, read, write, compare, alarm-stop (link.cpp)
std::vector<Command> linkCommands();
// firmware (firmware.cpp)
std::vector<Command> firmwareCommands();
// export (export.cpp)
std::vector<Command> exportCommands();
// report (report.cpp)
std::vector<Command> reportCommands();
// clock, names, events (service.cpp)
std::vector<Command> serviceCommands();
// status, arm, disarm (status.cpp)
std::vector<Command> statusCommands();
// rf (rf.cpp)
std::vector<Command> radioCommands();
// sites, history, audit, snapshot, diff (sitebook.cpp)
std::vector<Command> siteBookCommands();
// fleet read, compare, clock (fleet.cpp)
std::vector<Command> fleetCommands();
// restore (restore.cpp)
std::vector<Command> restoreCommands();
// book init-roles (book.cpp)
std::vector<Command> bookCommands();

}  // namespace corvanta::cli
