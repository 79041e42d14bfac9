// Service reads of corvanta-cli: the module clock (read, or set and read
// back), the user and zone names and the short event list. Each runs the
// conversation its window runs; the data goes to standard output, the
// window's status texts and messages to standard error.

#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>

#include "app/cli/commands.h"
#include "app/cli/event_history.h"
#include "app/cli/files.h"
#include "app/cli/output.h"
#include "app/cli/session.h"
#include "app/cli/workbooks.h"
#include "service/dated_events.h"
#include "service/event_list_export.h"
#include "service/event_memory_load.h"
#include "service/module_clock.h"
#include "service/module_names_load.h"
#include "sheets/event_sheets.h"
#include "sheets/xlsx_sheet.h"

namespace corvanta::cli {

namespace {

const std::string kClockUsage = "clock [--set \"YYYY-MM-DD HH:MM\" | --set now]" + linkUsage();
const std::string kNamesUsage = "names [--json]" + linkUsage();
const std::string kEventsUsage = "events [--json | --csv] [--xlsx FILE]" + linkUsage();

constexpr int kCentury = 2000;

StatusSink chatterSink(const Session& s) {
    return [to = s.chatter](const QString& text) {
        if (!text.isEmpty()) say(to, text);
    };
}

class ChatterClockView : public ClockView {
public:
    explicit ChatterClockView(StatusSink sink) : sink_(std::move(sink)) {}
    void setStatus(const QString& text) override { sink_(text); }

private:
    StatusSink sink_;
};

// The module keeps the year within the century.
QDateTime moduleDateTime(const ClockTime& t) {
    return QDateTime(QDate(kCentury + t.year, t.month, t.day), QTime(t.hour, t.minute));
}

QString minuteText(const QDateTime& t) { return t.toString(QStringLiteral("yyyy-MM-dd HH:mm")); }

// "YYYY-MM-DD HH:MM" within the years the module can hold.
std::optional<QDateTime> parseClockTime(const std::string& text) {
    const QDateTime t = QDateTime::fromString(QString::fromStdString(text), QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!t.isValid() || t.date().year() < kCentury || t.date().year() >= kCentury + 100) return std::nullopt;
    return t;
}

int runClock(const Args& args) {
    if (auto e = checkUsage(args, {}, 0, kClockUsage)) return *e;
    const auto setText = args.option("--set");
    std::optional<QDateTime> given;
    if (setText && *setText != "now") {
        given = parseClockTime(*setText);
        if (!given) {
            std::fprintf(stderr, "corvanta-cli: --set takes \"YYYY-MM-DD HH:MM\" (years 2000..2099) or now, not \"%s\"\n",
                         setText->c_str());
            return ExitUsage;
        }
    }
    Session s;
    if (auto exit = openDataSession(args, s, {"--set"})) return *exit;
    QDateTime written;
    ChatterClockView view(chatterSink(s));
    ModuleClock clock(*s.link, view, [&written, given] {
        written = given ? *given : QDateTime::currentDateTime();
        return written;
    });
    const bool ok = (!setText || clock.set()) && clock.read();
    closeSession(s);
    if (!ok) return ExitFailed;
    const QDateTime shown = moduleDateTime(*clock.lastRead());
    if (setText) {
        // The module starts the set minute at its first second; a read that
        // follows may have crossed into the next one, no further.
        const QDateTime minute(written.date(), QTime(written.time().hour(), written.time().minute()));
        if (shown != minute && shown != minute.addSecs(60)) {
            std::fprintf(stderr, "corvanta-cli: the module's clock reads %s, not the %s just set\n",
                         minuteText(shown).toUtf8().constData(), minuteText(minute).toUtf8().constData());
            return ExitFailed;
        }
    }
    printText(minuteText(shown) + QLatin1Char('\n'));
    return ExitOk;
}

// A name as kept: without the blank the load puts before it and the blanks
// that pad its field.
QString keptName(const std::string& loaded) {
    QString name = QString::fromStdString(loaded);
    if (name.startsWith(QLatin1Char(' '))) name.remove(0, 1);
    while (name.endsWith(QLatin1Char(' '))) name.chop(1);
    return name;
}

int runNames(const Args& args) {
    if (auto e = checkUsage(args, {"--json"}, 0, kNamesUsage)) return *e;
    Session s;
    if (auto exit = openDataSession(args, s)) return *exit;
    ModuleNamesStore store;
    const bool ok = loadModuleNames(*s.link, store, chatterSink(s));
    closeSession(s);
    if (!ok) return ExitFailed;
    const ModuleNames& names = store.names();
    if (args.flag("--json")) {
        QJsonArray zones, users;
        for (int n = 1; n <= ModuleNames::kZones; ++n) zones.append(keptName(names.zoneName(n)));
        for (int n = 1; n <= ModuleNames::kUsers; ++n) users.append(keptName(names.userName(n)));
        printJson({{"zones", zones}, {"users", users}});
        return ExitOk;
    }
    QString text = QStringLiteral("Zónák:\n");
    for (int n = 1; n <= ModuleNames::kZones; ++n)
        text += QStringLiteral("%1. %2\n").arg(n, 4).arg(keptName(names.zoneName(n)));
    text += QStringLiteral("Felhasználók:\n");
    for (int n = 1; n <= ModuleNames::kUsers; ++n)
        text += QStringLiteral("%1. %2\n").arg(n, 4).arg(keptName(names.userName(n)));
    printText(text);
    return ExitOk;
}

int runEvents(const Args& args) {
    if (args.flag("--history")) return runEventHistory(args);
    if (args.option("--since") || args.option("--limit")) {
        std::fprintf(stderr, "corvanta-cli: --since and --limit go with --history\n");
        return ExitUsage;
    }
    if (auto e = checkUsage(args, {"--json", "--csv"}, 0, kEventsUsage)) return *e;
    if (args.flag("--json") && args.flag("--csv")) {
        std::fprintf(stderr, "corvanta-cli: give --json or --csv, not both\n");
        return ExitUsage;
    }
    const auto xlsx = args.option("--xlsx");
    if (xlsx) {
        if (auto status = checkOutput(*xlsx)) return *status;
    }
    Session s;
    if (auto exit = openDataSession(args, s, {"--xlsx"})) return *exit;
    // The names first, so the list shows who and where as the window does
    // after both loads.
    ModuleNamesStore names;
    EventMemory memory{};
    const bool ok = loadModuleNames(*s.link, names, chatterSink(s)) &&
                    loadEventMemory(*s.link, memory, chatterSink(s));
    const QDateTime loaded = QDateTime::currentDateTime();
    closeSession(s);
    if (!ok) return ExitFailed;
    const ModuleMinute loadedAt{loaded.date().year(), loaded.date().month(), loaded.date().day(),
                                loaded.time().hour(), loaded.time().minute()};
    // With --site the list goes into the site's event history; a book that
    // cannot take it costs a line, not the list.
    if (s.recorder) {
        if (const QString line = s.recorder->recordEvents(datedEvents(memory, names.names(), loadedAt));
            !line.isEmpty())
            say(s.chatter, line);
    }
    const auto rows = shownEventRows(memory, names.names());
    if (xlsx) {
        std::string error;
        const auto bytes = sheets::xlsxWorkbook("Eseménylista", sheets::eventListColumns(),
                                                sheets::eventListSheetRows(memory, names.names(), loadedAt), error);
        if (!bytes) {
            std::fprintf(stderr, "corvanta-cli: %s: %s\n", xlsx->c_str(), error.c_str());
            return ExitFailed;
        }
        if (const int status = writeWorkbook(*xlsx, *bytes, FileAccess::Shared)) return status;  // events hold no code
        if (!args.flag("--json") && !args.flag("--csv")) return ExitOk;
    }
    if (args.flag("--json")) {
        QJsonArray events;
        for (const auto& row : rows) events.append(eventRowJson(row));
        printJson({{"events", events}});
    } else if (args.flag("--csv")) {
        printText(QString::fromStdString(eventListCsv(rows)));
    } else {
        printText(eventTable(rows, kEventListTitles));
    }
    return ExitOk;
}

}  // namespace

std::vector<Command> serviceCommands() {
    return {
        {"clock", kClockUsage, runClock,
         "Prints the module's date and time as YYYY-MM-DD HH:MM. --set writes the given minute, or the\n"
         "computer's with \"now\", and prints what the module reads back; exit 1 when it differs.\n"},
        {"names", kNamesUsage, runNames,
         "Reads the 12 zone and 12 user names from the module. --json prints\n"
         "{\"zones\": [12 texts], \"users\": [12 texts]}.\n"},
        {"events", kEventsUsage + "\n  " + eventHistoryUsage(), runEvents,
         "Reads the names and the event memory and prints the short event list, newest first, as a\n"
         "table; --json prints {\"events\": [{\"row\", \"time\", \"text\", \"subject\", \"pending\", \"status\"}]},\n"
         "--csv a header line and one comma-separated line per event (RFC 4180 quoting), --xlsx FILE\n"
         "saves an Excel workbook of it (and prints nothing else without --json or --csv). A load that\n"
         "fails prints nothing and exits 1. With --site NAME the list is merged into the site's event\n"
         "history in the site book: only the entries it does not hold yet are added.\n"
         "--history prints that history instead, from the book, newest first, with the year of each\n"
         "entry and when it was loaded; no module is needed. --since DATE (YYYY-MM-DD or\n"
         "\"YYYY-MM-DD HH:MM\") starts it at that minute of the module's clock, --limit N prints the\n"
         "newest N; --json prints {\"site\", \"events\": [{\"time\", \"text\", \"subject\", \"pending\",\n"
         "\"status\", \"loadedAt\"}]}.\n"},
    };
}

}  // namespace corvanta::cli
