// Fleet jobs of corvanta-cli: one operation on every site of a CSV list (or
// of the site book), up to N modules at once, run by the fleet library the
// site book window runs too (fleet/fleet_run.h). This file reads the
// command line and the files it names and prints what the run reports.

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cstdio>

#include <unistd.h>

#include "app/cli/commands.h"
#include "app/cli/files.h"
#include "app/cli/kept_secrets.h"
#include "app/cli/existing_book.h"
#include "app/cli/output.h"
#include "app/cli/params_json.h"
#include "fleet/fleet_run.h"
#include "fleet/fleet_selection.h"
#include "sitebook/site_book.h"

namespace corvanta::cli {
namespace {

using fleet::FleetSite;
using fleet::Operation;
using sitebook::SiteBook;

const std::string kFleetUsage =
    "fleet read|compare|clock [--sites FILE.csv] [--due SPAN] [--jobs N] [--time-limit SECONDS] [--json]\n"
    "  fleet apply CHANGES.json --sites FILE.csv [--dry-run] [--force] [--jobs N] [--json]\n"
    "  fleet undo BATCH [--sites FILE.csv] [--dry-run] [--jobs N] [--json]";

int usage(const QString& why) {
    std::fprintf(stderr, "corvanta-cli: %s\nusage: corvanta-cli %s\n", why.toUtf8().constData(), kFleetUsage.c_str());
    return ExitUsage;
}

std::optional<int> numberOption(const Args& args, const char* name, int lowest, int highest, int& value) {
    const auto text = args.option(name);
    if (!text) return std::nullopt;
    bool ok = false;
    value = QString::fromStdString(*text).toInt(&ok);
    if (ok && value >= lowest && value <= highest) return std::nullopt;
    return usage(QStringLiteral("%1 takes %2 to %3").arg(QString::fromLatin1(name)).arg(lowest).arg(highest));
}

// The list --sites names; nullopt after the message.
std::optional<std::vector<FleetSite>> listedSites(const std::string& path) {
    const QString csvPath = QString::fromStdString(path);
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly)) {
        usage(csvPath + QStringLiteral(": cannot open: ") + file.errorString());
        return std::nullopt;
    }
    QString error;
    std::optional<std::vector<FleetSite>> sites;
    if (const auto bytes = fleet::readSiteList(file, error))
        sites = fleet::parseFleetSites(*bytes, QFileInfo(csvPath).absolutePath(), error);
    if (!sites) fail(ExitUsage, csvPath + QStringLiteral(": ") + error);
    return sites;
}

// A change file: decode's keys, only those to change.
std::optional<fleet::ParameterChange> readChange(const std::string& path, QString& text) {
    const auto bytes = readInput(path, kMaxJsonBytes);
    if (!bytes) return std::nullopt;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(*bytes, &parseError);
    const QString name = QString::fromStdString(path);
    if (parseError.error != QJsonParseError::NoError) {
        fail(ExitUsage, name + QStringLiteral(": not valid JSON at offset %1: ").arg(parseError.offset) +
                            parseError.errorString());
        return std::nullopt;
    }
    if (!doc.isObject()) {
        fail(ExitUsage, name + QStringLiteral(": expected a JSON object"));
        return std::nullopt;
    }
    if (auto twice = duplicateKey(*bytes)) {
        fail(ExitUsage, name + QStringLiteral(": ") + QString::fromStdString(*twice) + QStringLiteral(": given twice"));
        return std::nullopt;
    }
    fleet::ParameterChange change;
    if (auto refusal = changeFromJson(doc.object(), change.values, change.fields)) {
        fail(ExitUsage, name + QStringLiteral(": ") + QString::fromStdString(*refusal));
        return std::nullopt;
    }
    text = QString::fromUtf8(doc.toJson(QJsonDocument::Compact));
    return change;
}

// "7" or "#7": a batch number.
std::optional<qint64> batchNumber(const std::string& word) {
    const QString text = QString::fromStdString(word.rfind('#', 0) == 0 ? word.substr(1) : word);
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    return ok && id > 0 ? std::optional<qint64>(id) : std::nullopt;
}

// Prints what the run reports: a line (or a JSON object) per site as it
// ends, the progress on a terminal, the totals at the end.
class Report : public QObject {
public:
    Report(fleet::FleetRun& run, bool json) : run_(run), json_(json), progress_(::isatty(STDERR_FILENO) == 1) {
        connect(&run, &fleet::FleetRun::siteFinished, this, [this](const fleet::SiteOutcome& o) { site(o); });
        connect(&run, &fleet::FleetRun::notice, this, [this](const QString& line) {
            clearProgress();
            fail(0, line);
        });
        connect(&run, &fleet::FleetRun::progressed, this, [this](int, int) { showProgress(); });
    }

    void summary() {
        clearProgress();
        const auto& c = run_.counts();
        std::fprintf(stderr, "%d sites: %d succeeded, %d failed", c.sites, c.succeeded(), c.failed);
        if (c.skipped > 0) std::fprintf(stderr, ", %d skipped", c.skipped);
        if (c.spooled > 0) std::fprintf(stderr, ", %d read but kept for the site book", c.spooled);
        std::fprintf(stderr, "\n");
        if (c.waiting > 0)
            std::fprintf(stderr, "%d read(s) wait in %s until the site book takes them (the next fleet read tries again)\n",
                         c.waiting, fleet::ReadSpool(run_.options().bookLocation).folder().toUtf8().constData());
        if (const auto batch = run_.batchId())
            std::fprintf(stderr, "batch %lld (corvanta-cli fleet undo %lld puts back what it changed)\n",
                         static_cast<long long>(*batch), static_cast<long long>(*batch));
        else if (run_.options().dryRun)
            std::fprintf(stderr, "a dry run: nothing was written\n");
    }

private:
    void site(const fleet::SiteOutcome& o) {
        clearProgress();
        if (json_) {
            QJsonObject line{{"site", o.site},
                             {"result", o.result},
                             {"seconds", qRound(o.seconds * 1000) / 1000.0},
                             {"detail", o.detail}};
            if (o.snapshot) line.insert("snapshot", *o.snapshot);
            if (const auto batch = run_.batchId()) line.insert("batch", *batch);
            if (o.listsChanges && o.result != QLatin1String("failed")) {
                QJsonArray fields;
                for (const auto& c : o.changes)
                    fields.append(QJsonObject{{"path", c.path}, {"caption", c.caption}, {"old", c.before}, {"new", c.after}});
                line.insert("changes", fields);
            }
            printJson(line);
        } else {
            // Whole arguments: a name holding "%1" stays as typed.
            say(QStringLiteral("%1\t%2\t%3 s\t%4").arg(o.site, o.result, QString::number(o.seconds, 'f', 1), o.detail));
            if (o.result != QLatin1String("failed"))
                for (const auto& c : o.changes) say(QStringLiteral("    ") + sitebook::changeLine(c));
        }
        showProgress();
    }

    void clearProgress() {
        if (progress_) std::fprintf(stderr, "\r\033[K");
    }
    void showProgress() {
        if (!progress_ || !run_.running()) return;
        const auto& c = run_.counts();
        std::fprintf(stderr, "\r\033[K%d/%d done, %d failed", c.done, c.sites, c.failed);
        std::fflush(stderr);
    }

    fleet::FleetRun& run_;
    bool json_;
    bool progress_;
};

int runJob(std::vector<FleetSite> sites, fleet::FleetOptions options, bool json) {
    options.keptSecret = keptSecretTeller();
    fleet::FleetRun run(std::move(sites), std::move(options));
    Report report(run, json);
    if (!run.exec()) return fail(ExitFailed, run.error());
    report.summary();
    return run.allDone() ? int(ExitOk) : int(ExitFailed);
}

int runFleet(const Args& args) {
    if (auto status = checkWords(args, {"--json", "--dry-run", "--force"},
                                 {"--sites", "--jobs", "--set", "--time-limit", "--due"}, args.positional.size(),
                                 kFleetUsage))
        return *status;
    if (args.positional.empty()) return usage(QStringLiteral("fleet takes read, compare, clock, apply or undo"));
    const std::string& word = args.positional[0];
    fleet::FleetOptions o;
    if (word == "read") o.operation = Operation::Read;
    else if (word == "compare") o.operation = Operation::Compare;
    else if (word == "clock") o.operation = Operation::Clock;
    else if (word == "apply") o.operation = Operation::Apply;
    else if (word == "undo") o.operation = Operation::Undo;
    else return usage(QStringLiteral("fleet takes read, compare, clock, apply or undo, not ") + QString::fromStdString(word));
    const bool change = o.operation == Operation::Apply || o.operation == Operation::Undo;
    if (args.positional.size() != (change ? 2u : 1u))
        return usage(change ? QStringLiteral("fleet %1 takes one %2").arg(QString::fromStdString(word),
                                                                           o.operation == Operation::Apply
                                                                               ? QStringLiteral("CHANGES.json")
                                                                               : QStringLiteral("BATCH"))
                            : QStringLiteral("fleet %1 takes no further word").arg(QString::fromStdString(word)));
    if (args.option("--set") && o.operation != Operation::Clock) return usage(QStringLiteral("--set belongs to fleet clock"));
    if (args.option("--due") && o.operation != Operation::Read) return usage(QStringLiteral("--due belongs to fleet read"));
    if (args.flag("--dry-run") && !change) return usage(QStringLiteral("--dry-run belongs to fleet apply and undo"));
    if (args.flag("--force") && o.operation != Operation::Apply) return usage(QStringLiteral("--force belongs to fleet apply"));
    if (o.operation == Operation::Apply && !args.option("--sites"))
        return usage(QStringLiteral("fleet apply needs --sites FILE.csv: a change goes to the modules listed"));
    if (auto status = numberOption(args, "--jobs", 1, fleet::kMostJobs, o.jobs)) return *status;
    if (auto status = numberOption(args, "--time-limit", 1, fleet::kMostTimeLimitSeconds, o.timeLimitSeconds))
        return *status;
    std::optional<qint64> dueSpan;
    if (const auto due = args.option("--due")) {
        dueSpan = fleet::parseDueSpan(QString::fromStdString(*due));
        if (!dueSpan) return usage(QStringLiteral("--due takes a span such as 12h, 30d or 2w"));
    }
    o.clockSet = QString::fromStdString(args.option("--set").value_or(""));
    o.dryRun = args.flag("--dry-run");
    o.force = args.flag("--force");
    const bool json = args.flag("--json");

    // Everything given is read and checked before any module is asked.
    std::optional<std::vector<FleetSite>> listed;
    if (const auto csv = args.option("--sites")) {
        listed = listedSites(*csv);
        if (!listed) return ExitUsage;
    }
    if (o.operation == Operation::Apply) {
        const auto parsed = readChange(args.positional[1], o.changeText);
        if (!parsed) return ExitUsage;
        o.change = *parsed;
    }
    std::optional<qint64> batch;
    if (o.operation == Operation::Undo) {
        batch = batchNumber(args.positional[1]);
        if (!batch) return usage(QString::fromStdString(args.positional[1]) + QStringLiteral(": expected a batch number"));
        o.undoBatch = *batch;
    }
    ensureCoreApp();

    if (!listed || dueSpan || o.operation == Operation::Undo) {
        SiteBook book;
        const BookState state = openExistingBook(book, ExitFailed);
        if (state == BookState::Refused) return ExitFailed;
        const std::vector<sitebook::Site> bookSites = state == BookState::Open ? book.sites() : std::vector<sitebook::Site>{};
        if (o.operation == Operation::Undo) {
            if (state == BookState::Missing) return fail(ExitUsage, SiteBook::displayName(SiteBook::defaultPath()) + QStringLiteral(": no site book"));
            if (!book.batch(*batch)) return fail(ExitUsage, book.error());
            QStringList unreachable;
            listed = fleet::batchSites(book.batchSites(*batch), bookSites, listed.value_or(std::vector<FleetSite>{}),
                                       unreachable);
            for (const QString& name : unreachable)
                fail(0, name + QStringLiteral(": batch %1 wrote to it, but it has no link to reach it by (give "
                                              "--sites FILE.csv): left as it is")
                                   .arg(*batch));
            if (listed->empty() && unreachable.isEmpty()) {
                std::fprintf(stderr, "batch %lld began no write: nothing to undo\n", static_cast<long long>(*batch));
                return ExitOk;
            }
            o.bookLocation = SiteBook::defaultPath();
            const int status = runJob(std::move(*listed), std::move(o), json);
            return unreachable.isEmpty() ? status : int(ExitFailed);
        }
        if (!listed) {
            if (state == BookState::Missing)
                return fail(ExitUsage, SiteBook::displayName(SiteBook::defaultPath()) +
                                           QStringLiteral(": no site book, so no sites: give --sites FILE.csv"));
            listed = fleet::sitesWithLink(bookSites);
            if (listed->empty()) {
                std::fprintf(stderr, "no site of the site book has a serial port or TCP/IP host to reach it by\n");
                return ExitOk;
            }
        }
        if (dueSpan) {
            const std::size_t all = listed->size();
            listed = fleet::dueSites(*listed, bookSites, state == BookState::Open ? book.latestReads()
                                                                             : std::map<qint64, QDateTime>{},
                                     *dueSpan, QDateTime::currentDateTimeUtc());
            if (all > listed->size())
                std::fprintf(stderr, "%zu of %zu sites were read within %s: not due\n", all - listed->size(), all,
                             args.option("--due")->c_str());
            if (listed->empty()) return ExitOk;
        }
    }
    return runJob(std::move(*listed), std::move(o), json);
}

}  // namespace

std::vector<Command> fleetCommands() {
    return {
        {"fleet",
         kFleetUsage + "\n                                    every module of a list, N at once"
                       "\n  (a weekly backup read: systemctl --user enable --now corvanta-backup.timer)",
         runFleet,
         "  read      read each module and store the image as a snapshot of its site;\n"
         "            a read the site book cannot take is kept in a spool folder and\n"
         "            stored when the book answers again (at the end of this run or\n"
         "            the next)\n"
         "  compare   read each module and list the fields changed since its site's\n"
         "            latest snapshot\n"
         "  clock     read each module's clock; with --set now (or --set \"YYYY-MM-DD\n"
         "            HH:MM\") it sets it first\n"
         "  apply     give each module the values of CHANGES.json (decode's keys, only\n"
         "            those to change; an array may stop early, null keeps an entry):\n"
         "            read it, skip it when it changed since its latest read or\n"
         "            written snapshot, write it with those fields changed and every\n"
         "            other byte as read, read it back; a batch of the site book,\n"
         "            whose number is shown at the end and in audit\n"
         "  undo      put back, on each module batch BATCH wrote to, the image it\n"
         "            held before, where the module still holds what the batch wrote\n"
         "  --sites FILE.csv  a header line, then one site a line: the columns name,\n"
         "            and either port or host (with maybe tcpPort); passwordFile may\n"
         "            name a site's TCP/IP password file, else $CORVANTA_PASSWORD.\n"
         "            Left out: every site of the site book that has a link (read,\n"
         "            compare, clock), or the batch's sites (undo)\n"
         "  --due SPAN  read only the sites whose latest read is older than SPAN\n"
         "            (12h, 30d, 2w) or who were never read\n"
         "  --dry-run  read and list per site the fields that would change; write\n"
         "            nothing\n"
         "  --force   apply also to a module that changed since its latest snapshot\n"
         "  --jobs N  modules serviced at once (4 unless given)\n"
         "  --time-limit SECONDS  a module not done within this is given up (120\n"
         "            unless given)\n"
         "  --json    one JSON object a line instead of the tab-separated lines\n"
         "The installer code comes from $CORVANTA_CODE. Exit status 0 when every site\n"
         "succeeded, 1 when any failed, was skipped or left, or a read still waits for\n"
         "the site book (the others are still done), 2 on a bad list or change.\n"},
    };
}

}  // namespace corvanta::cli
