#include "fleet/run_folder.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace corvanta::fleet {

namespace {

// A run makes its lock right after its folder; a folder that has none for
// this long belongs to a run killed in between.
constexpr qint64 kLocklessGraceMs = 60'000;

bool ownerGone(const QString& folder) {
    const QString lock = QDir(folder).filePath(QString::fromLatin1(RunFolder::kLockName));
    const int fd = ::open(QFile::encodeName(lock).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        const QDateTime made = QFileInfo(folder).lastModified();
        return made.isValid() && made.msecsTo(QDateTime::currentDateTime()) > kLocklessGraceMs;
    }
    // The lock is the owner's for as long as it lives; the system lets go
    // of it when the owner dies, however it dies.
    const bool gone = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return gone;
}

}  // namespace

int RunFolder::removeStale() {
    int removed = 0;
    const QDir temp(QDir::tempPath());
    const QStringList folders =
        temp.entryList({QString::fromLatin1(kPrefix) + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : folders) {
        const QString folder = temp.filePath(name);
        if (ownerGone(folder) && QDir(folder).removeRecursively()) ++removed;
    }
    return removed;
}

RunFolder::RunFolder()
    : staleRemoved_(removeStale()),
      dir_(QDir::tempPath() + QLatin1Char('/') + QString::fromLatin1(kPrefix) + QStringLiteral("XXXXXX")) {
    if (!dir_.isValid()) return;
    const QByteArray lock = QFile::encodeName(dir_.filePath(QString::fromLatin1(kLockName)));
    const int fd = ::open(lock.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return;
    }
    lockFd_ = fd;
}

RunFolder::~RunFolder() {
    // The folder goes first, with the lock still held: no later run may
    // take it for a dead one's meanwhile.
    dir_.remove();
    if (lockFd_ >= 0) ::close(lockFd_);
}

}  // namespace corvanta::fleet
