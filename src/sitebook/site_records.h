#pragma once
// What the site book holds: sites, snapshots of their parameter images and
// the writes made to their modules.

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

#include "params/image_diff.h"
#include "params/parameter_image.h"

namespace corvanta::sitebook {

// The longest site name the book takes: a name is read by people, in lists
// and lines, and travels on command lines.
inline constexpr int kMaxSiteNameLength = 200;

// Why a name cannot be a site's, or empty when it can.
QString siteNameProblem(const QString& name);

// A module an installer services and how it is reached. Passwords and
// installer codes are never kept here.
struct Site {
    qint64 id = 0;  // 0: not stored yet
    QString name;   // unique
    QString address;
    QString notes;
    QString serialPort;
    QString modemNumber;
    QString tcpHost;
    int tcpPort = 0;  // 0: the module's own port
};

// Who made a row: the database role (empty on a file, which is one
// person's), the OS user and the host the program ran on.
struct Who {
    QString dbRole;
    QString osUser;
    QString host;
    bool operator==(const Who&) const = default;
};

// "anna (os: anna@desk-3)"; "anna@desk-3" on a file; empty for a row kept
// before rows named who made them.
QString whoLine(const Who& who);

enum class SnapshotKind { Read, Written, File, Manual };
QString kindName(SnapshotKind kind);  // "read", "written", "file", "manual"
std::optional<SnapshotKind> kindFromName(const QString& name);

struct SnapshotInfo {
    qint64 id = 0;
    qint64 siteId = 0;
    QString site;
    QDateTime takenAt;  // UTC
    SnapshotKind kind = SnapshotKind::Manual;
    QString moduleVersion;
    int dataVersion = -1;  // -1: not known (a file)
    QString sha256;        // of the 2048 bytes, lower-case hexadecimal
    QString note;
    Who who;
};

struct Snapshot {
    SnapshotInfo info;
    ParameterImage image{};
};

// One changed field of a write, as the field diff named it.
struct WriteChange {
    QString path;
    QString caption;
    QString before;
    QString after;
};

// The rows of a field diff, the line for the other bytes last.
std::vector<WriteChange> changeRows(const ImageDiff& diff);

// One line: "3. Zóna · Belépési késlelt. (zones[2].entryDelay): 10 → 20";
// texts in quotes. The other bytes' row is its caption alone.
QString changeLine(const WriteChange& change);

// Where a write came from, when not from the transfer of an image.
struct WriteOrigin {
    std::optional<qint64> batchId;
    std::optional<qint64> restoredSnapshot;  // the snapshot put back
    QString restoredSite;  // whose snapshot that was (read back only)

    bool any() const { return batchId || restoredSnapshot; }
};

struct WriteRecord {
    qint64 id = 0;
    qint64 siteId = 0;
    QString site;
    QDateTime at;  // UTC
    bool ok = false;
    // False for a write whose commit went out but whose outcome never
    // reached the book (the program died): ok is then false too, and the
    // module may hold either image.
    bool settled = true;
    QString sentSha256;  // not settled: the image sent
    QString blocks;  // "GGRWWWWW"
    std::optional<qint64> beforeSnapshot;  // the site's latest snapshot then
    std::optional<qint64> afterSnapshot;   // the written snapshot (ok only)
    std::vector<WriteChange> changes;
    Who who;
    WriteOrigin origin;  // filled in by SiteBook::eachWrite and audit
};

// A batch: one change written to many modules, or the undo of one.
enum class BatchKind { Apply, Undo };
QString batchKindName(BatchKind kind);  // "apply", "undo"
std::optional<BatchKind> batchKindFromName(const QString& name);

struct Batch {
    qint64 id = 0;
    QDateTime startedAt;  // UTC
    BatchKind kind = BatchKind::Apply;
    QString description;  // the change, as it was given
    std::optional<qint64> undoes;  // an undo: the batch it undoes
    Who who;
};

// What a batch did at one site. A site whose write began has the snapshot
// read just before it and the sha256 of the image sent, whatever became of
// the write: an undo can then tell whether the module holds that image.
struct BatchSite {
    qint64 batchId = 0;
    qint64 siteId = 0;
    QString site;    // its name, when read back
    QString result;  // as the fleet reported it: ok, failed, skipped, ...
    QString detail;
    std::optional<qint64> beforeSnapshot;
    QString targetSha256;
    std::optional<qint64> afterSnapshot;  // the written snapshot (ok only)
};


// A site's installer code and TCP/IP password, kept for the work nobody
// types them for (the scheduled backup, the fleet). Never shown, printed or
// logged; empty: not kept.
struct SiteSecret {
    QString installerCode;
    QString tcpPassword;
    bool empty() const { return installerCode.isEmpty() && tcpPassword.isEmpty(); }
};

// The time text the book stores and prints: ISO 8601, UTC, milliseconds.
QString isoTime(const QDateTime& t);

// "ok", "failed", or "unknown" for a write not settled.
QString writeResultName(const WriteRecord& write);

}  // namespace corvanta::sitebook
