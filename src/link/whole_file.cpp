#include "link/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace corvanta {

namespace {

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

FileFailure failure(FileFailure::Kind kind, const QString& path, const QString& reason) {
    return FileFailure{kind, path, reason};
}

bool meansNoRoom(int error) { return error == ENOSPC || error == EFBIG || error == EDQUOT; }

constexpr mode_t kOwnerBits = S_IRWXU;

// The mode an owner-only write leaves: the owner's bits of the file it
// replaces (a read-write file stays so), 0600 for a new one.
mode_t ownerOnlyMode(const QString& path) {
    struct stat existing {};
    if (::stat(QFile::encodeName(path).constData(), &existing) == 0) return existing.st_mode & kOwnerBits;
    return S_IRUSR | S_IWUSR;
}

}  // namespace

QString FileFailure::describe() const { return path + QStringLiteral(": ") + reason; }

QString saveFailureText(const FileFailure& failure) {
    return (failure.kind == FileFailure::Kind::DiskFull ? QStringLiteral("Disk full")
                                                        : QStringLiteral("File access denied")) +
           u'\n' + failure.describe();
}

std::optional<FileFailure> checkOutputPath(const QString& path) {
    using Kind = FileFailure::Kind;
    const QFileInfo info(path);
    // A FIFO or a device would be replaced by a regular file, or written to
    // with the program believing it saved something.
    if (info.exists() && !info.isFile())
        return failure(Kind::NotRegular, path,
                       info.isDir() ? systemReason(EISDIR) : QStringLiteral("not a regular file"));
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists()) return failure(Kind::NoFolder, path, systemReason(ENOENT));
    if (!folder.isDir()) return failure(Kind::NoFolder, path, systemReason(ENOTDIR));
    // The new content is made beside the target and renamed over it.
    const QByteArray folderName = QFile::encodeName(folder.absoluteFilePath());
    if (::access(folderName.constData(), W_OK | X_OK) != 0)
        return failure(Kind::AccessDenied, path, systemReason(errno));
    if (info.exists() && ::access(QFile::encodeName(path).constData(), W_OK) != 0)
        return failure(Kind::AccessDenied, path, systemReason(errno));
    return std::nullopt;
}

std::optional<FileFailure> writeWholeFile(const QString& path, const QByteArray& bytes, FileAccess access) {
    using Kind = FileFailure::Kind;
    if (auto bad = checkOutputPath(path)) return bad;
    QSaveFile file(path);
    // Unbuffered: a buffered QSaveFile only meets a full disk while it closes,
    // and that failure does not stop it renaming a short file into place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(Kind::AccessDenied, path, file.errorString());
    // The temporary copy is made with the umask's mode (or the old file's):
    // it must be closed to others before it holds anything.
    if (access == FileAccess::OwnerOnly && ::fchmod(file.handle(), ownerOnlyMode(path)) != 0) {
        const int error = errno;
        file.cancelWriting();
        return failure(Kind::Failed, path, systemReason(error));
    }
    auto failed = [&](int error) {
        const QString reason = error != 0 ? systemReason(error) : file.errorString();
        const bool noRoom = meansNoRoom(error) || file.error() == QFileDevice::ResourceError;
        file.cancelWriting();
        return failure(noRoom ? Kind::DiskFull : Kind::Failed, path, reason);
    };
    errno = 0;
    if (file.write(bytes) != bytes.size()) return failed(errno);
    // Room the file system only promised shows up missing here.
    if (::fsync(file.handle()) != 0) return failed(errno);
    errno = 0;
    if (!file.commit()) return failure(Kind::Failed, path, file.errorString());
    return std::nullopt;
}

bool makeOwnerOnlyFolders(const QString& path) {
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QFileInfo info(absolute);
    if (info.exists()) return info.isDir();
    const QString parent = info.absolutePath();
    if (parent != absolute && !makeOwnerOnlyFolders(parent)) return false;
    // Another program may make the same folder meanwhile: that is as good.
    if (::mkdir(QFile::encodeName(absolute).constData(), kOwnerBits) == 0) return true;
    return errno == EEXIST && QFileInfo(absolute).isDir();
}

bool restrictToOwner(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0 || st.st_uid != ::geteuid()) return true;
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) == 0) return true;
    return ::chmod(name.constData(), st.st_mode & kOwnerBits) == 0;
}

std::optional<FileFailure> readWholeFile(const QString& path, qint64 maxBytes, QByteArray& out,
                                         Longer longer) {
    using Kind = FileFailure::Kind;
    const QFileInfo info(path);
    if (!info.exists()) return failure(Kind::NotFound, path, systemReason(ENOENT));
    // /dev/zero or a FIFO would never end, a folder reads as nothing.
    if (!info.isFile())
        return failure(Kind::NotRegular, path,
                       info.isDir() ? systemReason(EISDIR) : QStringLiteral("not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return failure(Kind::AccessDenied, path, file.errorString());
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(Kind::Failed, path, file.errorString());
    if (bytes.size() > maxBytes && longer == Longer::CutOff) bytes.truncate(maxBytes);
    if (bytes.size() > maxBytes)
        return failure(Kind::TooLarge, path,
                       QStringLiteral("larger than %1 bytes, too large for this kind of file").arg(maxBytes));
    out = std::move(bytes);
    return std::nullopt;
}

}  // namespace corvanta
