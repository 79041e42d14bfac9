#pragma once
// The folder a fleet run keeps its children's images and results in, under
// the system's temporary folder. The run holds a lock on a file in it for as
// long as it lives, so a later run can tell the folder of a run that was
// killed (which removes nothing on its way out) and remove it.

#include <QString>
#include <QTemporaryDir>

namespace corvanta::fleet {

class RunFolder {
public:
    static constexpr const char* kPrefix = "corvanta-fleet-";
    static constexpr const char* kLockName = "owner.lock";

    // Removes the folders of runs that are gone, then makes this run's.
    RunFolder();
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    bool isValid() const { return lockFd_ >= 0; }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }
    // Folders of dead runs removed when this one was made.
    int staleRemoved() const { return staleRemoved_; }

    // Removes every folder of a run that no longer runs; how many.
    static int removeStale();

private:
    int staleRemoved_;  // first: the old folders go before this one is made
    QTemporaryDir dir_;
    int lockFd_ = -1;
};

}  // namespace corvanta::fleet
