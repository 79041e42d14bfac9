#include "transfer/settings_report.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "params/code_fields.h"
#include "params/field_catalogue.h"
#include "params/parameter_codec.h"

namespace corvanta::report {

namespace {

constexpr std::string_view kDot = " \u00b7 ";

// The editor's tabs, and the first part of the key paths each one holds.
struct PageFields {
    const char* title;
    std::vector<std::string_view> roots;
};
const std::array<PageFields, 7>& pages() {
    static const std::array<PageFields, 7> kPages = {{
        {"Zónák", {"nightWalkTime", "zones"}},
        {"Felhasználók", {"installerCode", "users"}},
        {"Események", {"events"}},
        {"Relé kimenetek", {"relayRows", "relays"}},
        {"Telefonszámok & egyéb paraméterek",
         {"phones", "ackModes", "account", "onOffMode", "sirens", "tamperSiren", "alarmMaxTime", "testTime",
          "testPeriod", "zoneAlarmMax", "autoArmHours"}},
        {"Rádiós eszközök beállításai", {"remotes"}},
        {"LCD-Kezelő", {"keypad", "doorChime"}},
    }};
    return kPages;
}

// What a row of check boxes is called on its line, by the key of its kind.
std::string ticksCaption(const std::string& kindKey) {
    if (kindKey.find(".rights") != std::string::npos) return "Jogosultságok";
    if (kindKey.find(".routes") != std::string::npos) return "Jelentés";
    if (kindKey.starts_with("relayRows")) return "Relék";
    if (kindKey.starts_with("doorChime")) return "Bemenetek";
    return "Bekapcsolva";
}

std::string_view rootOf(std::string_view path) { return path.substr(0, path.find_first_of("[.")); }

int pageOf(std::string_view path) {
    const std::string_view root = rootOf(path);
    for (std::size_t p = 0; p < pages().size(); ++p)
        for (std::string_view r : pages()[p].roots)
            if (r == root) return int(p);
    return -1;
}

Section& sectionOf(Page& page, const std::string& title) {
    for (Section& s : page.sections)
        if (s.title == title) return s;
    page.sections.push_back({title, {}});
    return page.sections.back();
}

}  // namespace

std::vector<Page> settingsReport(const ParameterImage& image, bool showCodes) {
    const ParameterValues values = decode(image);
    const fields::Catalogue& catalogue = fields::catalogue();
    std::vector<Page> out;
    for (const PageFields& p : pages()) out.push_back({p.title, {{std::string(), {}}}});

    const std::vector<fields::Field>& all = catalogue.fields;
    for (std::size_t f = 0; f < all.size();) {
        const fields::Field& field = all[f];
        const int p = pageOf(field.path);
        if (p < 0) {
            ++f;
            continue;
        }
        Page& page = out[std::size_t(p)];
        // "3. Zóna · Belépési késlelt.": the row, then the column. A caption
        // that names the page itself belongs to no row.
        const std::size_t dot = field.caption.find(kDot);
        std::string title = dot == std::string::npos ? std::string() : field.caption.substr(0, dot);
        std::string item = dot == std::string::npos ? field.caption : field.caption.substr(dot + kDot.size());
        if (title == page.title) title.clear();
        Section& section = sectionOf(page, title);

        // Check boxes of one kind side by side in the row make one line.
        const fields::FieldKind& kind = catalogue.kinds[field.kind];
        const std::string rowPrefix = dot == std::string::npos ? std::string() : field.caption.substr(0, dot + kDot.size());
        std::size_t end = f + 1;
        if (kind.type == "boolean") {
            while (end < all.size() && all[end].kind == field.kind && all[end].caption.starts_with(rowPrefix)) ++end;
        }
        if (end - f > 1) {
            std::string ticked;
            for (std::size_t k = f; k < end; ++k) {
                if (all[k].show(values) != fields::kChecked) continue;
                const std::size_t d = all[k].caption.find(kDot);
                if (!ticked.empty()) ticked += ", ";
                ticked += d == std::string::npos ? all[k].caption : all[k].caption.substr(d + kDot.size());
            }
            section.rows.push_back({ticksCaption(kind.key), ticked.empty() ? kNoneTicked : ticked});
        } else {
            std::string value = field.show(values);
            if (codes::isCodePath(field.path)) value = codes::shownCode(value, showCodes);
            section.rows.push_back({item, value});
        }
        f = end;
    }
    for (Page& page : out) {
        // A setting named like a row of the page ("1. Telefonszám", whose
        // acknowledgement is a row of its own) joins that row, first.
        std::vector<Row>& general = page.sections.front().rows;
        for (auto r = general.begin(); r != general.end();) {
            auto owner = std::find_if(page.sections.begin() + 1, page.sections.end(),
                                      [&](const Section& s) { return s.title == r->caption; });
            if (owner == page.sections.end()) {
                ++r;
                continue;
            }
            const std::size_t ordinal = r->caption.find(". ");
            owner->rows.insert(owner->rows.begin(),
                               {ordinal == std::string::npos ? r->caption : r->caption.substr(ordinal + 2), r->value});
            r = general.erase(r);
        }
        // A page without settings of its own starts with its first row.
        if (general.empty()) page.sections.erase(page.sections.begin());
    }
    return out;
}

}  // namespace corvanta::report
