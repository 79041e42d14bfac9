#pragma once
// Command-line parsing shared by every corvanta-cli command. Options may stand
// before or after the command word.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace corvanta::cli {

// Exit statuses of corvanta-cli.
enum ExitStatus : int {
    ExitOk = 0,
    ExitFailed = 1,   // the operation ran and failed
    ExitUsage = 2,    // bad usage or bad input; nothing was done
};

struct Args {
    std::string command;                          // the command word
    std::vector<std::string> positional;          // words after it, in order
    std::map<std::string, std::string> options;   // "--port" -> value, "-o" -> value (also for --output)
    std::set<std::string> flags;                  // "--log"

    std::optional<std::string> option(const std::string& name) const;
    bool flag(const std::string& name) const { return flags.count(name) != 0; }
};

// Options that never take a value.
const std::set<std::string>& flagOptions();

// Splits argv. Any word starting with '-' is an option; it takes the next word
// as its value unless it is a flag or written "--name=value". The first other
// word is the command. Returns an error text on a dangling option, an option
// given twice (also as "--output" and "-o"), an empty value (but for
// --password) and a --code that is not all digits.
std::optional<std::string> parseArgs(int argc, char** argv, Args& out);

}  // namespace corvanta::cli
