#include "params/code_fields.h"

#include <algorithm>

#include "params/field_catalogue.h"
#include "params/image_layout.h"

namespace corvanta::codes {

namespace {

constexpr const char* kNotCompared = ": elt\u00e9r, nem hasonl\u00edtva";

bool differsAt(std::span<const std::uint8_t> module, const ParameterImage& image, std::size_t offset) {
    if (offset + kCodeBytes > module.size()) return false;
    return !std::equal(module.begin() + std::ptrdiff_t(offset), module.begin() + std::ptrdiff_t(offset + kCodeBytes),
                       image.begin() + std::ptrdiff_t(offset));
}

std::size_t userCodeOffset(int u) { return layout::userOffset(std::size_t(u)) + layout::kUserCodeRel; }

std::string line(const std::string& path) {
    const fields::Field* field = fields::fieldAt(path);
    return (field ? field->caption : path) + " (" + path + ")" + kNotCompared;
}

}  // namespace

bool isCodePath(std::string_view path) {
    // Only paths the catalogue knows: "users[1x].code" is none.
    const fields::Field* field = fields::fieldAt(path);
    return field && (field->path == "installerCode" ||
                     (field->path.starts_with("users[") && field->path.ends_with("].code")));
}

bool isCodeByte(std::size_t imageOffset) {
    for (int u = 0; u < kUserCount; ++u) {
        const std::size_t first = userCodeOffset(u);
        if (imageOffset >= first && imageOffset < first + kCodeBytes) return true;
    }
    return imageOffset >= layout::kInstallerCode && imageOffset < layout::kInstallerCode + kCodeBytes;
}

std::string shownCode(std::string_view code, bool showCodes) {
    if (showCodes) return std::string(code);
    const bool anyDigit = std::any_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
    return anyDigit ? std::string(kHidden) : std::string(code);
}

CodeDifferences codeDifferences(std::span<const std::uint8_t> module, const ParameterImage& image) {
    CodeDifferences d;
    for (int u = 0; u < kUserCount; ++u)
        if (differsAt(module, image, userCodeOffset(u))) d.users.push_back(u);
    d.installer = differsAt(module, image, layout::kInstallerCode);
    return d;
}

std::vector<std::string> codeDifferenceLines(const CodeDifferences& differences) {
    std::vector<std::string> lines;
    // In the catalogue's order: the installer code comes first.
    if (differences.installer) lines.push_back(line("installerCode"));
    for (int u : differences.users) lines.push_back(line("users[" + std::to_string(u) + "].code"));
    return lines;
}

void hideCodes(ParameterValues& values) {
    for (UserRecord& user : values.users) user.code = shownCode(user.code, false);
    values.installerCode = shownCode(values.installerCode, false);
}

}  // namespace corvanta::codes
