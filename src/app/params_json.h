#pragma once
// The working values of a parameter image as JSON, the way corvanta-cli
// prints and reads them. Values appear as the editor shows them after decode.

#include <QJsonObject>

#include <optional>
#include <string>

#include "params/parameter_image.h"
#include "params/working_records.h"

namespace corvanta::cli {

QJsonObject valuesToJson(const ParameterValues& values);

// The bytes no field covers, so that decode and encode carry the whole
// image. Key "unmapped": an object with one member per preserved range,
// named after its first offset in decimal, holding its bytes as upper-case
// hex digits, two per byte:
//   "unmapped": {"1645": "FF..(52 digits)", "1901": "..(6)", "1906": "..(284)"}
QJsonObject unmappedToJson(const ParameterImage& image);
// Puts those bytes into `image`. A range left out keeps what `image` holds;
// an unknown range, a wrong length or a non-hex digit is refused, naming
// the key.
std::optional<std::string> unmappedFromJson(const QJsonValue& json, ParameterImage& image);
inline constexpr const char* kUnmappedKey = "unmapped";

// Fills `out` from `json`. Every key must be present and every value within
// its control's range or items; unknown keys are ignored. On failure returns
// the offending key (such as "zones[3].entryDelay") with the reason, and
// `out` is left in an unspecified state.
std::optional<std::string> valuesFromJson(const QJsonObject& json, ParameterValues& out);

}  // namespace corvanta::cli
