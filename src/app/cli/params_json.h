#pragma once
// A parameter image as JSON, the way corvanta-cli prints and reads it. Values
// appear as the editor shows them after decode; beside them stand the bits
// the values cannot say, so that reading what was printed gives back the
// image byte for byte.

#include <QByteArrayView>
#include <QJsonObject>

#include <optional>
#include <string>
#include <vector>

#include "params/field_catalogue.h"
#include "params/parameter_image.h"
#include "params/working_records.h"

namespace corvanta::cli {

QJsonObject valuesToJson(const ParameterValues& values);

// The bits no field holds. Key "unmapped": an object with one member per
// preserved range, named after its first offset in decimal, holding its
// bytes as upper-case hex digits, two per byte; and one member for each byte
// of a field whose unused bits (of a flag word or relay bitmap) are not 0,
// holding that byte with the field bits as 0:
//   "unmapped": {"1645": "FF..(52 digits)", "1901": "..(6)", "1906": "..(284)", "426": "FE"}
QJsonObject unmappedToJson(const ParameterImage& image);
// Puts those bits into `image`. A range left out keeps what `image` holds, a
// byte left out keeps its field bits; an unknown offset, a wrong length, a
// non-hex digit or a field bit is refused, naming the key, and `image` is
// left as it was.
std::optional<std::string> unmappedFromJson(const QJsonValue& json, ParameterImage& image);
inline constexpr const char* kUnmappedKey = "unmapped";

// The fields whose stored bits their value cannot say (see
// params/out_of_format.h), by key path, each holding the field's bytes as
// hex digits: "outOfFormat": {"zones[2].smartZoneTime": "28", "testTime": "FFFF"}.
QJsonObject outOfFormatToJson(const ParameterImage& image);

// All of the above in one object: what `decode` prints.
QJsonObject imageToJson(const ParameterImage& image);

// The key path of the first key that stands twice in one object of `json`
// ("zones[2].name"), or nullopt. `json` must be valid JSON.
std::optional<std::string> duplicateKey(QByteArrayView json);

// Builds the image `json` describes, what `encode` writes. With a base, only
// the fields whose value differs from the one the base shows are written,
// and everything else is the base's; without one, every field is written and
// the bits no field holds come from "unmapped" (absent: FF for whole bytes,
// 0 for unused bits). A field listed under "outOfFormat" whose value is the
// one its bytes show is written as those bytes.
//
// Every key must be present and known, every value within its control's
// range or items. A code or test time the editor would refuse as typed is
// refused too, unless it is what the image holds (the base's, or its
// outOfFormat bytes'): a round trip is never refused, and the ones `write`
// would refuse (an installer code that is not 4 or 6 digits) add a warning.
// On refusal returns the key (such as "zones[3].entryDelay") with the reason,
// and `out` is left as it was.
std::optional<std::string> imageFromJson(const QJsonObject& json, const ParameterImage* base,
                                         ParameterImage& out, std::vector<std::string>& warnings);

// A change: some of the values decode prints, under its keys, the others
// left out; an array may stop early, and null stands for an entry left as it
// is ({"phones": [null, "0612345678"], "account": "1A2B"}). What is given is
// checked as imageFromJson checks it, and a code or test time must pass the
// editor's rule; "unmapped" and "outOfFormat" have no place in a change. On
// success `given` holds the fields given (by key, as JSON objects keep them), and
// `values` holds each of them by its rule (its other bits mean nothing);
// on refusal the key with the reason.
std::optional<std::string> changeFromJson(const QJsonObject& json, ParameterImage& values,
                                          std::vector<const fields::Field*>& given);

}  // namespace corvanta::cli
