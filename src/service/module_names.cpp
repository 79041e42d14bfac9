#include "service/module_names.h"

#include "params/image_layout.h"
#include "params/win1250.h"

namespace corvanta {

namespace {

const std::string kNoName;

std::string nameAt(const ModuleNames::Source& blocks, std::size_t offset, std::size_t length) {
    std::string bytes;
    for (std::size_t k = offset; k < offset + length; ++k)
        if (blocks[k] != 0) bytes.push_back(char(blocks[k]));
    return ' ' + fromWin1250(bytes);
}

}  // namespace

ModuleNames ModuleNames::fromBlocks(const Source& blocks) {
    using namespace layout;
    // The names buffer is the image's first three blocks, so the image's
    // byte map applies as it stands.
    static_assert(zoneOffset(kZones - 1) + kZoneNameRel + kZoneNameLength <= kSourceSize);
    ModuleNames names;
    for (int u = 0; u < kUsers; ++u)
        names.names_[u] = nameAt(blocks, userOffset(u) + kUserNameRel, kUserNameLength);
    for (int z = 0; z < kZones; ++z)
        names.names_[kUsers + z] = nameAt(blocks, zoneOffset(z) + kZoneNameRel, kZoneNameLength);
    return names;
}

const std::string& ModuleNames::userName(int u) const {
    return u >= 1 && u <= kUsers ? names_[u - 1] : kNoName;
}

const std::string& ModuleNames::zoneName(int z) const {
    return z >= 1 && z <= kZones ? names_[kUsers + z - 1] : kNoName;
}

bool ModuleNames::isBlank(std::string_view name) {
    return name.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace corvanta
