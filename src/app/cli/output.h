#pragma once
// What the service commands of corvanta-cli share: their output on standard
// output (the data alone), the check of the flags each takes, and numbers
// read from the command line.

#include <QJsonObject>
#include <QString>

#include <optional>
#include <set>
#include <string>

#include "app/cli/args.h"
#include "app/cli/session.h"
#include "service/event_list_export.h"

namespace corvanta::cli {

// How long a poll's answer may take: 3 s in 100 ms ticks.
inline constexpr int kAnswerTicks = 30;

// openSession for a command whose standard output carries only its data:
// the module's texts and messages go to standard error.
std::optional<int> openDataSession(const Args& args, Session& s, const std::set<std::string>& commandOptions = {});

// Says why on standard error as the program's refusals read
// ("corvanta-cli: ..."), and gives back `status`.
int fail(int status, const QString& why);
int fail(int status, const std::string& why);
int fail(int status, const char* why);

// One compact JSON object and a line end.
void printJson(const QJsonObject& object);
// Text as it stands (UTF-8), nothing added.
void printText(const QString& text);

// One event as JSON: "row", "time", "text", "subject", "pending" (route ->
// still to report) and "status", the texts as kept.
QJsonObject eventRowJson(const NumberedEventRow& row);

// The rows under a title line, each column as wide as its widest cell.
QString eventTable(const std::vector<NumberedEventRow>& rows,
                   const std::array<const char*, kEventListColumns>& titles);

// Refuses a flag the command does not take (each command takes --log,
// --log-raw, --verbose and --help besides `allowed`) and a wrong number of words after
// the command; prints the usage line then. Nothing when all is well.
std::optional<int> checkUsage(const Args& args, const std::set<std::string>& allowed, std::size_t words,
                              const std::string& usage);

// An application object for the commands that open no link (Qt SQL loads
// its drivers as plugins, QProcess wants an event loop).
void ensureCoreApp();

// checkUsage for a command that talks to no module: an option it does not
// take is refused too (a misspelt one would otherwise be ignored).
std::optional<int> checkWords(const Args& args, const std::set<std::string>& flags,
                              const std::set<std::string>& options, std::size_t words, const std::string& usage);

// A number of seconds above 0 and at most a day; decimals allowed.
std::optional<double> parseSeconds(const std::string& text);

}  // namespace corvanta::cli
