#pragma once
// The working values of a parameter image as JSON, the way corvanta-cli
// prints and reads them. Values appear as the editor shows them after decode.

#include <QJsonObject>

#include <optional>
#include <string>

#include "params/working_records.h"

namespace corvanta::cli {

QJsonObject valuesToJson(const ParameterValues& values);

// Fills `out` from `json`. Every key must be present and every value within
// its control's range or items; unknown keys are ignored. On failure returns
// the offending key (such as "zones[3].entryDelay") with the reason, and
// `out` is left in an unspecified state.
std::optional<std::string> valuesFromJson(const QJsonObject& json, ParameterValues& out);

}  // namespace corvanta::cli
