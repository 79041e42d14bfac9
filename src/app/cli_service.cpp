// Service reads of corvanta-cli: the module clock (read, or set and read
// back), the user and zone names and the short event list. Each runs the
// conversation its window runs; the data goes to standard output, the
// window's status texts and messages to standard error.

#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>

#include "app/cli_commands.h"
#include "app/cli_output.h"
#include "app/cli_session.h"
#include "service/event_list_export.h"
#include "service/event_memory_load.h"
#include "service/module_clock.h"
#include "service/module_names_load.h"

namespace corvanta::cli {

namespace {

const std::string kClockUsage = "clock [--set \"YYYY-MM-DD HH:MM\" | --set now]" + linkUsage();
const std::string kNamesUsage = "names [--json]" + linkUsage();
const std::string kEventsUsage = "events [--json | --csv]" + linkUsage();

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
    if (auto e = checkUsage(args, {"--json", "--csv"}, 0, kEventsUsage)) return *e;
    if (args.flag("--json") && args.flag("--csv")) {
        std::fprintf(stderr, "corvanta-cli: give --json or --csv, not both\n");
        return ExitUsage;
    }
    Session s;
    if (auto exit = openDataSession(args, s)) return *exit;
    // The names first, so the list shows who and where as the window does
    // after both loads.
    ModuleNamesStore names;
    EventMemory memory{};
    const bool ok = loadModuleNames(*s.link, names, chatterSink(s)) &&
                    loadEventMemory(*s.link, memory, chatterSink(s));
    closeSession(s);
    if (!ok) return ExitFailed;
    const auto rows = shownEventRows(memory, names.names());
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
        {"events", kEventsUsage, runEvents,
         "Reads the names and the event memory and prints the short event list, newest first, as a\n"
         "table; --json prints {\"events\": [{\"row\", \"time\", \"text\", \"subject\", \"pending\", \"status\"}]},\n"
         "--csv a header line and one line per event. A load that fails prints nothing and exits 1.\n"},
    };
}

}  // namespace corvanta::cli
