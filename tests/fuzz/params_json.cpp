// The CLI's JSON reader: whatever text comes in, a refusal says why and
// changes nothing; an accepted file builds an image whose printed form builds
// it again, and which the same file written onto it leaves as it is. Input
// that is no JSON object is taken as an image: what decode prints of it
// builds it again byte for byte, with and without it as the base, and onto
// any other base gives its values. An object read as a change is refused in
// words or gives some fields, each once.

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

#include "app/cli/params_json.h"
#include "params/parameter_codec.h"
#include "tests/fuzz/fuzz_targets.h"

namespace corvanta::fuzz {

namespace {

void checkImageComesBack(const ParameterImage& image) {
    const QByteArray text = QJsonDocument(cli::imageToJson(image)).toJson();
    FUZZ_CHECK(!cli::duplicateKey(text).has_value());
    const QJsonObject json = QJsonDocument::fromJson(text).object();
    std::vector<std::string> warnings;
    ParameterImage out;
    out.fill(0x5A);
    FUZZ_CHECK(!cli::imageFromJson(json, nullptr, out, warnings).has_value());
    FUZZ_CHECK(out == image);
    out.fill(0x5A);
    FUZZ_CHECK(!cli::imageFromJson(json, &image, out, warnings).has_value());
    FUZZ_CHECK(out == image);
    // Onto an erased memory: the values arrive, not always their bytes.
    ParameterImage erased;
    erased.fill(0xFF);
    FUZZ_CHECK(!cli::imageFromJson(json, &erased, out, warnings).has_value());
    FUZZ_CHECK(decode(out) == decode(image));
    for (const std::string& w : warnings) FUZZ_CHECK(w.starts_with("installerCode: "));
}

}  // namespace

void paramsJson(Input in) {
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char*>(in.data()), qsizetype(in.size()));
    const QJsonDocument doc = QJsonDocument::fromJson(text);
    if (!doc.isObject()) {
        ParameterImage image{};
        std::copy_n(in.begin(), std::min(in.size(), kImageSize), image.begin());
        checkImageComesBack(image);
        return;
    }

    if (auto twice = cli::duplicateKey(text)) FUZZ_CHECK(!twice->empty() && isUtf8(*twice));
    // Read as a change for many modules: refused in words with nothing
    // given, or some fields, each once.
    {
        ParameterImage values;
        values.fill(0x5A);
        const ParameterImage untouched = values;
        std::vector<const fields::Field*> given;
        if (auto refusal = cli::changeFromJson(doc.object(), values, given)) {
            FUZZ_CHECK(!refusal->empty() && isUtf8(*refusal) && given.empty() && values == untouched);
        } else {
            FUZZ_CHECK(!given.empty());
            std::vector<const fields::Field*> sorted = given;
            std::sort(sorted.begin(), sorted.end());
            FUZZ_CHECK(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end());
            FUZZ_CHECK(std::find(sorted.begin(), sorted.end(), nullptr) == sorted.end());
        }
    }
    std::vector<std::string> warnings;
    ParameterImage image;
    image.fill(0x5A);
    const ParameterImage before = image;
    if (auto refusal = cli::imageFromJson(doc.object(), nullptr, image, warnings)) {
        FUZZ_CHECK(!refusal->empty() && isUtf8(*refusal) && image == before);
        return;
    }
    for (const std::string& w : warnings) FUZZ_CHECK(isUtf8(w));
    // The file onto the image it built changes nothing; what decode prints
    // of that image builds it again.
    ParameterImage again = image;
    FUZZ_CHECK(!cli::imageFromJson(doc.object(), &image, again, warnings).has_value());
    FUZZ_CHECK(again == image);
    checkImageComesBack(image);
}

}  // namespace corvanta::fuzz
