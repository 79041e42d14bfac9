#pragma once
// One fleet job: one operation on every site of a list, up to N modules at
// once, for corvanta-cli's fleet command and the site book window alike.
// Each module is serviced by a corvanta-cli of its own (a child process
// running the single-module command), so a fleet job talks to a module
// exactly as one command does and a module that hangs or fails holds up no
// other.
//
// A site is judged by how its child ended and by the result the child leaves
// in a file of its own (child_result.h), never by what it printed. A child
// ends with the fleet, however the fleet ends, and within a time limit.
//
// An apply or an undo is a batch of the site book: before a module is
// written, its image as read is stored, and each site's row says what was
// sent and how it went, so that `fleet undo` can put back what was there.

#include <QElapsedTimer>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "fleet/child_result.h"
#include "fleet/fleet_sites.h"
#include "fleet/parameter_change.h"
#include "fleet/read_spool.h"
#include "fleet/run_folder.h"
#include "sitebook/site_book.h"

namespace corvanta::fleet {

enum class Operation { Read, Compare, Clock, Apply, Undo };

inline constexpr int kDefaultJobs = 4;
inline constexpr int kMostJobs = 64;
// A read takes some seconds at 19200 baud; a child still at it after this
// waits for something that will not come (a password pipe nobody writes to).
inline constexpr int kDefaultTimeLimitSeconds = 120;
inline constexpr int kMostTimeLimitSeconds = 3600;

struct FleetOptions {
    Operation operation = Operation::Read;
    int jobs = kDefaultJobs;
    int timeLimitSeconds = kDefaultTimeLimitSeconds;  // for each child
    QString clockSet;  // clock: "now" or "YYYY-MM-DD HH:MM"; empty: only read it
    // Apply: the fields to set, and the change as the user gave it (kept
    // with the batch).
    ParameterChange change;
    QString changeText;
    // Apply and undo: read and say what would change, write nothing.
    bool dryRun = false;
    // Apply: also to a module that changed since its latest snapshot.
    bool force = false;
    qint64 undoBatch = 0;  // undo: the batch to undo
    QString program;       // the corvanta-cli the children run
    QString bookLocation = sitebook::SiteBook::defaultPath();
    // The children's; the installer code and passwords travel in it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // A site's kept code and password, by its name (empty: none kept, or
    // they cannot be told; the teller says why). They go to the site's
    // children in their environment, never on their command line: the code
    // in place of the fleet's own $CORVANTA_CODE, the password where the
    // list names no password file.
    std::function<sitebook::SiteSecret(const QString& site)> keptSecret;
};

// How one site ended: one line of the report.
struct SiteOutcome {
    QString site;
    // ok, failed, changed, unchanged, spooled, stored (read), skipped,
    // would-change (dry run), left (undo), cancelled
    QString result;
    QString detail;
    std::optional<qint64> snapshot;
    // The fields: compare (changed since the snapshot), apply and undo (that
    // change, or would change).
    std::vector<sitebook::WriteChange> changes;
    bool listsChanges = false;  // the job lists fields for this site
    double seconds = 0;
};

class FleetRun : public QObject {
    Q_OBJECT
public:
    FleetRun(std::vector<FleetSite> sites, FleetOptions options, QObject* parent = nullptr);
    ~FleetRun() override;

    // Begins the job; false, with error(), when it cannot begin (no temporary
    // folder, the site book or the batch not there). finished() follows
    // when the last site is done, at once when there is none.
    bool start();
    // Starts no new site, and no write of a site that only read so far;
    // what runs goes on to its end.
    void cancel();
    bool running() const { return started_ && !done_; }
    // start() and an event loop until the end.
    bool exec();

    const QString& error() const { return error_; }
    // Apply and undo (not a dry run): the batch this job is.
    std::optional<qint64> batchId() const { return batchId_; }
    const FleetOptions& options() const { return o_; }

    struct Counts {
        int sites = 0;
        int done = 0;
        int failed = 0;
        int skipped = 0;  // skipped, left or cancelled
        int spooled = 0;  // read, but only in the spool
        int waiting = 0;  // reads still in the spool at the end
        int succeeded() const { return done - failed - skipped - spooled; }
    };
    const Counts& counts() const { return counts_; }
    // Every site done, none failed or skipped, no read still in the spool.
    bool allDone() const;

signals:
    // A line about the job, not a site: a folder cleaned up, the spool.
    void notice(const QString& line);
    void siteFinished(const corvanta::fleet::SiteOutcome& outcome);
    void progressed(int done, int total);
    void finished();

private:
    struct Child;
    struct SiteJob;
    struct ChildEnd;
    using Then = std::function<void(SiteJob&, const ChildEnd&)>;

    bool startNext();
    void runChild(SiteJob& job, const QStringList& args, Then then, std::optional<qint64> batch = std::nullopt);
    void childEnded(Child& child);
    void finishSite(SiteJob& job, SiteOutcome outcome);
    void finishAll();
    void reportCancelled(std::size_t index, const QString& detail);

    QString readFile(std::size_t i) const;
    QString writeFile(std::size_t i) const;
    QString resultFile(std::size_t i) const;
    QStringList childArguments(std::size_t i) const;
    // The environment of a child of site `i`: the fleet's, with the site's
    // kept secrets.
    QProcessEnvironment childEnvironment(std::size_t i);

    void readEnded(SiteJob& job, const ChildEnd& end);
    void compareEnded(SiteJob& job, const ChildEnd& end);
    void clockEnded(SiteJob& job, const ChildEnd& end);
    void changeReadEnded(SiteJob& job, const ChildEnd& end);
    void decideApply(SiteJob& job);
    void decideUndo(SiteJob& job);
    void writeTarget(SiteJob& job);
    void writeEnded(SiteJob& job, const ChildEnd& end);
    void saveRow(SiteJob& job);

    // A good read, stored in the book, else kept in the spool.
    SiteOutcome storeRead(std::size_t i, const ChildResult& result);
    SiteOutcome spooled(std::size_t i, const ParameterImage& image, const ChildResult& result, const QString& why);
    int storeSpooled();
    bool bookOpen();
    bool reopenAfterLoss();
    bool prepareBatch();

    std::vector<FleetSite> sites_;
    FleetOptions o_;
    RunFolder folder_;
    ReadSpool spool_;
    sitebook::SiteBook book_;
    bool bookFailed_ = false;  // a read of this run could not be stored
    std::deque<std::size_t> waiting_;
    std::map<std::size_t, std::unique_ptr<SiteJob>> jobs_;
    std::set<Child*> children_;  // running
    std::map<QString, sitebook::BatchSite> undoRows_;  // undo: the batch's rows, by site
    std::map<std::size_t, sitebook::SiteSecret> kept_;  // asked once a site
    std::optional<qint64> batchId_;
    Counts counts_;
    QString error_;
    bool started_ = false;
    bool done_ = false;
    bool cancelled_ = false;
};

// The link options that reach a site, for its child.
QStringList linkArguments(const FleetSite& site);
// The site as the site book keeps it.
sitebook::Site bookSite(const FleetSite& site);

}  // namespace corvanta::fleet
