// Fleet jobs of corvanta-cli: one operation on every site of a CSV list, up
// to N modules at once. Each module is serviced by a corvanta-cli of its own
// (a child process running the single-module command), so a fleet job talks
// to a module exactly as one command does and a module that hangs or fails
// holds up no other.

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <deque>
#include <memory>

#include <unistd.h>

#include "app/cli_commands.h"
#include "app/cli_output.h"
#include "app/fleet_sites.h"
#include "params/image_diff.h"
#include "sitebook/site_book.h"
#include "sitebook/site_records.h"
#include "sitebook/site_recorder.h"

namespace corvanta::cli {
namespace {

using sitebook::SiteBook;

constexpr int kDefaultJobs = 4;
constexpr int kMostJobs = 64;

const std::string kFleetUsage = "fleet read|compare|clock --sites FILE.csv [--jobs N] [--json]";

enum class Job { Read, Compare, Clock };

struct Outcome {
    QString result;  // ok, failed, changed, unchanged
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

// Why a child failed, in its own words: its last error line, else its last
// line, else how it ended.
QString whyFailed(QProcess& child, const QStringList& out, const QStringList& err) {
    for (auto it = err.crbegin(); it != err.crend(); ++it) {
        if (it->startsWith(QLatin1String("corvanta-cli: "))) return it->mid(14).trimmed();
    }
    if (!err.isEmpty()) return err.back().trimmed();
    if (!out.isEmpty()) return out.back().trimmed();
    if (child.exitStatus() != QProcess::NormalExit) return QStringLiteral("corvanta-cli stopped: ") + child.errorString();
    return QStringLiteral("exit status %1").arg(child.exitCode());
}

QStringList linkArguments(const FleetSite& site) {
    if (!site.port.isEmpty()) return {QStringLiteral("--port"), site.port};
    QStringList args{QStringLiteral("--host"), site.host};
    if (site.tcpPort) args << QStringLiteral("--tcp-port") << QString::number(site.tcpPort);
    if (!site.passwordFile.isEmpty()) args << QStringLiteral("--password-file") << site.passwordFile;
    return args;
}

class FleetRun {
public:
    FleetRun(Job job, std::vector<FleetSite> sites, int jobs, bool json, std::optional<std::string> clockSet)
        : job_(job), sites_(std::move(sites)), jobs_(jobs), json_(json), clockSet_(std::move(clockSet)),
          progress_(::isatty(STDERR_FILENO) == 1) {}

    int run() {
        if (!files_.isValid()) {
            std::fprintf(stderr, "corvanta-cli: no temporary folder for the reads\n");
            return ExitFailed;
        }
        for (std::size_t i = 0; i < sites_.size(); ++i) waiting_.push_back(i);
        while (startNext()) {
        }
        showProgress();
        if (running_ > 0) loop_.exec();
        if (progress_) std::fprintf(stderr, "\r\033[K");
        std::fprintf(stderr, "%zu sites: %zu succeeded, %d failed\n", sites_.size(), sites_.size() - std::size_t(failed_),
                     failed_);
        return failed_ == 0 ? ExitOk : ExitFailed;
    }

private:
    QString readFile(std::size_t i) const { return files_.filePath(QStringLiteral("site-%1.cd2").arg(i)); }

    QStringList childArguments(std::size_t i) const {
        const FleetSite& site = sites_[i];
        switch (job_) {
        case Job::Read:
            return QStringList{QStringLiteral("read"), QStringLiteral("-o"), readFile(i)} + linkArguments(site) +
                   QStringList{QStringLiteral("--site"), site.name};
        case Job::Compare:
            return QStringList{QStringLiteral("read"), QStringLiteral("-o"), readFile(i)} + linkArguments(site);
        case Job::Clock: {
            QStringList args{QStringLiteral("clock")};
            if (clockSet_) args << QStringLiteral("--set") << QString::fromStdString(*clockSet_);
            return args + linkArguments(site);
        }
        }
        return {};
    }

    bool startNext() {
        if (waiting_.empty() || running_ >= jobs_) return false;
        const std::size_t i = waiting_.front();
        waiting_.pop_front();
        auto* child = new QProcess;
        child->setStandardInputFile(QProcess::nullDevice());
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        QObject::connect(child, &QProcess::finished, child, [this, child, i, timer] {
            finished(*child, i, double(timer->elapsed()) / 1000.0);
            child->deleteLater();
        });
        QObject::connect(child, &QProcess::errorOccurred, child, [this, child, i, timer](QProcess::ProcessError e) {
            if (e != QProcess::FailedToStart) return;
            finished(*child, i, double(timer->elapsed()) / 1000.0);
            child->deleteLater();
        });
        ++running_;
        child->start(QCoreApplication::applicationFilePath(), childArguments(i));
        return true;
    }

    void finished(QProcess& child, std::size_t i, double seconds) {
        const QStringList out = lines(child.readAllStandardOutput());
        const QStringList err = lines(child.readAllStandardError());
        const bool ok = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
                        child.error() != QProcess::FailedToStart;
        Outcome o = ok ? succeeded(i, out) : failedWith(whyFailed(child, out, err));
        o.seconds = seconds;
        QFile::remove(readFile(i));
        if (o.result == QLatin1String("failed")) ++failed_;
        ++done_;
        report(sites_[i], o);
        --running_;
        while (startNext()) {
        }
        showProgress();
        if (running_ == 0) loop_.quit();
    }

    Outcome succeeded(std::size_t i, const QStringList& out) {
        switch (job_) {
        case Job::Read: return stored(out);
        case Job::Compare: return compared(i);
        case Job::Clock: return outcome(QStringLiteral("ok"), out.isEmpty() ? QString() : out.back().trimmed());
        }
        return {};
    }

    // The read counts once its snapshot is in the site book, as the child's
    // recorder line says.
    static Outcome stored(const QStringList& out) {
        static const QRegularExpression snapshotNumber(QStringLiteral("(\\d+)\\. pillanatkép"));
        for (const QString& line : out) {
            if (line.startsWith(sitebook::SiteRecorder::notStoredLine({}))) return failedWith(line.trimmed());
            if (!line.startsWith(QStringLiteral("Helyszínkönyv: "))) continue;
            Outcome o = outcome(QStringLiteral("ok"), line.trimmed());
            if (const auto m = snapshotNumber.match(line); m.hasMatch()) o.snapshot = m.captured(1).toLongLong();
            return o;
        }
        return failedWith(QStringLiteral("read, but the site book said nothing of it"));
    }

    Outcome compared(std::size_t i) {
        QFile file(readFile(i));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (std::size_t(bytes.size()) != kImageSize) return failedWith(QStringLiteral("the read left no image"));
        ParameterImage image;
        std::copy_n(bytes.constData(), kImageSize, reinterpret_cast<char*>(image.data()));
        if (!book_.isOpen() && !book_.open(SiteBook::defaultPath()))
            return failedWith(book_.path() + QStringLiteral(": ") + book_.error());
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

    void report(const FleetSite& site, const Outcome& o) {
        if (progress_) std::fprintf(stderr, "\r\033[K");
        if (json_) {
            QJsonObject line{{"site", site.name},
                             {"result", o.result},
                             {"seconds", qRound(o.seconds * 1000) / 1000.0},
                             {"detail", o.detail}};
            if (o.snapshot) line.insert("snapshot", *o.snapshot);
            if (job_ == Job::Compare && o.result != QLatin1String("failed")) {
                QJsonArray fields;
                for (const auto& c : o.changes)
                    fields.append(QJsonObject{{"path", c.path}, {"caption", c.caption}, {"old", c.before}, {"new", c.after}});
                line.insert("changes", fields);
            }
            printJson(line);
            return;
        }
        say(QStringLiteral("%1\t%2\t%3 s\t%4").arg(site.name, o.result, QString::number(o.seconds, 'f', 1), o.detail));
        for (const auto& c : o.changes) say(QStringLiteral("    ") + sitebook::changeLine(c));
    }

    void showProgress() {
        if (!progress_ || running_ == 0) return;
        std::fprintf(stderr, "\r\033[K%d/%zu done, %d failed", done_, sites_.size(), failed_);
        std::fflush(stderr);
    }

    Job job_;
    std::vector<FleetSite> sites_;
    int jobs_;
    bool json_;
    std::optional<std::string> clockSet_;
    bool progress_;
    QTemporaryDir files_;
    SiteBook book_;
    std::deque<std::size_t> waiting_;
    int running_ = 0;
    int done_ = 0;
    int failed_ = 0;
    QEventLoop loop_;
};

int usage(const QString& why) {
    std::fprintf(stderr, "corvanta-cli: %s\nusage: corvanta-cli %s\n", why.toUtf8().constData(), kFleetUsage.c_str());
    return ExitUsage;
}

int runFleet(const Args& args) {
    if (auto status = checkWords(args, {"--json"}, {"--sites", "--jobs", "--set"}, 1, kFleetUsage)) return *status;
    const std::string& word = args.positional[0];
    const Job job = word == "read" ? Job::Read : word == "compare" ? Job::Compare : Job::Clock;
    if (word != "read" && word != "compare" && word != "clock")
        return usage(QStringLiteral("fleet takes read, compare or clock, not ") + QString::fromStdString(word));
    if (args.option("--set") && job != Job::Clock) return usage(QStringLiteral("--set belongs to fleet clock"));
    int jobs = kDefaultJobs;
    if (const auto n = args.option("--jobs")) {
        bool ok = false;
        jobs = QString::fromStdString(*n).toInt(&ok);
        if (!ok || jobs < 1 || jobs > kMostJobs) return usage(QStringLiteral("--jobs takes 1 to %1").arg(kMostJobs));
    }
    const auto csv = args.option("--sites");
    if (!csv) return usage(QStringLiteral("--sites FILE.csv names the sites"));
    const QString csvPath = QString::fromStdString(*csv);
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly))
        return usage(csvPath + QStringLiteral(": cannot open: ") + file.errorString());
    QString error;
    auto sites = parseFleetSites(file.readAll(), QFileInfo(csvPath).absolutePath(), error);
    if (!sites) {
        std::fprintf(stderr, "corvanta-cli: %s: %s\n", csvPath.toUtf8().constData(), error.toUtf8().constData());
        return ExitUsage;
    }
    ensureCoreApp();
    return FleetRun(job, std::move(*sites), jobs, args.flag("--json"), args.option("--set")).run();
}

}  // namespace

std::vector<Command> fleetCommands() {
    return {
        {"fleet", kFleetUsage + "\n                                    every module of a list, N at once",
         runFleet,
         "  read      read each module and store the image as a snapshot of its site\n"
         "  compare   read each module and list the fields changed since its site's\n"
         "            latest snapshot\n"
         "  clock     read each module's clock; with --set now (or --set \"YYYY-MM-DD\n"
         "            HH:MM\") it sets it first\n"
         "  --sites FILE.csv  a header line, then one site a line: the columns name,\n"
         "            and either port or host (with maybe tcpPort); passwordFile may\n"
         "            name a site's TCP/IP password file, else $CORVANTA_PASSWORD\n"
         "  --jobs N  modules serviced at once (4 unless given)\n"
         "  --json    one JSON object a line instead of the tab-separated lines\n"
         "The installer code comes from $CORVANTA_CODE. Exit status 0 when every site\n"
         "succeeded, 1 when any failed (the others are still done), 2 on a bad list.\n"},
    };
}

}  // namespace corvanta::cli
