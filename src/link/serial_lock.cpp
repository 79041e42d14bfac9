#include "link/serial_lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace corvanta {

QString serialLockPath(const QString& systemLocation) {
    // The serial layer's own list, in its order.
    const QStringList folders{QStringLiteral("/var/lock"),        QStringLiteral("/etc/locks"),
                              QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
                              QStringLiteral("/tmp"),             QStringLiteral("/var/tmp"),
                              QStringLiteral("/var/lock/lockdev"), QStringLiteral("/run/lock"),
                              QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    QString name = systemLocation.startsWith(QLatin1String("/dev/")) ? systemLocation.mid(5) : systemLocation;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.prepend(QStringLiteral("/LCK.."));
    for (const QString& folder : folders) {
        const QFileInfo info(folder);
        const QString path = folder + name;
        if (info.isReadable() && (QFile::exists(path) || info.isWritable())) return path;
    }
    return {};
}

SerialLock serialLockState(const QString& lockPath) {
    const QByteArray path = QFile::encodeName(lockPath);
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return errno == ENOENT ? SerialLock::None : SerialLock::Held;
    char text[64] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    // Both forms start with the owner's number: the serial layer's lines
    // and the ten-column UUCP one.
    const long pid = n > 0 ? std::strtol(text, nullptr, 10) : 0;
    const bool ownerRuns = pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
    // A running owner holds the file locked from before it writes its number.
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return ownerRuns || locked ? SerialLock::Held : SerialLock::Stale;
}

bool removeStaleSerialLock(const QString& lockPath) {
    if (serialLockState(lockPath) != SerialLock::Stale) return false;
    return QFile::remove(lockPath);
}

}  // namespace corvanta
