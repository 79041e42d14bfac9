#include "link/coded_command.h"

#include <array>

#include "link/installer_code.h"

namespace corvanta {

namespace {
constexpr std::array<std::string_view, 10> kWords = {
    "RPWD", "RPWS", "RPWE", "RSTP", "PT1D", "PT2D", "PT1A", "PT2A", "RPWF", "DLRF"};
}

std::optional<std::string> codedCommandLine(CodedCommand command, std::string_view codeFieldText) {
    std::string line;
    if (command < kWords.size()) {
        line = kWords[command];
    } else if (command >= coded::TeachChannel0 &&
               command < coded::TeachChannel0 + coded::kTeachChannels) {
        line = "TRF";
        line.push_back(static_cast<char>('0' + (command - coded::TeachChannel0)));
    } else {
        return std::nullopt;
    }
    return line + encodeInstallerCode(installerCodeDigits(codeFieldText));
}

}  // namespace corvanta
