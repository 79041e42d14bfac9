#pragma once
// Whole files in and out, for every file the programs read or write: the
// parameter file, the settings file and the command line's outputs. A read
// takes at most what a valid file can hold; a write goes to a temporary file
// that replaces the target only once every write, the flush and the sync
// succeeded, so a failed save leaves the old file byte for byte.

#include <QByteArray>
#include <QString>

#include <optional>

namespace corvanta {

struct FileFailure {
    enum class Kind {
        NotFound,        // reading: no such file
        NotRegular,      // a folder, a FIFO, a device: never read or replaced
        NoFolder,        // writing: the folder does not exist
        AccessDenied,    // cannot be opened or created
        TooLarge,        // reading: larger than a valid file can be
        DiskFull,        // writing: no room (disk, quota or file size limit)
        Failed,          // any other failure of a read or a write
    };
    Kind kind;
    QString path;
    QString reason;  // the system's own words, such as "Permission denied"

    // "PATH: reason".
    QString describe() const;
    // Refused before anything was done, as opposed to a failure on the way.
    bool isBadTarget() const { return kind == Kind::NotRegular || kind == Kind::NoFolder || kind == Kind::AccessDenied; }
};

// Whether `path` can be written: nothing there yet or a regular file, in a
// folder that exists and takes new files (the temporary copy is made there).
std::optional<FileFailure> checkOutputPath(const QString& path);

// Who may read what a write leaves. A file that holds the module's codes
// (a parameter file, decode's JSON, a listing or report that shows them, a
// spooled read) is OwnerOnly: 0600 whatever the umask, and an existing file
// loses the group's and others' bits. A Shared file gets the umask's mode, or
// keeps the mode of the file it replaces.
enum class FileAccess { Shared, OwnerOnly };

// Writes `bytes` as the whole new content of `path`. The temporary copy has
// its final mode before its first byte.
std::optional<FileFailure> writeWholeFile(const QString& path, const QByteArray& bytes,
                                          FileAccess access = FileAccess::Shared);

// Makes the folder `path` and every missing one above it, each 0700: folders
// that will hold codes. Folders that exist are left as their owner set them.
// False when one cannot be made (or `path` is no folder).
bool makeOwnerOnlyFolders(const QString& path);

// Takes the group's and others' bits off a file the user owns; nothing for
// a missing file or one of another user. False when the mode could not be
// changed.
bool restrictToOwner(const QString& path);

// What a window says when a save failed: "Disk full" or "File access
// denied", the texts installers have always seen, then the path and the
// system's reason on a line of their own.
QString saveFailureText(const FileFailure& failure);

// Reads a regular file of at most `maxBytes`. A larger one is refused, or
// with Longer::CutOff taken by its first `maxBytes`; either way no more than
// that is ever read.
enum class Longer { Refuse, CutOff };
std::optional<FileFailure> readWholeFile(const QString& path, qint64 maxBytes, QByteArray& out,
                                         Longer longer = Longer::Refuse);

}  // namespace corvanta
