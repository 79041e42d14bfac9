#include "transfer/parameter_file.h"

#include <cstring>

#include "link/whole_file.h"

namespace corvanta {

namespace {
// The texts the installer has always seen for these failures; the path and
// the system's reason follow on a line of their own.
const QString kNotFound = QStringLiteral("File not found");
const QString kAccessDenied = QStringLiteral("File access denied");
const QString kShortFile = QStringLiteral("Read beyond end of file");

QString withDetail(const QString& text, const FileFailure& failure) {
    return text + u'\n' + failure.describe();
}
}  // namespace

std::optional<QString> loadParameterFile(const QString& path, ParameterImage& image) {
    QByteArray bytes;
    if (auto failure = readWholeFile(path, qint64(kImageSize), bytes, Longer::CutOff)) {
        return withDetail(failure->kind == FileFailure::Kind::NotFound ? kNotFound : kAccessDenied,
                          *failure);
    }
    if (bytes.size() != qsizetype(kImageSize))
        return kShortFile + u'\n' + path +
               QStringLiteral(": %1 bytes, a parameter file holds %2").arg(bytes.size()).arg(kImageSize);
    std::memcpy(image.data(), bytes.constData(), kImageSize);
    return std::nullopt;
}

std::optional<QString> saveParameterFile(const QString& path, const ParameterImage& image) {
    const QByteArray bytes(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
    if (auto failure = writeWholeFile(path, bytes, FileAccess::OwnerOnly)) return saveFailureText(*failure);
    return std::nullopt;
}

}  // namespace corvanta
