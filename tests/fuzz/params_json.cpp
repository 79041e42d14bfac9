// The CLI's JSON reader: whatever text comes in, a refusal says why, and
// accepted values survive being stored in an image and read out again. Input
// that is no JSON object is taken as an image: whatever it holds, its values
// print as JSON that reads back the same, unless it holds a code or a test
// time the editor would refuse too; then the refusal names that key.

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

#include "app/params_json.h"
#include "params/parameter_codec.h"
#include "tests/fuzz/fuzz_targets.h"

namespace corvanta::fuzz {

namespace {

bool namesAFieldRule(const std::string& refusal) {
    const std::string key = refusal.substr(0, refusal.find(':'));
    return key == "installerCode" || key == "testTime" || (key.starts_with("users[") && key.ends_with("].code"));
}

void checkPrintedReadsBack(const ParameterValues& decoded, bool anyImage) {
    ParameterValues printed;
    const auto refusal = cli::valuesFromJson(cli::valuesToJson(decoded), printed);
    if (refusal && anyImage) {
        FUZZ_CHECK(namesAFieldRule(*refusal));
        return;
    }
    FUZZ_CHECK(!refusal.has_value());
    FUZZ_CHECK(printed == decoded);
}

}  // namespace

void paramsJson(Input in) {
    const QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray::fromRawData(reinterpret_cast<const char*>(in.data()), qsizetype(in.size())));
    ParameterImage image{};
    if (!doc.isObject()) {
        std::copy_n(in.begin(), std::min(in.size(), kImageSize), image.begin());
        checkPrintedReadsBack(decode(image), true);
        return;
    }

    ParameterValues values;
    const auto refusal = cli::valuesFromJson(doc.object(), values);
    if (refusal) {
        FUZZ_CHECK(!refusal->empty() && isUtf8(*refusal));
        return;
    }
    encode(values, image);
    checkPrintedReadsBack(decode(image), false);
}

}  // namespace corvanta::fuzz
