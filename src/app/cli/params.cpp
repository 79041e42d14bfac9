// File operations of corvanta-cli: a parameter image shown as JSON and built
// from it.
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>

#include "app/cli/commands.h"
#include "app/cli/files.h"
#include "app/cli/output.h"
#include "app/cli/params_json.h"

namespace corvanta::cli {
namespace {

// A misspelt option ("--bsae") would change what is built without a word.
std::optional<std::string> unknownOption(const Args& args, std::initializer_list<const char*> known) {
    for (const auto& [name, value] : args.options) {
        if (std::none_of(known.begin(), known.end(), [&](const char* k) { return name == k; }))
            return "unknown option " + name;
    }
    return std::nullopt;
}

int runDecode(const Args& args) {
    if (auto unknown = unknownOption(args, {"-o"})) return fail(ExitUsage, *unknown);
    const auto output = args.option("-o");
    if (args.positional.size() != 1 || (output && output->empty())) return fail(ExitUsage, "usage: decode IMAGE [-o JSON]");
    if (output) {
        if (auto status = checkOutput(*output)) return *status;
    }
    const auto image = readImageInput(args.positional[0]);
    if (!image) return ExitUsage;
    const QByteArray json = QJsonDocument(imageToJson(*image)).toJson(QJsonDocument::Indented);
    // The values hold the codes: a file of them is the owner's alone, as the
    // parameter file is.
    if (output) return writeOutput(*output, json, FileAccess::OwnerOnly);
    if (std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), stdout) !=
            static_cast<std::size_t>(json.size()) ||
        std::fflush(stdout) != 0) {
        return fail(ExitFailed, "cannot write the output");
    }
    return ExitOk;
}

int runEncode(const Args& args) {
    if (auto unknown = unknownOption(args, {"-o", "--base"})) return fail(ExitUsage, *unknown);
    const auto output = args.option("-o");
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
    // The parser keeps the last of two equal keys; which one was meant is
    // anybody's guess.
    if (auto twice = duplicateKey(*text)) return fail(ExitUsage, jsonPath + ": " + *twice + ": given twice");

    std::optional<ParameterImage> base;
    if (auto basePath = args.option("--base")) {
        base = readImageInput(*basePath);
        if (!base) return ExitUsage;
    }
    ParameterImage image;
    std::vector<std::string> warnings;
    if (auto refusal = imageFromJson(doc.object(), base ? &*base : nullptr, image, warnings)) {
        return fail(ExitUsage, jsonPath + ": " + *refusal);
    }
    for (const std::string& w : warnings) std::fprintf(stderr, "corvanta-cli: %s: %s\n", jsonPath.c_str(), w.c_str());
    return writeOutput(*output, QByteArray(reinterpret_cast<const char*>(image.data()), qsizetype(image.size())),
                       FileAccess::OwnerOnly);
}

}  // namespace

std::vector<Command> paramCommands() {
    return {
        {"decode", "decode IMAGE [-o JSON]            print the working values of a parameter file as JSON (or\n"
                   "                                      write them to the file JSON, readable by its owner only);\n"
                   "                                      \"unmapped\" holds the bits no field holds and\n"
                   "                                      \"outOfFormat\" the bytes of values outside the format,\n"
                   "                                      as hex digits",
         runDecode},
        {"encode", "encode JSON -o IMAGE [--base BASE] build a parameter file from such values, byte for byte\n"
                   "                                      as decode printed them; with BASE only the fields whose\n"
                   "                                      value changed are written, the rest stays BASE's",
         runEncode},
    };
}

}  // namespace corvanta::cli
