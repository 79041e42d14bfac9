#pragma once
// What a fleet child says to its parent about its site, in a form made to be
// read: one JSON object in the file $CORVANTA_FLEET_RESULT names, written
// whole once the command is over. The parent judges the site by the child's
// exit status and this, never by the words the child prints for people.

#include <QString>

#include <optional>

namespace corvanta::fleet {

inline constexpr const char* kResultVariable = "CORVANTA_FLEET_RESULT";
// Set for a child that writes as part of a batch: the batch's id, which its
// write is recorded under.
inline constexpr const char* kBatchVariable = "CORVANTA_FLEET_BATCH";

struct ChildResult {
    bool ok = false;   // the command did what it was asked
    QString detail;    // one line for the fleet's report
    // A read recorded with --site: whether the book has it, and as which
    // snapshot; when not, whether the book could not be reached (the image
    // is then in the output file, for the parent to keep until it can).
    bool stored = false;
    std::optional<qint64> snapshotId;
    bool bookUnavailable = false;
    QString moduleVersion;
    int dataVersion = -1;
};

// Written to a temporary file and renamed over `path`: the parent finds a
// whole result or none. False with the reason in `error`.
bool writeChildResult(const QString& path, const ChildResult& result, QString& error);
// Nullopt when there is none or it is not one.
std::optional<ChildResult> readChildResult(const QString& path);

// For the child: writes the result where $CORVANTA_FLEET_RESULT says, when
// it says anywhere. A failure goes to standard error; the parent then finds
// no result and counts the site as failed.
void leaveChildResult(const ChildResult& result);

// For the child: the batch $CORVANTA_FLEET_BATCH names, if any.
std::optional<qint64> batchFromEnvironment();

}  // namespace corvanta::fleet
