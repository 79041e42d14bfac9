#include "fleet/read_spool.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>

#include <atomic>

#include "link/whole_file.h"

namespace corvanta::fleet {

using sitebook::SiteBook;

namespace {

constexpr const char* kImageSuffix = ".cd2";
constexpr const char* kEntrySuffix = ".json";
constexpr qint64 kMaxEntryBytes = 64 * 1024;

QByteArray bytesOf(const ParameterImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

QString sha256Of(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString spoolFolderOf(const QString& location) {
    if (!SiteBook::isServerUrl(location)) return location + QStringLiteral(".spool");
    // One folder per server and database; the user's name stays in, the
    // password (displayName drops it) does not.
    QString name = SiteBook::displayName(location);
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._@-]+")), QStringLiteral("_"));
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/corvanta/spool/") +
           name;
}

// The images hold every code of their modules.
bool writeWhole(const QString& path, const QByteArray& bytes, QString& error) {
    const auto failure = writeWholeFile(path, bytes, FileAccess::OwnerOnly);
    if (failure) error = failure->describe();
    return !failure;
}

}  // namespace

ReadSpool::ReadSpool(const QString& bookLocation)
    : folder_(spoolFolderOf(bookLocation)), book_(SiteBook::displayName(bookLocation)) {}

bool ReadSpool::put(const Entry& e, QString& error) {
    if (!makeOwnerOnlyFolders(folder_)) {
        error = folder_ + QStringLiteral(": the folder cannot be made");
        return false;
    }
    static std::atomic<int> counter{0};
    // Sorts by time; the process and a counter keep two programs apart.
    const QString base = QDir(folder_).filePath(e.takenAt.toUTC().toString(QStringLiteral("yyyyMMddTHHmmsszzz")) +
                                                QStringLiteral("-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter));
    const QByteArray image = bytesOf(e.image);
    const QJsonObject entry{{"book", book_},
                            {"site", e.site.name},
                            {"port", e.site.serialPort},
                            {"host", e.site.tcpHost},
                            {"tcpPort", e.site.tcpPort},
                            {"takenAt", sitebook::isoTime(e.takenAt)},
                            {"moduleVersion", e.moduleVersion},
                            {"dataVersion", e.dataVersion},
                            {"sha256", sha256Of(image)}};
    if (!writeWhole(base + QLatin1String(kImageSuffix), image, error)) return false;
    // The entry last: without it the image is not yet one.
    if (writeWhole(base + QLatin1String(kEntrySuffix), QJsonDocument(entry).toJson(), error)) return true;
    QFile::remove(base + QLatin1String(kImageSuffix));
    return false;
}

QStringList ReadSpool::entryNames() const {
    QDir dir(folder_);
    QStringList names = dir.entryList({QStringLiteral("*") + QLatin1String(kEntrySuffix)}, QDir::Files, QDir::Name);
    for (QString& n : names) n.chop(qsizetype(qstrlen(kEntrySuffix)));
    return names;
}

int ReadSpool::count() const { return int(entryNames().size()); }

ReadSpool::Flush ReadSpool::storeAll(SiteBook& book) {
    Flush out;
    const QStringList names = entryNames();
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString base = QDir(folder_).filePath(names[i]);
        QFile entryFile(base + QLatin1String(kEntrySuffix));
        QFile imageFile(base + QLatin1String(kImageSuffix));
        const QJsonObject o = entryFile.open(QIODevice::ReadOnly)
                                  ? QJsonDocument::fromJson(entryFile.read(kMaxEntryBytes)).object()
                                  : QJsonObject();
        const QByteArray image = imageFile.open(QIODevice::ReadOnly) ? imageFile.read(qint64(kImageSize) + 1) : QByteArray();
        if (o.isEmpty() || std::size_t(image.size()) != kImageSize || sha256Of(image) != o.value("sha256").toString()) {
            out.damaged << base + QLatin1String(kEntrySuffix);
            continue;
        }
        sitebook::Site site;
        site.name = o.value("site").toString();
        site.serialPort = o.value("port").toString();
        site.tcpHost = o.value("host").toString();
        site.tcpPort = o.value("tcpPort").toInt();
        const QDateTime takenAt = QDateTime::fromString(o.value("takenAt").toString(), Qt::ISODateWithMs).toUTC();
        ParameterImage parameters{};
        std::copy_n(image.constData(), kImageSize, reinterpret_cast<char*>(parameters.data()));
        const auto found = book.ensureSite(site);
        const auto id = found ? book.addSnapshot(found->id, sitebook::SnapshotKind::Read, parameters,
                                                 o.value("moduleVersion").toString(), o.value("dataVersion").toInt(-1),
                                                 {}, takenAt)
                              : std::nullopt;
        if (!id) {
            out.error = book.error();
            out.left = count();
            return out;
        }
        entryFile.close();
        imageFile.close();
        // The entry first: an image without it is no entry any more.
        QFile::remove(base + QLatin1String(kEntrySuffix));
        QFile::remove(base + QLatin1String(kImageSuffix));
        out.stored.push_back({site.name, *id, takenAt});
    }
    out.left = count();
    return out;
}

}  // namespace corvanta::fleet
