#pragma once
// The commands of corvanta-cli. Each family lives in its own file and hands
// its entries to the dispatcher in cli_main.cpp.

#include <functional>
#include <string>
#include <vector>

#include "app/cli_args.h"

namespace corvanta::cli {

struct Command {
    std::string name;
    std::string usage;     // one line, shown by --help
    std::function<int(const Args&)> run;
    std::string details = {};  // what "COMMAND --help" adds below the usage
};

// decode, encode (cli_params.cpp)
std::vector<Command> paramCommands();
// version, read, write, compare, alarm-stop (cli_link.cpp)
std::vector<Command> linkCommands();
// firmware (cli_firmware.cpp)
std::vector<Command> firmwareCommands();
// export (cli_export.cpp)
std::vector<Command> exportCommands();
// report (cli_report.cpp)
std::vector<Command> reportCommands();
// clock, names, events (cli_service.cpp)
std::vector<Command> serviceCommands();
// status, arm, disarm (cli_status.cpp)
std::vector<Command> statusCommands();
// rf (cli_rf.cpp)
std::vector<Command> radioCommands();
// sites, history, audit, snapshot, diff (cli_sitebook.cpp)
std::vector<Command> siteBookCommands();
// fleet read, compare, clock (cli_fleet.cpp)
std::vector<Command> fleetCommands();
// restore (cli_restore.cpp)
std::vector<Command> restoreCommands();
// book init-roles (cli_book.cpp)
std::vector<Command> bookCommands();

}  // namespace corvanta::cli
