#include "app/cli/files.h"

#include <algorithm>
#include <cstdio>

#include "app/cli/args.h"
#include "link/whole_file.h"

namespace corvanta::cli {

namespace {

void complain(const FileFailure& failure, const char* doing) {
    const QByteArray path = failure.path.toUtf8();
    const QByteArray reason = failure.reason.toUtf8();
    if (failure.kind == FileFailure::Kind::DiskFull)
        std::fprintf(stderr, "corvanta-cli: %s: Disk full (%s)\n", path.constData(), reason.constData());
    else
        std::fprintf(stderr, "corvanta-cli: %s: %s: %s\n", path.constData(), doing, reason.constData());
}

}  // namespace

std::optional<int> checkOutput(const std::string& path) {
    if (path.empty()) {
        std::fprintf(stderr, "corvanta-cli: an empty output file name\n");
        return ExitUsage;
    }
    const auto failure = checkOutputPath(QString::fromStdString(path));
    if (!failure) return std::nullopt;
    complain(*failure, "cannot be written");
    return ExitUsage;
}

int writeOutput(const std::string& path, const QByteArray& bytes, FileAccess access) {
    if (auto status = checkOutput(path)) return *status;
    const auto failure = writeWholeFile(QString::fromStdString(path), bytes, access);
    if (!failure) return ExitOk;
    complain(*failure, "cannot write");
    if (!failure->isBadTarget()) std::fprintf(stderr, "corvanta-cli: %s: left as it was\n", path.c_str());
    return failure->isBadTarget() ? ExitUsage : ExitFailed;
}

std::optional<QByteArray> readInput(const std::string& path, qint64 maxBytes) {
    QByteArray bytes;
    if (auto failure = readWholeFile(QString::fromStdString(path), maxBytes, bytes)) {
        complain(*failure, "cannot read");
        return std::nullopt;
    }
    return bytes;
}

std::optional<ParameterImage> readImageInput(const std::string& path) {
    const auto bytes = readInput(path, qint64(kImageSize));
    if (!bytes) return std::nullopt;
    if (bytes->size() != qsizetype(kImageSize)) {
        std::fprintf(stderr, "corvanta-cli: %s: %lld bytes, a parameter file holds exactly %zu\n", path.c_str(),
                     static_cast<long long>(bytes->size()), kImageSize);
        return std::nullopt;
    }
    ParameterImage image;
    std::copy_n(bytes->constData(), kImageSize, reinterpret_cast<char*>(image.data()));
    return image;
}

}  // namespace corvanta::cli
