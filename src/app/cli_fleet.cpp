// Fleet jobs of corvanta-cli: one operation on every site of a CSV list, up
// to N modules at once. Each module is serviced by a corvanta-cli of its own
// (a child process running the single-module command), so a fleet job talks
// to a module exactly as one command does and a module that hangs or fails
// holds up no other.
//
// A site is judged by how its child ended and by the result the child leaves
// in a file of its own (fleet/child_result.h), never by what it printed. A
// child ends with the fleet, however the fleet ends, and within a time limit.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <deque>
#include <memory>

#include <sys/prctl.h>
#include <unistd.h>

#include "app/cli_commands.h"
#include "app/cli_output.h"
#include "fleet/child_result.h"
#include "fleet/fleet_sites.h"
#include "fleet/read_spool.h"
#include "fleet/run_folder.h"
#include "params/image_diff.h"
#include "sitebook/site_book.h"
#include "sitebook/site_records.h"

namespace corvanta::cli {
namespace {

using fleet::ChildResult;
using fleet::FleetSite;
using sitebook::SiteBook;

constexpr int kDefaultJobs = 4;
constexpr int kMostJobs = 64;
// A read takes some seconds at 19200 baud; a child still at it after this
// waits for something that will not come (a password pipe nobody writes to).
constexpr int kDefaultTimeLimitSeconds = 120;
constexpr int kMostTimeLimitSeconds = 3600;

const std::string kFleetUsage =
    "fleet read|compare|clock --sites FILE.csv [--jobs N] [--time-limit SECONDS] [--json]";

enum class Job { Read, Compare, Clock };

struct Outcome {
    QString result;  // ok, failed, changed, unchanged, spooled
    QString detail;
    std::optional<qint64> snapshot;
    std::vector<sitebook::WriteChange> changes;
    double seconds = 0;
};

Outcome outcome(const QString& result, const QString& detail) {
    Outcome o;
    o.result = result;
    o.detail = detail;
    return o;
}
Outcome failedWith(const QString& why) { return outcome(QStringLiteral("failed"), why); }

QStringList lines(const QByteArray& bytes) {
    return QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Why a child failed, for people: its last error line, else how it ended.
// It explains a failure; it never decides one.
QString whyFailed(QProcess& child, const QStringList& err) {
    for (auto it = err.crbegin(); it != err.crend(); ++it) {
        if (it->startsWith(QLatin1String("corvanta-cli: "))) return it->mid(14).trimmed();
    }
    if (child.exitStatus() != QProcess::NormalExit) return QStringLiteral("corvanta-cli stopped: ") + child.errorString();
    if (!err.isEmpty()) return err.back().trimmed();
    return QStringLiteral("corvanta-cli ended with exit status %1").arg(child.exitCode());
}

QStringList linkArguments(const FleetSite& site) {
    if (!site.port.isEmpty()) return {QStringLiteral("--port"), site.port};
    QStringList args{QStringLiteral("--host"), site.host};
    if (site.tcpPort) args << QStringLiteral("--tcp-port") << QString::number(site.tcpPort);
    if (!site.passwordFile.isEmpty()) args << QStringLiteral("--password-file") << site.passwordFile;
    return args;
}

sitebook::Site bookSite(const FleetSite& site) {
    sitebook::Site s;
    s.name = site.name;
    s.serialPort = site.port;
    s.tcpHost = site.host;
    s.tcpPort = site.tcpPort;
    return s;
}

struct Options {
    Job job = Job::Read;
    int jobs = kDefaultJobs;
    int timeLimitSeconds = kDefaultTimeLimitSeconds;
    bool json = false;
    std::optional<std::string> clockSet;
};

class FleetRun {
public:
    FleetRun(std::vector<FleetSite> sites, Options options)
        : sites_(std::move(sites)), o_(std::move(options)), progress_(::isatty(STDERR_FILENO) == 1),
          spool_(SiteBook::defaultPath()) {}

    int run() {
        if (!folder_.isValid()) {
            std::fprintf(stderr, "corvanta-cli: no temporary folder for the reads\n");
            return ExitFailed;
        }
        if (folder_.staleRemoved() > 0)
            std::fprintf(stderr, "corvanta-cli: removed %d temporary folder(s) left by fleet runs that were killed\n",
                         folder_.staleRemoved());
        // Reads kept from an earlier run go in first, when the book takes them.
        if (o_.job == Job::Read) storeSpooled();
        for (std::size_t i = 0; i < sites_.size(); ++i) waiting_.push_back(i);
        while (startNext()) {
        }
        showProgress();
        if (running_ > 0) loop_.exec();
        if (progress_) std::fprintf(stderr, "\r\033[K");
        int waiting = 0;
        if (o_.job == Job::Read) waiting = storeSpooled();
        std::fprintf(stderr, "%zu sites: %zu succeeded, %d failed", sites_.size(),
                     sites_.size() - std::size_t(failed_) - std::size_t(spooled_), failed_);
        if (spooled_ > 0) std::fprintf(stderr, ", %d read but kept for the site book", spooled_);
        std::fprintf(stderr, "\n");
        if (waiting > 0)
            std::fprintf(stderr, "%d read(s) wait in %s until the site book takes them (the next fleet read tries again)\n",
                         waiting, spool_.folder().toUtf8().constData());
        return failed_ == 0 && waiting == 0 ? ExitOk : ExitFailed;
    }

private:
    QString readFile(std::size_t i) const { return folder_.filePath(QStringLiteral("site-%1.cd2").arg(i)); }
    QString resultFile(std::size_t i) const { return folder_.filePath(QStringLiteral("site-%1.json").arg(i)); }

    QStringList childArguments(std::size_t i) const {
        const FleetSite& site = sites_[i];
        switch (o_.job) {
        case Job::Read:
            return QStringList{QStringLiteral("read"), QStringLiteral("-o"), readFile(i)} + linkArguments(site) +
                   QStringList{QStringLiteral("--site"), site.name};
        case Job::Compare:
            return QStringList{QStringLiteral("read"), QStringLiteral("-o"), readFile(i)} + linkArguments(site);
        case Job::Clock: {
            QStringList args{QStringLiteral("clock")};
            if (o_.clockSet) args << QStringLiteral("--set") << QString::fromStdString(*o_.clockSet);
            return args + linkArguments(site);
        }
        }
        return {};
    }

    // Deleted from the event loop once its process is heard of for the last time.
    struct Child : QObject {
        QProcess process;
        QElapsedTimer took;
        QTimer limit;
        bool timedOut = false;
        bool done = false;
    };

    bool startNext() {
        if (waiting_.empty() || running_ >= o_.jobs) return false;
        const std::size_t i = waiting_.front();
        waiting_.pop_front();
        auto* child = new Child;
        QProcess& p = child->process;
        p.setStandardInputFile(QProcess::nullDevice());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(fleet::kResultVariable), resultFile(i));
        p.setProcessEnvironment(env);
        const pid_t fleetPid = ::getpid();
        p.setChildProcessModifier([fleetPid] {
            // Ends with the fleet however the fleet ends, so that a killed
            // fleet leaves nobody talking to its modules and storing behind
            // its back; one whose fleet died before this line ends at once.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (::getppid() != fleetPid) ::_exit(127);
        });
        QObject::connect(&p, &QProcess::finished, &p, [this, child, i] { finished(*child, i); });
        QObject::connect(&p, &QProcess::errorOccurred, &p, [this, child, i](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart) finished(*child, i);
        });
        child->limit.setSingleShot(true);
        QObject::connect(&child->limit, &QTimer::timeout, &p, [child] {
            child->timedOut = true;
            child->process.kill();
        });
        ++running_;
        child->took.start();
        child->limit.start(o_.timeLimitSeconds * 1000);
        p.start(QCoreApplication::applicationFilePath(), childArguments(i));
        return true;
    }

    void finished(Child& child, std::size_t i) {
        if (std::exchange(child.done, true)) return;
        child.limit.stop();
        QProcess& p = child.process;
        const QStringList out = lines(p.readAllStandardOutput());
        const QStringList err = lines(p.readAllStandardError());
        const bool exitedWell = p.error() != QProcess::FailedToStart && p.exitStatus() == QProcess::NormalExit &&
                                p.exitCode() == 0;
        const std::optional<ChildResult> result = fleet::readChildResult(resultFile(i));
        Outcome o;
        if (child.timedOut)
            o = failedWith(QStringLiteral("no result within the time limit of %1 s: stopped").arg(o_.timeLimitSeconds));
        else if (p.error() == QProcess::FailedToStart)
            o = failedWith(QStringLiteral("corvanta-cli could not be started: ") + p.errorString());
        else
            o = judged(i, exitedWell, result, out, err, p);
        o.seconds = double(child.took.elapsed()) / 1000.0;
        QFile::remove(readFile(i));
        QFile::remove(resultFile(i));
        if (o.result == QLatin1String("failed")) ++failed_;
        if (o.result == QLatin1String("spooled")) ++spooled_;
        ++done_;
        report(sites_[i].name, o);
        --running_;
        child.deleteLater();
        while (startNext()) {
        }
        showProgress();
        if (running_ == 0) loop_.quit();
    }

    Outcome judged(std::size_t i, bool exitedWell, const std::optional<ChildResult>& result, const QStringList& out,
                   const QStringList& err, QProcess& p) {
        switch (o_.job) {
        case Job::Read:
            if (!result) return failedWith(QStringLiteral("ended without a result: ") + whyFailed(p, err));
            if (!exitedWell || !result->ok)
                return failedWith(result->detail.isEmpty() ? whyFailed(p, err) : result->detail);
            if (result->stored) {
                Outcome o = outcome(QStringLiteral("ok"), result->detail);
                o.snapshot = result->snapshotId;
                return o;
            }
            return spooled(i, *result);
        case Job::Compare:
            if (!exitedWell || !result || !result->ok)
                return failedWith(result && !result->detail.isEmpty() ? result->detail : whyFailed(p, err));
            return compared(i);
        case Job::Clock:
            // Its standard output is the clock alone.
            if (!exitedWell) return failedWith(whyFailed(p, err));
            return outcome(QStringLiteral("ok"), out.isEmpty() ? QString() : out.back().trimmed());
        }
        return {};
    }

    // A read the book could not take is kept until it can.
    Outcome spooled(std::size_t i, const ChildResult& result) {
        QFile file(readFile(i));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.read(qint64(kImageSize) + 1) : QByteArray();
        if (std::size_t(bytes.size()) != kImageSize) return failedWith(QStringLiteral("the read left no image"));
        fleet::ReadSpool::Entry entry;
        entry.site = bookSite(sites_[i]);
        entry.takenAt = QDateTime::currentDateTimeUtc();
        entry.moduleVersion = result.moduleVersion;
        entry.dataVersion = result.dataVersion;
        std::copy_n(bytes.constData(), kImageSize, reinterpret_cast<char*>(entry.image.data()));
        QString error;
        if (!spool_.put(entry, error))
            return failedWith(result.detail + QStringLiteral("; nor could it be kept: ") + error);
        return outcome(QStringLiteral("spooled"),
                       result.detail + QStringLiteral(" Kept in ") + spool_.folder() +
                           QStringLiteral(" until the site book takes it."));
    }

    bool bookOpen() {
        if (book_.isOpen()) return true;
        return book_.open(SiteBook::defaultPath());
    }

    // Stores what the spool holds, saying so; how many still wait.
    int storeSpooled() {
        if (spool_.count() == 0) return 0;
        if (!bookOpen()) {
            std::fprintf(stderr, "corvanta-cli: the site book cannot take the %d read(s) kept in %s: %s\n",
                         spool_.count(), spool_.folder().toUtf8().constData(), book_.error().toUtf8().constData());
            return spool_.count();
        }
        fleet::ReadSpool::Flush flush = spool_.storeAll(book_);
        if (!flush.error.isEmpty() && book_.failure() == SiteBook::Failure::Lost && book_.open(SiteBook::defaultPath())) {
            fleet::ReadSpool::Flush again = spool_.storeAll(book_);  // once more on a fresh connection
            flush.stored.insert(flush.stored.end(), again.stored.begin(), again.stored.end());
            flush.error = again.error;
            flush.left = again.left;
            flush.damaged = again.damaged;
        }
        for (const auto& s : flush.stored) {
            Outcome o = outcome(QStringLiteral("stored"),
                                QStringLiteral("kept since %1, now in the site book").arg(sitebook::isoTime(s.takenAt)));
            o.snapshot = s.snapshotId;
            report(s.site, o);
        }
        for (const QString& damaged : flush.damaged)
            std::fprintf(stderr, "corvanta-cli: %s: damaged, left where it is\n", damaged.toUtf8().constData());
        if (!flush.error.isEmpty())
            std::fprintf(stderr, "corvanta-cli: the site book stopped taking the kept reads: %s\n",
                         flush.error.toUtf8().constData());
        return flush.left;
    }

    Outcome compared(std::size_t i) {
        QFile file(readFile(i));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (std::size_t(bytes.size()) != kImageSize) return failedWith(QStringLiteral("the read left no image"));
        ParameterImage image;
        std::copy_n(bytes.constData(), kImageSize, reinterpret_cast<char*>(image.data()));
        if (!bookOpen()) return failedWith(book_.path() + QStringLiteral(": ") + book_.error());
        auto latest = [&]() -> std::optional<sitebook::Snapshot> {
            const auto site = book_.findSite(sites_[i].name);
            return site ? book_.latestSnapshot(site->id) : std::nullopt;
        };
        auto before = latest();
        if (!before && book_.failure() == SiteBook::Failure::Lost && book_.open(SiteBook::defaultPath()))
            before = latest();  // once more on a fresh connection
        if (!before) {
            const bool none = book_.failure() == SiteBook::Failure::NotFound;
            return failedWith(none ? QStringLiteral("no snapshot of this site to compare with") : book_.error());
        }
        Outcome o;
        o.snapshot = before->info.id;
        o.changes = sitebook::changeRows(diff(before->image, image));
        o.result = o.changes.empty() ? QStringLiteral("unchanged") : QStringLiteral("changed");
        o.detail = QStringLiteral("since @%1 of %2").arg(before->info.id).arg(sitebook::isoTime(before->info.takenAt));
        return o;
    }

    void report(const QString& site, const Outcome& o) {
        if (progress_) std::fprintf(stderr, "\r\033[K");
        if (o_.json) {
            QJsonObject line{{"site", site},
                             {"result", o.result},
                             {"seconds", qRound(o.seconds * 1000) / 1000.0},
                             {"detail", o.detail}};
            if (o.snapshot) line.insert("snapshot", *o.snapshot);
            if (o_.job == Job::Compare && o.result != QLatin1String("failed")) {
                QJsonArray fields;
                for (const auto& c : o.changes)
                    fields.append(QJsonObject{{"path", c.path}, {"caption", c.caption}, {"old", c.before}, {"new", c.after}});
                line.insert("changes", fields);
            }
            printJson(line);
            return;
        }
        // Whole arguments: a name holding "%1" stays as typed.
        say(QStringLiteral("%1\t%2\t%3 s\t%4").arg(site, o.result, QString::number(o.seconds, 'f', 1), o.detail));
        for (const auto& c : o.changes) say(QStringLiteral("    ") + sitebook::changeLine(c));
    }

    void showProgress() {
        if (!progress_ || running_ == 0) return;
        std::fprintf(stderr, "\r\033[K%d/%zu done, %d failed", done_, sites_.size(), failed_);
        std::fflush(stderr);
    }

    std::vector<FleetSite> sites_;
    Options o_;
    bool progress_;
    fleet::RunFolder folder_;
    fleet::ReadSpool spool_;
    SiteBook book_;
    std::deque<std::size_t> waiting_;
    int running_ = 0;
    int done_ = 0;
    int failed_ = 0;
    int spooled_ = 0;
    QEventLoop loop_;
};

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

int runFleet(const Args& args) {
    if (auto status = checkWords(args, {"--json"}, {"--sites", "--jobs", "--set", "--time-limit"}, 1, kFleetUsage))
        return *status;
    const std::string& word = args.positional[0];
    Options o;
    o.job = word == "read" ? Job::Read : word == "compare" ? Job::Compare : Job::Clock;
    if (word != "read" && word != "compare" && word != "clock")
        return usage(QStringLiteral("fleet takes read, compare or clock, not ") + QString::fromStdString(word));
    if (args.option("--set") && o.job != Job::Clock) return usage(QStringLiteral("--set belongs to fleet clock"));
    if (auto status = numberOption(args, "--jobs", 1, kMostJobs, o.jobs)) return *status;
    if (auto status = numberOption(args, "--time-limit", 1, kMostTimeLimitSeconds, o.timeLimitSeconds)) return *status;
    o.json = args.flag("--json");
    o.clockSet = args.option("--set");
    const auto csv = args.option("--sites");
    if (!csv) return usage(QStringLiteral("--sites FILE.csv names the sites"));
    const QString csvPath = QString::fromStdString(*csv);
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly))
        return usage(csvPath + QStringLiteral(": cannot open: ") + file.errorString());
    QString error;
    std::optional<std::vector<FleetSite>> sites;
    if (const auto bytes = fleet::readSiteList(file, error))
        sites = fleet::parseFleetSites(*bytes, QFileInfo(csvPath).absolutePath(), error);
    if (!sites) {
        std::fprintf(stderr, "corvanta-cli: %s: %s\n", csvPath.toUtf8().constData(), error.toUtf8().constData());
        return ExitUsage;
    }
    ensureCoreApp();
    return FleetRun(std::move(*sites), std::move(o)).run();
}

}  // namespace

std::vector<Command> fleetCommands() {
    return {
        {"fleet", kFleetUsage + "\n                                    every module of a list, N at once",
         runFleet,
         "  read      read each module and store the image as a snapshot of its site;\n"
         "            a read the site book cannot take is kept in a spool folder and\n"
         "            stored when the book answers again (at the end of this run or\n"
         "            the next)\n"
         "  compare   read each module and list the fields changed since its site's\n"
         "            latest snapshot\n"
         "  clock     read each module's clock; with --set now (or --set \"YYYY-MM-DD\n"
         "            HH:MM\") it sets it first\n"
         "  --sites FILE.csv  a header line, then one site a line: the columns name,\n"
         "            and either port or host (with maybe tcpPort); passwordFile may\n"
         "            name a site's TCP/IP password file, else $CORVANTA_PASSWORD\n"
         "  --jobs N  modules serviced at once (4 unless given)\n"
         "  --time-limit SECONDS  a module not done within this is given up (120\n"
         "            unless given)\n"
         "  --json    one JSON object a line instead of the tab-separated lines\n"
         "The installer code comes from $CORVANTA_CODE. Exit status 0 when every site\n"
         "succeeded, 1 when any failed or a read still waits for the site book (the\n"
         "others are still done), 2 on a bad list.\n"},
    };
}

}  // namespace corvanta::cli
