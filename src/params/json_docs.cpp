#include "params/json_docs.h"

#include <vector>

#include "params/event_names.h"
#include "params/field_catalogue.h"
#include "params/image_diff.h"
#include "params/image_layout.h"
#include "params/parameter_image.h"

namespace corvanta {
namespace {

std::string cell(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '|') out += "\\|";
        else out.push_back(c);
    }
    return out;
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    const auto last = s.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

}  // namespace

std::string parametersJsonDocument() {
    const fields::Catalogue& c = fields::catalogue();
    std::vector<const fields::Field*> firstOfKind(c.kinds.size(), nullptr);
    for (const auto& f : c.fields) {
        if (!firstOfKind[f.kind]) firstOfKind[f.kind] = &f;
    }

    std::string doc =
        "# The parameter JSON\n\n"
        "<!-- Written by `corvanta-json-docs docs/parameters-json.md` from the field catalogue; "
        "do not edit by hand. -->\n\n"
        "`corvanta-cli decode IMAGE` prints the working values of a parameter image as one JSON "
        "object, the way the editor shows them; `corvanta-cli encode JSON -o IMAGE` reads the same "
        "object back and refuses a missing key or a value outside its range. `[0..11]` stands for "
        "an array of 12 entries; `zones[2].entryDelay` is the entry delay of the third zone. "
        "`corvanta-cli diff` names changed fields by these paths.\n\n"
        "A drop-down list with nothing selected holds -1. Texts are UTF-8 and must fit the "
        "Windows-1250 code page of the module.\n\n"
        "The bytes no field covers stand under `unmapped`, as hexadecimal digits by the first offset "
        "of each range. `encode` takes them from `--base BASE` when one is given, else from `unmapped`, "
        "else writes them as an erased memory holds them (FF). `diff` counts them in one line, "
        "\"other bytes: N differ\", under the path `unmapped`.\n\n"
        "| Key | Type | Values | Meaning | Editor caption of the first |\n"
        "|---|---|---|---|---|\n";
    for (std::size_t k = 0; k < c.kinds.size(); ++k) {
        const fields::FieldKind& kind = c.kinds[k];
        doc += "| `" + kind.key + "` | " + kind.type + " | " + cell(kind.values) + " | " + cell(kind.meaning) +
               " | " + cell(firstOfKind[k] ? firstOfKind[k]->caption : std::string()) + " |\n";
    }

    for (const layout::ByteRange& r : layout::kPreservedRanges) {
        const std::string key = std::string(kOtherBytesPath) + "." + std::to_string(r.first);
        doc += "| `" + key + "` | string | " + std::to_string(2 * r.length) +
               " hexadecimal digits, two a byte | image bytes " + std::to_string(r.first) + ".." +
               std::to_string(r.first + r.length - 1) +
               ", which no field covers: the module's own, kept as they are | |\n";
    }

    doc += "\n## Rows of `events`\n\nEntry e is the event numbered e + 1.\n\n| Index | Event |\n|---|---|\n";
    for (int e = 0; e < kEventCount; ++e) {
        doc += "| " + std::to_string(e) + " | " + cell(trimmed(eventRowCaption(e))) + " |\n";
    }
    doc += "\n## Rows of `relayRows`\n\n| Index | Trigger |\n|---|---|\n";
    for (int n = 0; n < kRelayRowCount; ++n) {
        doc += "| " + std::to_string(n) + " | " + cell(trimmed(relayRowCaption(n))) + " |\n";
    }
    return doc;
}

}  // namespace corvanta
