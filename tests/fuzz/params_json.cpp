// The CLI's JSON reader: whatever text comes in, a refusal says why and
// changes nothing; accepted values are stored exactly as given and read out
// again the same; the bytes no field covers travel apart from the values.
// Input that is no JSON object is taken as an image: its values print as JSON
// that reads back the same, unless it holds a code or a test time the editor
// would refuse too (then the refusal names that key), and its uncovered bytes
// come back unchanged.

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

#include "app/params_json.h"
#include "params/image_layout.h"
#include "params/parameter_codec.h"
#include "tests/fuzz/fuzz_targets.h"

namespace corvanta::fuzz {

namespace {

bool namesAFieldRule(const std::string& refusal) {
    const std::string key = refusal.substr(0, refusal.find(':'));
    return key == "installerCode" || key == "testTime" || (key.starts_with("users[") && key.ends_with("].code"));
}

void checkPrintedReadsBack(const ParameterValues& decoded) {
    ParameterValues printed;
    const auto refusal = cli::valuesFromJson(cli::valuesToJson(decoded), printed);
    if (refusal) {
        FUZZ_CHECK(namesAFieldRule(*refusal));
        return;
    }
    FUZZ_CHECK(printed == decoded);
}

bool sameUncoveredBytes(const ParameterImage& a, const ParameterImage& b) {
    for (const layout::ByteRange& r : layout::kPreservedRanges)
        if (!std::equal(a.begin() + r.first, a.begin() + r.first + r.length, b.begin() + r.first)) return false;
    return true;
}

}  // namespace

void paramsJson(Input in) {
    const QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray::fromRawData(reinterpret_cast<const char*>(in.data()), qsizetype(in.size())));
    ParameterImage image{};
    if (!doc.isObject()) {
        std::copy_n(in.begin(), std::min(in.size(), kImageSize), image.begin());
        checkPrintedReadsBack(decode(image));
        ParameterImage carried;
        carried.fill(0x5A);
        FUZZ_CHECK(!cli::unmappedFromJson(cli::unmappedToJson(image), carried).has_value());
        FUZZ_CHECK(sameUncoveredBytes(carried, image));
        return;
    }

    ParameterValues values;
    const auto refusal = cli::valuesFromJson(doc.object(), values);
    if (refusal) {
        FUZZ_CHECK(!refusal->empty() && isUtf8(*refusal));
        return;
    }
    // Once stored these are decoded values, whose printed form the image
    // inputs check.
    encode(values, image);
    FUZZ_CHECK(decode(image) == values);

    const QJsonValue unmapped = doc.object().value(cli::kUnmappedKey);
    if (unmapped.isUndefined()) return;
    const ParameterImage before = image;
    const auto unmappedRefusal = cli::unmappedFromJson(unmapped, image);
    if (unmappedRefusal) {
        FUZZ_CHECK(image == before && isUtf8(*unmappedRefusal));
        return;
    }
    FUZZ_CHECK(decode(image) == values);
}

}  // namespace corvanta::fuzz
