#include "transfer/parameter_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace corvanta {

namespace {
// The texts the installer has always seen for these failures.
const QString kNotFound = QStringLiteral("File not found");
const QString kAccessDenied = QStringLiteral("File access denied");
const QString kShortFile = QStringLiteral("Read beyond end of file");
const QString kDiskFull = QStringLiteral("Disk full");
}  // namespace

std::optional<QString> loadParameterFile(const QString& path, ParameterImage& image) {
    QFile file(path);
    if (!QFileInfo::exists(path)) return kNotFound;
    if (!file.open(QIODevice::ReadOnly)) return kAccessDenied;
    const QByteArray bytes = file.read(qint64(kImageSize));
    if (bytes.size() != qsizetype(kImageSize)) return kShortFile;
    std::memcpy(image.data(), bytes.constData(), kImageSize);
    return std::nullopt;
}

std::optional<QString> saveParameterFile(const QString& path, const ParameterImage& image) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return kAccessDenied;
    const auto written =
        file.write(reinterpret_cast<const char*>(image.data()), qint64(image.size()));
    if (written != qint64(image.size()) || !file.commit()) {
        const bool full = file.error() == QFileDevice::ResourceError;
        file.cancelWriting();
        return full ? kDiskFull : kAccessDenied;
    }
    return std::nullopt;
}

}  // namespace corvanta
