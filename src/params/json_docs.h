#pragma once
// The documentation of the JSON that corvanta-cli decode prints and encode
// reads (docs/parameters-json.md), written from the field catalogue so that
// it says what the codec does.

#include <string>

namespace corvanta {

std::string parametersJsonDocument();

}  // namespace corvanta
