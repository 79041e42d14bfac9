// File operations of corvanta-cli: a parameter image shown as JSON and built
// from it.
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cstdio>
#include <optional>
#include <string>

#include "app/cli_commands.h"
#include "app/cli_files.h"
#include "app/params_json.h"
#include "params/parameter_codec.h"

namespace corvanta::cli {
namespace {

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "corvanta-cli: %s\n", message.c_str());
    return status;
}

int runDecode(const Args& args) {
    if (args.positional.size() != 1) return fail(ExitUsage, "usage: decode IMAGE");
    const auto image = readImageInput(args.positional[0]);
    if (!image) return ExitUsage;
    QJsonObject values = valuesToJson(decode(*image));
    values[kUnmappedKey] = unmappedToJson(*image);
    const QByteArray json = QJsonDocument(values).toJson(QJsonDocument::Indented);
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

    // Everything is read and checked before the output is touched.
    if (auto status = checkOutput(*output)) return *status;
    const auto text = readInput(jsonPath, kMaxJsonBytes);
    if (!text) return ExitUsage;
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

    // The bytes no field covers: those of the base where one is given, else
    // those the values file carries, else those of an erased module memory.
    ParameterImage image;
    image.fill(0xFF);
    if (auto base = args.option("--base")) {
        auto read = readImageInput(*base);
        if (!read) return ExitUsage;
        image = *read;
    } else if (doc.object().contains(QLatin1String(kUnmappedKey))) {
        if (auto refusal = unmappedFromJson(doc.object().value(QLatin1String(kUnmappedKey)), image))
            return fail(ExitUsage, jsonPath + ": " + *refusal);
    }
    encode(values, image);
    return writeOutput(*output, QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size())));
}

}  // namespace

std::vector<Command> paramCommands() {
    return {
        {"decode", "decode IMAGE                      print the working values of a parameter file as JSON;\n"
                   "                                      \"unmapped\" holds the bytes no field covers, as hex\n"
                   "                                      digits by first offset (1645, 1901, 1906)",
         runDecode},
        {"encode", "encode JSON -o IMAGE [--base BASE] build a parameter file from such values; the bytes\n"
                   "                                      no field covers come from BASE, else from \"unmapped\",\n"
                   "                                      else are FF",
         runEncode},
    };
}

}  // namespace corvanta::cli
