#include "params/json_docs.h"

#include <vector>

#include "params/event_names.h"
#include "params/field_catalogue.h"
#include "params/hex_digits.h"
#include "params/image_diff.h"
#include "params/image_layout.h"
#include "params/out_of_format.h"
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
        "object back into the same image, byte for byte, and refuses a missing or unknown key, a key "
        "given twice and a value outside its range. `[0..11]` stands for "
        "an array of 12 entries; `zones[2].entryDelay` is the entry delay of the third zone. "
        "`corvanta-cli diff` names changed fields by these paths.\n\n"
        "A drop-down list with nothing selected holds -1. Texts are UTF-8 and must fit the "
        "Windows-1250 code page of the module.\n\n"
        "Two members carry what the values cannot say, as hexadecimal digits, two a byte:\n\n"
        "- `unmapped` holds the bits no field holds: the bytes no field covers, by the first offset of "
        "each range, and the unused bits of a flag word or relay bitmap, by the offset of their byte "
        "(the field bits written 0), where they are not 0.\n"
        "- `" + std::string(kOutOfFormatKey) + "` holds, by key path, the bytes of each field whose stored "
        "bytes lie outside its format (a smart zone time of 40, which shows as 25; an erased test time FF FF, "
        "which shows as \"99:99\"; a name with a NUL byte in it) or whose value the editor would refuse "
        "as typed (an installer code \"******\", a user code with letters). While the value beside it is "
        "the one these bytes show, `encode` stores the bytes as they are; a value that was changed is "
        "stored by its field's rule, and `encode` warns that the bytes were not used.\n\n"
        "`encode --base BASE` writes only the fields whose value differs from the one BASE shows; every "
        "other bit stays as BASE holds it, its bits no field holds too. Without a base every field is "
        "written and the bits no field holds come from `unmapped`, else are FF for the bytes no field "
        "covers (an erased memory) and 0 for unused bits.\n\n"
        "The code rule (4 or 6 digits, or \"******\" for a user without one) and the test time rule "
        "(hours 0-23, minutes 0-59) hold for values that differ from what the image holds, the base's or "
        "the bytes under `" + std::string(kOutOfFormatKey) + "`; a value the image holds is taken as it is, "
        "with a warning where `write` would refuse the image (an installer code that is not 4 or 6 "
        "digits). `diff` counts the bytes that differ in bits no field holds in one line, \"other bytes: N "
        "differ\", under the path `unmapped`.\n\n"
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

    const auto& held = fields::fieldBits();
    const auto unusedBits = [&](std::size_t offset) {
        const std::uint8_t unused = static_cast<std::uint8_t>(~held[offset]);
        return std::string{'0', 'x', kHexDigits[unused >> 4], kHexDigits[unused & 0x0F]};
    };
    const std::size_t routes = layout::eventOffset(0) + layout::kEventRoutesRel;
    std::string bitmaps;
    for (std::size_t r = 0; r < kRelayCount; ++r) {
        for (std::size_t rel : {layout::kRelayOnRel, layout::kRelayOffRel}) {
            const std::size_t last = layout::relayOffset(r) + rel + layout::kRelayBitmapSize - 1;
            bitmaps += (bitmaps.empty() ? "" : ", ") + std::to_string(last);
        }
    }
    doc += "| `" + std::string(kOtherBytesPath) + ".OFFSET` | string | 2 hexadecimal digits, the field bits 0 | "
           "unused bits of the byte at OFFSET: " + std::to_string(routes) + " + " +
           std::to_string(layout::kEventSize) + "·e, the first byte of event e's report routes (" +
           unusedBits(routes) + "); " + bitmaps + ", the last bytes of the relay bitmaps (" +
           unusedBits(layout::relayOffset(0) + layout::kRelayBitmapSize - 1) + "); " +
           std::to_string(layout::kDoorChime) + ", the first byte of the door chime (" +
           unusedBits(layout::kDoorChime) + "). Printed where they are not 0 | |\n";
    doc += "| `" + std::string(kOutOfFormatKey) + ".PATH` | string | the field's bytes, two hexadecimal digits "
           "a byte | the stored bytes of the field at key path PATH, where its value cannot say them | |\n";

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
