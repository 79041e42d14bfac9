// File operations of corvanta-cli: a parameter image shown as JSON and built
// from it.
#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>

#include <cstdio>
#include <optional>
#include <string>

#include "app/cli_commands.h"
#include "app/params_json.h"
#include "params/parameter_codec.h"

namespace corvanta::cli {
namespace {

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "corvanta-cli: %s\n", message.c_str());
    return status;
}

std::optional<QByteArray> readWhole(const std::string& path, std::string& error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = path + ": cannot open: " + file.errorString().toStdString();
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = path + ": cannot read: " + file.errorString().toStdString();
        return std::nullopt;
    }
    return bytes;
}

// A parameter file is the bare image. Like the transfer window, a longer file
// is taken by its first 2048 bytes; a shorter one is refused.
std::optional<ParameterImage> readImage(const std::string& path, std::string& error) {
    auto bytes = readWhole(path, error);
    if (!bytes) return std::nullopt;
    if (static_cast<std::size_t>(bytes->size()) < kImageSize) {
        error = path + ": " + std::to_string(bytes->size()) + " bytes, a parameter image needs " +
                std::to_string(kImageSize);
        return std::nullopt;
    }
    ParameterImage image;
    std::copy_n(bytes->constData(), kImageSize, reinterpret_cast<char*>(image.data()));
    return image;
}

int runDecode(const Args& args) {
    if (args.positional.size() != 1) return fail(ExitUsage, "usage: decode IMAGE");
    std::string error;
    const auto image = readImage(args.positional[0], error);
    if (!image) return fail(ExitUsage, error);
    const QByteArray json = QJsonDocument(valuesToJson(decode(*image))).toJson(QJsonDocument::Indented);
    if (std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), stdout) !=
            static_cast<std::size_t>(json.size()) ||
        std::fflush(stdout) != 0) {
        return fail(ExitFailed, "cannot write the output");
    }
    return ExitOk;
}

int runEncode(const Args& args) {
    auto output = args.option("-o");
    if (!output) output = args.option("--output");
    if (args.positional.size() != 1 || !output || output->empty()) {
        return fail(ExitUsage, "usage: encode JSON -o IMAGE [--base BASE]");
    }
    const std::string& jsonPath = args.positional[0];
    std::string error;

    // Everything is read and checked before the output is touched.
    const auto text = readWhole(jsonPath, error);
    if (!text) return fail(ExitUsage, error);
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(*text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return fail(ExitUsage, jsonPath + ": not valid JSON at offset " + std::to_string(parseError.offset) +
                                   ": " + parseError.errorString().toStdString());
    }
    if (!doc.isObject()) return fail(ExitUsage, jsonPath + ": expected a JSON object");
    ParameterValues values;
    if (auto refusal = valuesFromJson(doc.object(), values)) {
        return fail(ExitUsage, jsonPath + ": " + *refusal);
    }

    ParameterImage image;
    image.fill(0xFF);  // an erased module memory
    if (auto base = args.option("--base")) {
        auto read = readImage(*base, error);
        if (!read) return fail(ExitUsage, error);
        image = *read;
    }
    encode(values, image);

    // QSaveFile writes a temporary file and renames it over the target only
    // once it is complete.
    QSaveFile file(QString::fromStdString(*output));
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(ExitFailed, *output + ": cannot create: " + file.errorString().toStdString());
    }
    const auto size = static_cast<qint64>(image.size());
    if (file.write(reinterpret_cast<const char*>(image.data()), size) != size || !file.commit()) {
        return fail(ExitFailed, *output + ": cannot write: " + file.errorString().toStdString());
    }
    return ExitOk;
}

}  // namespace

std::vector<Command> paramCommands() {
    return {
        {"decode", "decode IMAGE                      print the working values of a parameter file as JSON",
         runDecode},
        {"encode", "encode JSON -o IMAGE [--base BASE] build a parameter file from such values",
         runEncode},
    };
}

}  // namespace corvanta::cli
