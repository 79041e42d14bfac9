#pragma once
// Reads the site book could not take when they were made (a server that was
// down or cut off, a book locked too long), kept as files until it can: an
// image that was read is never thrown away for want of a book. Each entry is
// the image and a small JSON file beside it, written last, so an entry is
// whole or not there at all.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "params/parameter_image.h"
#include "sitebook/site_book.h"

namespace corvanta::fleet {

class ReadSpool {
public:
    // The spool of the book at `bookLocation` (a file path or a server URL):
    // beside a book file ("sitebook.sqlite.spool"); for a server under the
    // user's data folder, one folder per server and database.
    explicit ReadSpool(const QString& bookLocation);
    const QString& folder() const { return folder_; }

    struct Entry {
        sitebook::Site site;  // its name, and the link it is reached by
        QDateTime takenAt;    // when it was read (UTC)
        QString moduleVersion;
        int dataVersion = -1;
        ParameterImage image{};
    };

    // Keeps an image; false with the reason in `error`.
    bool put(const Entry& entry, QString& error);
    // How many entries wait.
    int count() const;

    struct Stored {
        QString site;
        qint64 snapshotId = 0;
        QDateTime takenAt;
    };
    struct Flush {
        std::vector<Stored> stored;
        int left = 0;      // still waiting, the damaged ones too
        QString error;     // why the book stopped taking them (empty: it took all)
        QStringList damaged;  // entries whose image no longer matches its sha256: left alone
    };
    // Stores the waiting entries, oldest first, each as a read snapshot of
    // its site (made when new) taken at its own time, and removes each once
    // stored; stops at the first the book refuses, as it is likely
    // unavailable again.
    Flush storeAll(sitebook::SiteBook& book);

private:
    QStringList entryNames() const;

    QString folder_;
    QString book_;  // displayName of the book the entries are for
};

}  // namespace corvanta::fleet
