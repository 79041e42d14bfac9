#include "fleet/fleet_run.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <utility>

#include <sys/prctl.h>
#include <unistd.h>

#include "link/whole_file.h"
#include "params/code_fields.h"
#include "params/image_diff.h"
#include "sitebook/site_recorder.h"
#include "sitebook/site_records.h"
#include "transfer/parameter_transfer.h"

namespace corvanta::fleet {

using sitebook::SiteBook;

namespace {

SiteOutcome outcome(const QString& result, const QString& detail) {
    SiteOutcome o;
    o.result = result;
    o.detail = detail;
    return o;
}
SiteOutcome failedWith(const QString& why) { return outcome(QStringLiteral("failed"), why); }

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

QByteArray bytesOf(const ParameterImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

QString sha256Of(const ParameterImage& image) {
    return QString::fromLatin1(QCryptographicHash::hash(bytesOf(image), QCryptographicHash::Sha256).toHex());
}

std::optional<ParameterImage> readImageFile(const QString& path) {
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.read(qint64(kImageSize) + 1) : QByteArray();
    if (std::size_t(bytes.size()) != kImageSize) return std::nullopt;
    ParameterImage image;
    std::copy_n(bytes.constData(), kImageSize, reinterpret_cast<char*>(image.data()));
    return image;
}

bool writeImageFile(const QString& path, const ParameterImage& image) {
    return !writeWholeFile(path, bytesOf(image), FileAccess::OwnerOnly);
}

QString fieldCount(std::size_t n) {
    return n == 1 ? QStringLiteral("1 field") : QStringLiteral("%1 fields").arg(n);
}

}  // namespace

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

// What a child left when it ended.
struct FleetRun::ChildEnd {
    bool exitedWell = false;
    std::optional<ChildResult> result;
    QStringList out;
    QStringList err;
    QString failure;  // it gave no answer: stopped at the time limit, or never started
    QString why;      // what it said went wrong

    // The line that says why it did not do its work.
    QString whyNot() const {
        if (!failure.isEmpty()) return failure;
        return result && !result->detail.isEmpty() ? result->detail : why;
    }
    bool succeeded() const { return failure.isEmpty() && exitedWell && result && result->ok; }
};

// Deleted from the event loop once its process is heard of for the last time.
struct FleetRun::Child : QObject {
    QProcess process;
    QTimer limit;
    bool timedOut = false;
    bool done = false;
    std::size_t index = 0;
    Then then;
};

// One site under way: what its steps found so far.
struct FleetRun::SiteJob {
    std::size_t index = 0;
    QElapsedTimer took;
    ParameterImage read{};
    QString moduleVersion;
    int dataVersion = -1;
    ParameterImage target{};
    std::vector<sitebook::WriteChange> changes;
    sitebook::BatchSite row;  // apply and undo: the site's row of the batch
};

FleetRun::FleetRun(std::vector<FleetSite> sites, FleetOptions options, QObject* parent)
    : QObject(parent), sites_(std::move(sites)), o_(std::move(options)), spool_(o_.bookLocation) {
    if (o_.program.isEmpty()) o_.program = QCoreApplication::applicationFilePath();
    counts_.sites = int(sites_.size());
}

FleetRun::~FleetRun() {
    // A run ended early (the window closed): its children go first, and
    // nothing they say on their way reaches what is gone.
    for (Child* child : std::exchange(children_, {})) {
        child->done = true;
        child->process.disconnect();
        delete child;
    }
}

QString FleetRun::readFile(std::size_t i) const { return folder_.filePath(QStringLiteral("site-%1.cd2").arg(i)); }
QString FleetRun::writeFile(std::size_t i) const {
    return folder_.filePath(QStringLiteral("site-%1-write.cd2").arg(i));
}
QString FleetRun::resultFile(std::size_t i) const { return folder_.filePath(QStringLiteral("site-%1.json").arg(i)); }

bool FleetRun::allDone() const {
    // A read kept in the spool counts once the book took it at the end.
    return done_ && counts_.failed == 0 && counts_.skipped == 0 && counts_.waiting == 0;
}

bool FleetRun::start() {
    if (started_) return false;
    started_ = true;
    if (!folder_.isValid()) {
        error_ = QStringLiteral("no temporary folder for the reads");
        done_ = true;
        return false;
    }
    if (folder_.staleRemoved() > 0)
        emit notice(QStringLiteral("removed %1 temporary folder(s) left by fleet runs that were killed")
                        .arg(folder_.staleRemoved()));
    if ((o_.operation == Operation::Apply || o_.operation == Operation::Undo) && !prepareBatch()) {
        done_ = true;
        return false;
    }
    // Reads kept from an earlier run go in first, when the book takes them.
    if (o_.operation == Operation::Read) storeSpooled();
    for (std::size_t i = 0; i < sites_.size(); ++i) waiting_.push_back(i);
    while (startNext()) {
    }
    if (jobs_.empty() && waiting_.empty()) finishAll();
    return true;
}

bool FleetRun::exec() {
    QEventLoop loop;
    connect(this, &FleetRun::finished, &loop, &QEventLoop::quit);
    if (!start()) return false;
    if (!done_) loop.exec();
    return true;
}

void FleetRun::cancel() {
    if (!running() || cancelled_) return;
    cancelled_ = true;
    while (!waiting_.empty()) {
        const std::size_t i = waiting_.front();
        waiting_.pop_front();
        reportCancelled(i, QStringLiteral("not started: the job was cancelled"));
    }
    if (jobs_.empty()) finishAll();
}

void FleetRun::reportCancelled(std::size_t index, const QString& detail) {
    SiteJob job;
    job.index = index;
    job.took.start();
    finishSite(job, outcome(QStringLiteral("cancelled"), detail));
}

bool FleetRun::prepareBatch() {
    if (!bookOpen()) {
        error_ = book_.path() + QStringLiteral(": ") + book_.error();
        return false;
    }
    const bool undo = o_.operation == Operation::Undo;
    if (undo) {
        const auto batch = book_.batch(o_.undoBatch);
        if (!batch) {
            error_ = book_.error();
            return false;
        }
        for (sitebook::BatchSite& row : book_.batchSites(batch->id)) undoRows_[row.site] = std::move(row);
        if (book_.failure() != SiteBook::Failure::None && undoRows_.empty()) {
            error_ = book_.error();
            return false;
        }
    }
    if (o_.dryRun) return true;
    batchId_ = undo ? book_.addBatch(sitebook::BatchKind::Undo, QStringLiteral("undo of batch %1").arg(o_.undoBatch),
                                     o_.undoBatch)
                    : book_.addBatch(sitebook::BatchKind::Apply, o_.changeText);
    if (!batchId_) {
        error_ = QStringLiteral("the site book cannot take the batch: ") + book_.error();
        return false;
    }
    return true;
}

QStringList FleetRun::childArguments(std::size_t i) const {
    const FleetSite& site = sites_[i];
    switch (o_.operation) {
    case Operation::Read:
    case Operation::Compare:
    case Operation::Apply:
    case Operation::Undo:
        // Read alone: the fleet stores what its children read through its
        // one connection, so that they never wait for each other's
        // transactions; the others judge what it holds before anything is
        // stored.
        return QStringList{QStringLiteral("read"), QStringLiteral("-o"), readFile(i)} + linkArguments(site);
    case Operation::Clock: {
        QStringList args{QStringLiteral("clock")};
        if (!o_.clockSet.isEmpty()) args << QStringLiteral("--set") << o_.clockSet;
        return args + linkArguments(site);
    }
    }
    return {};
}

QProcessEnvironment FleetRun::childEnvironment(std::size_t i) {
    QProcessEnvironment env = o_.environment;
    const QString code = QStringLiteral("CORVANTA_CODE");
    // Set even when empty: the child then knows the fleet looked for the
    // site's kept code already and does not ask its store again.
    if (!env.contains(code)) env.insert(code, QString());
    if (!o_.keptSecret) return env;
    auto it = kept_.find(i);
    if (it == kept_.end()) it = kept_.emplace(i, o_.keptSecret(sites_[i].name)).first;
    const sitebook::SiteSecret& kept = it->second;
    if (!kept.installerCode.isEmpty()) env.insert(code, kept.installerCode);
    if (!kept.tcpPassword.isEmpty() && !sites_[i].host.isEmpty() && sites_[i].passwordFile.isEmpty())
        env.insert(QStringLiteral("CORVANTA_PASSWORD"), kept.tcpPassword);
    return env;
}

bool FleetRun::startNext() {
    if (cancelled_ || waiting_.empty() || int(jobs_.size()) >= o_.jobs) return false;
    const std::size_t i = waiting_.front();
    waiting_.pop_front();
    auto owned = std::make_unique<SiteJob>();
    SiteJob& job = *owned;
    job.index = i;
    job.took.start();
    jobs_[i] = std::move(owned);
    Then then;
    switch (o_.operation) {
    case Operation::Read: then = [this](SiteJob& j, const ChildEnd& e) { readEnded(j, e); }; break;
    case Operation::Compare: then = [this](SiteJob& j, const ChildEnd& e) { compareEnded(j, e); }; break;
    case Operation::Clock: then = [this](SiteJob& j, const ChildEnd& e) { clockEnded(j, e); }; break;
    case Operation::Apply:
    case Operation::Undo: then = [this](SiteJob& j, const ChildEnd& e) { changeReadEnded(j, e); }; break;
    }
    runChild(job, childArguments(i), std::move(then));
    return true;
}

void FleetRun::runChild(SiteJob& job, const QStringList& args, Then then, std::optional<qint64> batch) {
    const std::size_t i = job.index;
    QFile::remove(resultFile(i));
    auto* child = new Child;
    child->setParent(this);
    children_.insert(child);
    child->index = i;
    child->then = std::move(then);
    QProcess& p = child->process;
    p.setStandardInputFile(QProcess::nullDevice());
    QProcessEnvironment env = childEnvironment(i);
    env.insert(QString::fromLatin1(kResultVariable), resultFile(i));
    env.insert(QStringLiteral("CORVANTA_SITEBOOK"), o_.bookLocation);
    env.remove(QString::fromLatin1(kBatchVariable));
    if (batch) env.insert(QString::fromLatin1(kBatchVariable), QString::number(*batch));
    p.setProcessEnvironment(env);
    const pid_t fleetPid = ::getpid();
    p.setChildProcessModifier([fleetPid] {
        // Ends with the fleet however the fleet ends, so that a killed
        // fleet leaves nobody talking to its modules and storing behind
        // its back; one whose fleet died before this line ends at once.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != fleetPid) ::_exit(127);
    });
    connect(&p, &QProcess::finished, child, [this, child] { childEnded(*child); });
    connect(&p, &QProcess::errorOccurred, child, [this, child](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) childEnded(*child);
    });
    child->limit.setSingleShot(true);
    connect(&child->limit, &QTimer::timeout, child, [child] {
        child->timedOut = true;
        child->process.kill();
    });
    child->limit.start(o_.timeLimitSeconds * 1000);
    // Nothing of `job` or `child` is touched after this: a child that
    // cannot be started ends within the call.
    p.start(o_.program, args);
}

void FleetRun::childEnded(Child& child) {
    if (std::exchange(child.done, true)) return;
    child.limit.stop();
    QProcess& p = child.process;
    const std::size_t i = child.index;
    ChildEnd end;
    end.out = lines(p.readAllStandardOutput());
    end.err = lines(p.readAllStandardError());
    end.exitedWell =
        p.error() != QProcess::FailedToStart && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    end.result = readChildResult(resultFile(i));
    QFile::remove(resultFile(i));
    if (child.timedOut)
        end.failure = QStringLiteral("no result within the time limit of %1 s: stopped").arg(o_.timeLimitSeconds);
    else if (p.error() == QProcess::FailedToStart)
        end.failure = QStringLiteral("corvanta-cli could not be started: ") + p.errorString();
    else
        end.why = whyFailed(p, end.err);
    const Then then = std::move(child.then);
    children_.erase(&child);
    child.deleteLater();
    const auto it = jobs_.find(i);
    if (it != jobs_.end()) then(*it->second, end);
}

void FleetRun::finishSite(SiteJob& job, SiteOutcome o) {
    const std::size_t i = job.index;
    o.site = sites_[i].name;
    o.seconds = double(job.took.elapsed()) / 1000.0;
    if (batchId_ && job.row.siteId != 0) {
        job.row.result = o.result;
        job.row.detail = o.detail;
        saveRow(job);
    }
    QFile::remove(readFile(i));
    QFile::remove(writeFile(i));
    ++counts_.done;
    if (o.result == QLatin1String("failed")) ++counts_.failed;
    if (o.result == QLatin1String("skipped") || o.result == QLatin1String("left") ||
        o.result == QLatin1String("cancelled"))
        ++counts_.skipped;
    if (o.result == QLatin1String("spooled")) ++counts_.spooled;
    jobs_.erase(i);  // `job` is gone from here on
    emit siteFinished(o);
    while (startNext()) {
    }
    emit progressed(counts_.done, counts_.sites);
    if (jobs_.empty() && waiting_.empty()) finishAll();
}

void FleetRun::finishAll() {
    if (done_) return;
    if (o_.operation == Operation::Read) counts_.waiting = storeSpooled();
    done_ = true;
    emit finished();
}

// --- read, compare, clock ------------------------------------------------------

void FleetRun::readEnded(SiteJob& job, const ChildEnd& end) {
    if (!end.failure.isEmpty()) return finishSite(job, failedWith(end.failure));
    if (!end.result) return finishSite(job, failedWith(QStringLiteral("ended without a result: ") + end.why));
    if (!end.exitedWell || !end.result->ok)
        return finishSite(job, failedWith(end.result->detail.isEmpty() ? end.why : end.result->detail));
    finishSite(job, storeRead(job.index, *end.result));
}

SiteOutcome FleetRun::storeRead(std::size_t i, const ChildResult& result) {
    const auto image = readImageFile(readFile(i));
    if (!image) return failedWith(QStringLiteral("the read left no image"));
    // Once the book failed in this run, the rest wait in the spool: a locked
    // book would otherwise cost its busy time-out for every site, and the
    // run's end tries again.
    if (!bookFailed_ && bookOpen()) {
        auto site = book_.ensureSite(bookSite(sites_[i]));
        if (!site && reopenAfterLoss()) site = book_.ensureSite(bookSite(sites_[i]));
        const auto id = site ? book_.addSnapshot(site->id, sitebook::SnapshotKind::Read, *image,
                                                 result.moduleVersion, result.dataVersion)
                             : std::nullopt;
        if (id) {
            SiteOutcome o = outcome(QStringLiteral("ok"), sitebook::SiteRecorder::storedReadLine(site->name, *id));
            o.snapshot = *id;
            return o;
        }
    }
    bookFailed_ = true;
    return spooled(i, *image, result,
                   QStringLiteral("the site book did not take it: ") + book_.error() + QStringLiteral("."));
}

// A read the book could not take is kept until it can.
SiteOutcome FleetRun::spooled(std::size_t i, const ParameterImage& image, const ChildResult& result,
                              const QString& why) {
    ReadSpool::Entry entry;
    entry.site = bookSite(sites_[i]);
    entry.takenAt = QDateTime::currentDateTimeUtc();
    entry.moduleVersion = result.moduleVersion;
    entry.dataVersion = result.dataVersion;
    entry.image = image;
    QString error;
    if (!spool_.put(entry, error)) return failedWith(why + QStringLiteral("; nor could it be kept: ") + error);
    return outcome(QStringLiteral("spooled"),
                   why + QStringLiteral(" Kept in ") + spool_.folder() + QStringLiteral(" until the site book takes it."));
}

bool FleetRun::bookOpen() {
    if (book_.isOpen()) return true;
    return book_.open(o_.bookLocation);
}

bool FleetRun::reopenAfterLoss() {
    return book_.failure() == SiteBook::Failure::Lost && book_.open(o_.bookLocation);
}

// Stores what the spool holds, saying so; how many still wait.
int FleetRun::storeSpooled() {
    if (spool_.count() == 0) return 0;
    if (!bookOpen()) {
        emit notice(QStringLiteral("the site book cannot take the %1 read(s) kept in %2: %3")
                        .arg(QString::number(spool_.count()), spool_.folder(), book_.error()));
        return spool_.count();
    }
    ReadSpool::Flush flush = spool_.storeAll(book_);
    if (!flush.error.isEmpty() && reopenAfterLoss()) {
        ReadSpool::Flush again = spool_.storeAll(book_);  // once more on a fresh connection
        flush.stored.insert(flush.stored.end(), again.stored.begin(), again.stored.end());
        flush.error = again.error;
        flush.left = again.left;
        flush.damaged = again.damaged;
    }
    for (const auto& s : flush.stored) {
        SiteOutcome o = outcome(QStringLiteral("stored"),
                                QStringLiteral("kept since %1, now in the site book").arg(sitebook::isoTime(s.takenAt)));
        o.site = s.site;
        o.snapshot = s.snapshotId;
        emit siteFinished(o);
    }
    for (const QString& damaged : flush.damaged) emit notice(damaged + QStringLiteral(": damaged, left where it is"));
    if (!flush.error.isEmpty()) emit notice(QStringLiteral("the site book stopped taking the kept reads: ") + flush.error);
    return flush.left;
}

void FleetRun::compareEnded(SiteJob& job, const ChildEnd& end) {
    if (!end.succeeded()) return finishSite(job, failedWith(end.whyNot()));
    const auto image = readImageFile(readFile(job.index));
    if (!image) return finishSite(job, failedWith(QStringLiteral("the read left no image")));
    if (!bookOpen()) return finishSite(job, failedWith(book_.path() + QStringLiteral(": ") + book_.error()));
    auto latest = [&]() -> std::optional<sitebook::Snapshot> {
        const auto site = book_.findSite(sites_[job.index].name);
        return site ? book_.latestSnapshot(site->id) : std::nullopt;
    };
    auto before = latest();
    if (!before && reopenAfterLoss()) before = latest();  // once more on a fresh connection
    if (!before) {
        const bool none = book_.failure() == SiteBook::Failure::NotFound;
        return finishSite(job, failedWith(none ? QStringLiteral("no snapshot of this site to compare with") : book_.error()));
    }
    SiteOutcome o;
    o.snapshot = before->info.id;
    // A viewer's snapshots come with their codes masked: the module's are
    // masked alike, or every code would count as changed (and be listed).
    ParameterImage read = *image;
    if (book_.rights().viewer()) {
        for (std::size_t i = 0; i < kImageSize; ++i)
            if (codes::isCodeByte(i)) read[i] = 0;
    }
    o.changes = sitebook::changeRows(diff(before->image, read));
    o.listsChanges = true;
    o.result = o.changes.empty() ? QStringLiteral("unchanged") : QStringLiteral("changed");
    o.detail = QStringLiteral("since @%1 of %2").arg(before->info.id).arg(sitebook::isoTime(before->info.takenAt));
    finishSite(job, o);
}

void FleetRun::clockEnded(SiteJob& job, const ChildEnd& end) {
    if (!end.failure.isEmpty()) return finishSite(job, failedWith(end.failure));
    // Its standard output is the clock alone.
    if (!end.exitedWell) return finishSite(job, failedWith(end.why));
    finishSite(job, outcome(QStringLiteral("ok"), end.out.isEmpty() ? QString() : end.out.back().trimmed()));
}

// --- apply and undo ---------------------------------------------------------------

void FleetRun::changeReadEnded(SiteJob& job, const ChildEnd& end) {
    if (!end.succeeded()) return finishSite(job, failedWith(end.whyNot()));
    const auto image = readImageFile(readFile(job.index));
    if (!image) return finishSite(job, failedWith(QStringLiteral("the read left no image")));
    job.read = *image;
    job.moduleVersion = end.result->moduleVersion;
    job.dataVersion = end.result->dataVersion;
    if (!bookOpen())
        return finishSite(job, failedWith(book_.path() + QStringLiteral(": ") + book_.error() +
                                          QStringLiteral("; nothing written")));
    if (o_.operation == Operation::Apply)
        decideApply(job);
    else
        decideUndo(job);
}

void FleetRun::decideApply(SiteJob& job) {
    const FleetSite& fs = sites_[job.index];
    auto site = book_.findSite(fs.name);
    if (!site && reopenAfterLoss()) site = book_.findSite(fs.name);
    const auto bookTrouble = [&] {
        return failedWith(QStringLiteral("the site book: ") + book_.error() + QStringLiteral("; nothing written"));
    };
    if (!site && book_.failure() != SiteBook::Failure::NotFound) return finishSite(job, bookTrouble());
    std::optional<sitebook::Snapshot> latest;
    QString cannotTell;
    if (site) {
        job.row.siteId = site->id;
        latest = book_.latestModuleSnapshot(site->id);
        if (!latest && book_.failure() == SiteBook::Failure::Damaged) cannotTell = book_.error();
        else if (!latest && book_.failure() != SiteBook::Failure::NotFound) return finishSite(job, bookTrouble());
    }
    if (!o_.force) {
        const QString force = QStringLiteral("; --force applies the change all the same");
        if (!cannotTell.isEmpty())
            return finishSite(job, outcome(QStringLiteral("skipped"),
                                           cannotTell + QStringLiteral(": whether the module changed since cannot be "
                                                                       "told") + force));
        if (!latest)
            return finishSite(job, outcome(QStringLiteral("skipped"),
                                           QStringLiteral("no snapshot of this site to tell whether the module "
                                                          "changed since: read it first (fleet read)") + force));
        if (!sameButCodes(latest->image, job.read))
            return finishSite(job, outcome(QStringLiteral("skipped"),
                                           QStringLiteral("changed on the module since the last read (@%1 of %2); "
                                                          "fleet compare lists the fields")
                                                   .arg(QString::number(latest->info.id),
                                                        sitebook::isoTime(latest->info.takenAt)) + force));
    }
    job.target = applied(o_.change, job.read);
    writeTarget(job);
}

void FleetRun::decideUndo(SiteJob& job) {
    const QString name = sites_[job.index].name;
    const QString batch = QStringLiteral("batch %1").arg(o_.undoBatch);
    const auto it = undoRows_.find(name);
    if (it == undoRows_.end() || it->second.targetSha256.isEmpty() || !it->second.beforeSnapshot)
        return finishSite(job, failedWith(QStringLiteral("%1 wrote nothing to this site").arg(batch)));
    const sitebook::BatchSite& row = it->second;
    job.row.siteId = row.siteId;
    auto before = book_.snapshot(*row.beforeSnapshot);
    if (!before && reopenAfterLoss()) before = book_.snapshot(*row.beforeSnapshot);
    if (!before)
        return finishSite(job, failedWith(QStringLiteral("the snapshot from before %1 cannot be read: %2; nothing "
                                                         "written")
                                              .arg(batch, book_.error())));
    // What the batch sent: its written snapshot, or (the write's outcome
    // never reached the book) the module's image when it is that one.
    std::optional<ParameterImage> written;
    if (row.afterSnapshot) {
        if (const auto after = book_.snapshot(*row.afterSnapshot)) written = after->image;
    }
    if (!written && sha256Of(job.read) == row.targetSha256) written = job.read;
    if (!written || !stillHolds(job.read, before->image, *written)) {
        if (sameButCodes(job.read, before->image))
            return finishSite(job, outcome(QStringLiteral("unchanged"),
                                           QStringLiteral("the module holds what it held before %1; nothing written")
                                               .arg(batch)));
        return finishSite(job, outcome(QStringLiteral("left"),
                                       QStringLiteral("the module no longer holds what %1 wrote: left as it is")
                                           .arg(batch)));
    }
    job.target = undone(job.read, before->image, *written);
    writeTarget(job);
}

void FleetRun::writeTarget(SiteJob& job) {
    job.changes = sitebook::changeRows(diff(job.read, job.target));
    if (job.target == job.read) {
        SiteOutcome o = outcome(QStringLiteral("unchanged"),
                                o_.operation == Operation::Apply
                                    ? QStringLiteral("the module holds these values already; nothing written")
                                    : QStringLiteral("the module holds that image already; nothing written"));
        o.listsChanges = true;
        return finishSite(job, o);
    }
    if (o_.dryRun) {
        SiteOutcome o = outcome(QStringLiteral("would-change"),
                                fieldCount(job.changes.size()) + QStringLiteral(" would change; nothing written"));
        o.changes = job.changes;
        o.listsChanges = true;
        return finishSite(job, o);
    }
    if (cancelled_)
        return finishSite(job, outcome(QStringLiteral("cancelled"), QStringLiteral("read, not written: the job was "
                                                                                   "cancelled")));
    if (auto refusal = ParameterTransfer::writeRefusal(job.target))
        return finishSite(job, failedWith(*refusal));

    // The image as read goes into the book first: it is what an undo puts back.
    const FleetSite& fs = sites_[job.index];
    auto site = book_.ensureSite(bookSite(fs));
    if (!site && reopenAfterLoss()) site = book_.ensureSite(bookSite(fs));
    std::optional<qint64> before =
        site ? book_.addSnapshot(site->id, sitebook::SnapshotKind::Read, job.read, job.moduleVersion, job.dataVersion)
             : std::nullopt;
    job.row.batchId = *batchId_;
    job.row.siteId = site ? site->id : 0;
    job.row.beforeSnapshot = before;
    job.row.targetSha256 = sha256Of(job.target);
    job.row.result = QStringLiteral("writing");
    if (!before || !book_.saveBatchSite(job.row)) {
        job.row.beforeSnapshot.reset();
        job.row.targetSha256.clear();
        return finishSite(job, failedWith(QStringLiteral("the site book did not take the image read, so nothing "
                                                         "was written: ") +
                                          book_.error()));
    }
    if (!writeImageFile(writeFile(job.index), job.target))
        return finishSite(job, failedWith(QStringLiteral("cannot keep the image to write in ") + folder_.path() +
                                          QStringLiteral("; nothing written")));
    const QStringList args = QStringList{QStringLiteral("write"), writeFile(job.index)} + linkArguments(fs) +
                             QStringList{QStringLiteral("--site"), fs.name};
    runChild(job, args, [this](SiteJob& j, const ChildEnd& e) { writeEnded(j, e); }, batchId_);
}

void FleetRun::writeEnded(SiteJob& job, const ChildEnd& end) {
    SiteOutcome o;
    if (!end.succeeded()) {
        o = failedWith(end.whyNot());
    } else {
        o = outcome(QStringLiteral("ok"), QStringLiteral("%1 written and read back; before it: @%2")
                                              .arg(fieldCount(job.changes.size()))
                                              .arg(*job.row.beforeSnapshot));
        o.snapshot = end.result->snapshotId;
        job.row.afterSnapshot = end.result->snapshotId;
        if (!end.result->stored) o.detail += QStringLiteral("; the site book did not take the write");
    }
    o.changes = job.changes;
    o.listsChanges = true;
    finishSite(job, o);
}

void FleetRun::saveRow(SiteJob& job) {
    job.row.batchId = *batchId_;
    if (book_.saveBatchSite(job.row)) return;
    if (reopenAfterLoss() && book_.saveBatchSite(job.row)) return;
    emit notice(QStringLiteral("%1: the site book did not take the site's row of batch %2: %3")
                    .arg(sites_[job.index].name, QString::number(*batchId_), book_.error()));
}

}  // namespace corvanta::fleet
