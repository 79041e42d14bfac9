#include "params/field_catalogue.h"

#include <map>

#include "params/control_table.h"
#include "params/event_names.h"
#include "params/field_codecs.h"
#include "params/field_rules.h"
#include "params/image_layout.h"

namespace corvanta::fields {
namespace {

namespace ctl = controls;
namespace lay = layout;
using V = ParameterValues;
using Show = std::function<std::string(const V&)>;
using std::to_string;

const std::string kDot = " \u00b7 ";

// Item captions carry blanks for their place on the page; shown alone they
// are trimmed and every run of blanks becomes one.
std::string tidy(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out.push_back(c);
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string item(const ctl::ItemList& list, int index) {
    if (index < 0 || index >= list.count()) return kNotSelected;
    return tidy(list.items[static_cast<std::size_t>(index)]);
}

std::string flag(bool on) { return on ? kChecked : kUnchecked; }

std::string range(const ctl::SpinRange& r, const char* unit = "") {
    return to_string(r.min) + ".." + to_string(r.max) + (*unit ? std::string(" ") + unit : "");
}

std::string itemsText(const ctl::ItemList& list) {
    std::string s;
    for (int i = 0; i < list.count(); ++i) {
        if (i) s += "; ";
        s += to_string(i) + " = " + tidy(list.items[static_cast<std::size_t>(i)]);
    }
    return s;
}

std::string choice(const ctl::ItemList& list) { return itemsText(list); }
std::string dropDown(const ctl::ItemList& list) { return "-1 = none; " + itemsText(list); }
std::string checks(const ctl::ItemList& list) { return "true = checked; item " + itemsText(list); }

std::string rowCaption(int index, const char* what) { return to_string(index + 1) + what; }

// Bit i of a big-endian flag word at `offset`: bits 8..15 in its first byte.
struct Bit {
    std::size_t offset;
    std::uint8_t mask;
};
Bit flagWordBit(std::size_t offset, int i) {
    if (i >= 8) return {offset, static_cast<std::uint8_t>(1u << (i - 8))};
    return {offset + 1, static_cast<std::uint8_t>(1u << i)};
}

class Builder {
public:
    explicit Builder(Catalogue& c) : c_(c) {}

    std::size_t kind(std::string key, std::string type, std::string values, std::string meaning) {
        c_.kinds.push_back({std::move(key), std::move(type), std::move(values), std::move(meaning)});
        return c_.kinds.size() - 1;
    }

    void field(std::size_t kind, std::string path, std::string caption, std::size_t offset,
               std::size_t length, std::uint8_t mask, bool text, Show show) {
        c_.fields.push_back(
            {std::move(path), std::move(caption), kind, offset, length, mask, text, std::move(show), {}});
    }
    void byte(std::size_t kind, std::string path, std::string caption, std::size_t offset, Show show) {
        field(kind, std::move(path), std::move(caption), offset, 1, 0xFF, false, std::move(show));
    }
    void bit(std::size_t kind, std::string path, std::string caption, Bit bit, Show show) {
        field(kind, std::move(path), std::move(caption), bit.offset, 1, bit.mask, false, std::move(show));
    }
    void text(std::size_t kind, std::string path, std::string caption, std::size_t offset,
              std::size_t length, Show show) {
        field(kind, std::move(path), std::move(caption), offset, length, 0xFF, true, std::move(show));
    }
    // The field added last is checked as it is typed.
    void typedCheck(std::function<bool(const V&)> passes) { c_.fields.back().passesTypedCheck = std::move(passes); }

private:
    Catalogue& c_;
};

void addTopOfZones(Builder& b) {
    const auto code = b.kind("installerCode", "string", "4 or 6 digits; \"******\" = no code",
                             "installer code");
    b.text(code, "installerCode", "Felhasználók" + kDot + "Telepítői kód", lay::kInstallerCode, 3,
           [](const V& v) { return v.installerCode; });
    b.typedCheck([](const V& v) { return isAcceptableCode(v.installerCode, CodeKind::Installer); });
    const auto walk = b.kind("nightWalkTime", "number", range(ctl::edNightDelay, "minutes"),
                             "night walk time");
    b.byte(walk, "nightWalkTime", "Zónák" + kDot + "Éjszakai séta időtartam", lay::kNightWalkTime,
           [](const V& v) { return to_string(v.nightWalkTime); });
}

void addZones(Builder& b) {
    const std::string key = "zones[0.." + to_string(kZoneCount - 1) + "].";
    struct Number {
        const char* name;
        const char* caption;
        std::string values;
        const char* meaning;
        std::size_t rel;
        int ZoneRecord::*member;
        std::size_t kind = 0;
    };
    Number numbers[] = {
        {"sensitivity", "Zóna érzékenység", range(ctl::edZonaErz, "tenths of a second"), "sensitivity",
         lay::kZoneSensitivityRel, &ZoneRecord::sensitivity},
        {"entryDelay", "Belépési késlelt.", range(ctl::edZonaBeKesl, "seconds"), "entry delay",
         lay::kZoneEntryDelayRel, &ZoneRecord::entryDelay},
        {"exitDelay", "Kilépési késlelt.", range(ctl::edZonaKiKesl, "seconds"), "exit delay",
         lay::kZoneExitDelayRel, &ZoneRecord::exitDelay},
        {"smartZoneTime", "Intelligens zóna", range(ctl::edZonaIntel, "minutes"), "smart zone time",
         lay::kZoneSmartTimeRel, &ZoneRecord::smartZoneTime},
        {"coverTime", "Zóna takarás idő", range(ctl::edZonaCover, "minutes"), "zone cover time",
         lay::kZoneCoverTimeRel, &ZoneRecord::coverTime},
    };
    struct Choice {
        const char* name;
        const char* caption;
        const ctl::ItemList& list;
        bool dropDown;
        const char* meaning;
        std::size_t rel;
        int ZoneRecord::*member;
        std::size_t kind = 0;
    };
    Choice choices[] = {
        {"inputType", "Bekötés", ctl::rgZonaBek, false, "input wiring", lay::kZoneInputTypeRel,
         &ZoneRecord::inputType},
        {"partition", "Partíció", ctl::rgZonaPart, false, "partition", lay::kZonePartitionRel,
         &ZoneRecord::partition},
        {"nightSetting", "Éjszakai zóna beállítás", ctl::cbNightSet, true, "behaviour while night-armed",
         lay::kZoneNightSettingRel, &ZoneRecord::nightSetting},
    };
    struct Flag {
        const char* name;
        const char* caption;
        const char* meaning;
        bool ZoneRecord::*member;
        std::size_t kind = 0;
    };
    Flag flags[] = {
        {"silent", "Csendes zóna", "silent zone (byte = 1)", &ZoneRecord::silent},
        {"follower", "Követő zóna", "follower zone (byte = 1)", &ZoneRecord::follower},
        {"bypass", "Bypass", "zone bypassed (byte = 1)", &ZoneRecord::bypass},
    };

    const auto name = b.kind(key + "name", "string", "up to 10 characters (Windows-1250)", "zone name");
    for (auto& n : numbers) n.kind = b.kind(key + n.name, "number", n.values, n.meaning);
    for (auto& c : choices)
        c.kind = b.kind(key + c.name, "number", c.dropDown ? dropDown(c.list) : choice(c.list), c.meaning);
    for (auto& f : flags) f.kind = b.kind(key + f.name, "boolean", "true, false", f.meaning);

    for (int z = 0; z < kZoneCount; ++z) {
        const std::string path = "zones[" + to_string(z) + "].";
        const std::string row = rowCaption(z, ". Zóna") + kDot;
        const std::size_t base = lay::zoneOffset(std::size_t(z));
        b.text(name, path + "name", row + "Zóna neve", base + lay::kZoneNameRel, lay::kZoneNameLength,
               [z](const V& v) { return v.zones[z].name; });
        for (const auto& c : choices) {
            b.byte(c.kind, path + c.name, row + c.caption, base + c.rel,
                   [z, &list = c.list, m = c.member](const V& v) { return item(list, v.zones[z].*m); });
        }
        for (const auto& n : numbers) {
            b.byte(n.kind, path + n.name, row + n.caption, base + n.rel,
                   [z, m = n.member](const V& v) { return to_string(v.zones[z].*m); });
        }
        const std::size_t flagOffsets[] = {base + lay::kZoneSilentRel, base + lay::kZoneFollowerRel,
                                           lay::kBypassBase + std::size_t(z)};
        for (std::size_t i = 0; i < std::size(flags); ++i) {
            b.byte(flags[i].kind, path + flags[i].name, row + flags[i].caption, flagOffsets[i],
                   [z, m = flags[i].member](const V& v) { return flag(v.zones[z].*m); });
        }
    }
}

void addUsers(Builder& b) {
    const std::string key = "users[0.." + to_string(kUserCount - 1) + "].";
    const auto name = b.kind(key + "name", "string", "up to 10 characters (Windows-1250)", "user name");
    const auto code = b.kind(key + "code", "string", "4 or 6 digits; \"******\" = no code", "user code");
    const auto rights = b.kind(key + "rights[0..15]", "boolean", checks(ctl::cblUserRights),
                               "rights of the user, one per item");
    for (int u = 0; u < kUserCount; ++u) {
        const std::string path = "users[" + to_string(u) + "].";
        const std::string row = rowCaption(u, ". Felhasználó") + kDot;
        const std::size_t base = lay::userOffset(std::size_t(u));
        b.text(name, path + "name", row + "Felhasználó neve", base + lay::kUserNameRel, lay::kUserNameLength,
               [u](const V& v) { return v.users[u].name; });
        b.text(code, path + "code", row + "Azonosító kódja", base + lay::kUserCodeRel, 3,
               [u](const V& v) { return v.users[u].code; });
        b.typedCheck([u](const V& v) { return isAcceptableCode(v.users[u].code, CodeKind::User); });
        for (int i = 0; i < ctl::cblUserRights.count(); ++i) {
            b.bit(rights, path + "rights[" + to_string(i) + "]",
                  row + tidy(ctl::cblUserRights.items[std::size_t(i)]),
                  flagWordBit(base + lay::kUserRightsRel, i),
                  [u, i](const V& v) { return flag(v.users[u].rights[std::size_t(i)]); });
        }
    }
}

void addEvents(Builder& b) {
    const std::string key = "events[0.." + to_string(kEventCount - 1) + "].";
    const auto contactId = b.kind(key + "contactId", "string",
                                  "three hexadecimal digits separated by blanks, such as \"1 3 A\"",
                                  "Contact-ID event code");
    static constexpr std::string_view kRoutes[] = {"T1", "T2", "T3", "T4", "S1",
                                                   "S2", "S3", "S4", "Közp."};
    std::string routeItems = "true = reported; item ";
    for (std::size_t i = 0; i < std::size(kRoutes); ++i) {
        routeItems += (i ? "; " : "") + to_string(i) + " = " + std::string(kRoutes[i]);
    }
    const auto routes = b.kind(key + "routes[0..8]", "boolean", routeItems,
                               "report routes: telephone calls T1..T4, SMS S1..S4, central station");
    const auto sms = b.kind(key + "sms", "string", "up to 20 characters (Windows-1250)",
                            "SMS text; the module puts the zone or user name for $ and its number for #");
    const auto voice = b.kind(key + "voice", "number", range(ctl::edHanguz), "voice message number");
    for (int e = 0; e < kEventCount; ++e) {
        const std::string path = "events[" + to_string(e) + "].";
        const std::string row = tidy(eventRowCaption(e)) + kDot;
        const std::size_t base = lay::eventOffset(std::size_t(e));
        // The digit is the low nibble, but the code is stored as whole bytes:
        // a high nibble that is not 0 lies outside the format and goes with
        // the field.
        b.text(contactId, path + "contactId", row + "Contact-ID kód", base + lay::kEventContactIdRel, 3,
               [e](const V& v) { return v.events[e].contactId; });
        for (int i = 0; i < ctl::kEventRouteCount; ++i) {
            b.bit(routes, path + "routes[" + to_string(i) + "]", row + std::string(kRoutes[i]),
                  flagWordBit(base + lay::kEventRoutesRel, i),
                  [e, i](const V& v) { return flag(v.events[e].routes[std::size_t(i)]); });
        }
        b.text(sms, path + "sms", row + "SMS üzenet", base + lay::kEventSmsRel, lay::kEventSmsLength,
               [e](const V& v) { return v.events[e].sms; });
        b.byte(voice, path + "voice", row + "Hangüzenet sorszáma", base + lay::kEventVoiceRel,
               [e](const V& v) { return to_string(v.events[e].voice); });
    }
}

void addRelays(Builder& b) {
    static constexpr const ctl::ItemList* kLists[] = {&ctl::cblR12, &ctl::cblR34, &ctl::cblR56};
    std::string items = "true = the row switches the relay; item ";
    std::vector<std::string> triggerCaptions;
    for (const auto* list : kLists) {
        for (int j = 0; j < list->count(); ++j) {
            items += (triggerCaptions.empty() ? "" : "; ") + to_string(triggerCaptions.size()) + " = " +
                     tidy(list->items[std::size_t(j)]);
            triggerCaptions.push_back(tidy(list->items[std::size_t(j)]));
        }
    }
    const auto rows = b.kind("relayRows[0.." + to_string(kRelayRowCount - 1) + "][0..5]", "boolean", items,
                             "relay triggers; row 0 is telephone control, row n (1..59) event n of the "
                             "event name list");
    for (int n = 0; n < kRelayRowCount; ++n) {
        const std::string row = tidy(relayRowCaption(n)) + kDot;
        for (int k = 0; k < 2 * kRelayCount; ++k) {
            const std::size_t bitmap = lay::relayOffset(std::size_t(k / 2)) +
                                       (k % 2 ? lay::kRelayOffRel : lay::kRelayOnRel);
            b.bit(rows, "relayRows[" + to_string(n) + "][" + to_string(k) + "]", row + triggerCaptions[k],
                  {bitmap + std::size_t(n / 8), static_cast<std::uint8_t>(1u << (n % 8))},
                  [n, k](const V& v) { return flag(v.relayRows[n].triggers[std::size_t(k)]); });
        }
    }

    const std::string key = "relays[0.." + to_string(kRelayCount - 1) + "].";
    const auto delay = b.kind(key + "startDelay", "number", range(ctl::edREL1delay, "seconds"),
                              "relay start delay");
    const auto time = b.kind(key + "maxTime", "number", range(ctl::edREL1time, "seconds"),
                             "relay maximum on-time");
    for (int r = 0; r < kRelayCount; ++r) {
        const std::string path = "relays[" + to_string(r) + "].";
        const std::string row = "RELE " + to_string(r + 1) + kDot;
        const std::size_t base = lay::relayOffset(std::size_t(r));
        b.byte(delay, path + "startDelay", row + "Start késleltetés", base + lay::kRelayDelayRel,
               [r](const V& v) { return to_string(v.relays[r].startDelay); });
        b.byte(time, path + "maxTime", row + "Maximális időtartam", base + lay::kRelayTimeRel,
               [r](const V& v) { return to_string(v.relays[r].maxTime); });
    }
}

void addTelephonePage(Builder& b) {
    static constexpr const char* kPhoneCaptions[] = {"1. Telefonszám", "2. Telefonszám", "3. Telefonszám",
                                                     "4. Telefonszám", "1. Központ tel.", "2. Központ tel.",
                                                     "SMS továbbítás"};
    const auto phones = b.kind("phones[0.." + to_string(kPhoneCount - 1) + "]", "string",
                               "up to 16 digits, a blank for an empty cell",
                               "telephone numbers 1..4, central station 1 and 2, SMS forwarding");
    for (int p = 0; p < kPhoneCount; ++p) {
        b.text(phones, "phones[" + to_string(p) + "]", kPhoneCaptions[p], lay::phoneOffset(std::size_t(p)),
               lay::kPhoneSize, [p](const V& v) { return gridCellsText(v.phones[std::size_t(p)]); });
    }
    const auto acks = b.kind("ackModes[0..3]", "number", dropDown(ctl::cbACK1),
                             "acknowledgement mode of telephone numbers 1..4");
    for (int i = 0; i < int(lay::kAckModeCount); ++i) {
        b.byte(acks, "ackModes[" + to_string(i) + "]", std::string(kPhoneCaptions[i]) + kDot + "Nyugtázás",
               lay::kAckModes + std::size_t(i),
               [i](const V& v) { return item(ctl::kAckLists[i], v.ackModes[std::size_t(i)]); });
    }
    const auto account = b.kind("account", "string", "up to 4 hexadecimal digits, a blank for an empty cell",
                                "customer account");
    b.text(account, "account", "Ügyfél azonosító", lay::kAccount, lay::kAccountLength,
           [](const V& v) { return gridCellsText(v.account); });
    const auto onOff = b.kind("onOffMode", "number", range(ctl::edOnOffMode),
                              "arm/disarm mode of inputs A and B");
    b.byte(onOff, "onOffMode", "Élesítés és kikapcsolás módja az A és B bemeneteken", lay::kOnOffMode,
           [](const V& v) { return to_string(v.onOffMode); });

    const std::string key = "sirens[0.." + to_string(kSirenCount - 1) + "].";
    const auto mode = b.kind(key + "mode", "number", dropDown(ctl::cbOUT1mode), "siren output mode");
    const auto delay = b.kind(key + "startDelay", "number", range(ctl::edOUT1delay, "seconds"),
                              "siren output start delay");
    const auto time = b.kind(key + "maxTime", "number", range(ctl::edOUT1time, "minutes"),
                             "siren output maximum time");
    for (int s = 0; s < kSirenCount; ++s) {
        const std::string path = "sirens[" + to_string(s) + "].";
        const std::string row = "OUT " + to_string(s + 1) + kDot;
        const std::size_t base = lay::sirenOffset(std::size_t(s));
        b.byte(mode, path + "mode", row + "Üzemmód", base + lay::kSirenModeRel,
               [s](const V& v) { return item(ctl::kOutModes[s], v.sirens[s].mode); });
        b.byte(delay, path + "startDelay", row + "Start késleltetés", base + lay::kSirenDelayRel,
               [s](const V& v) { return to_string(v.sirens[s].startDelay); });
        b.byte(time, path + "maxTime", row + "Maximális időtartam", base + lay::kSirenTimeRel,
               [s](const V& v) { return to_string(v.sirens[s].maxTime); });
    }

    const auto tamper = b.kind("tamperSiren", "boolean", "true, false",
                               "tamper drives OUT1 and OUT2 also when disarmed (byte non-zero)");
    b.byte(tamper, "tamperSiren", "Szabotázs esetén OUT1, OUT2 kikapcsolt állapotnál is jelez",
           lay::kTamperSiren, [](const V& v) { return flag(v.tamperSiren); });
    const auto alarmMax = b.kind("alarmMaxTime", "number", range(ctl::edAlarmMax, "minutes"),
                                 "maximum alarm time");
    b.byte(alarmMax, "alarmMaxTime", "A riasztás maximális ideje", lay::kAlarmMaxTime,
           [](const V& v) { return to_string(v.alarmMaxTime); });
    const auto testTime = b.kind("testTime", "string", "\"hh:mm\"", "time of the test report");
    b.text(testTime, "testTime", "Tesztjelentés időpontja", lay::kTestHour, 2,
           [](const V& v) { return v.testTime; });
    b.typedCheck([](const V& v) { return normalTestTime(v.testTime) == v.testTime; });
    const auto testPeriod = b.kind("testPeriod", "number", range(ctl::edTesztGyak, "days"),
                                   "test report period");
    b.byte(testPeriod, "testPeriod", "Tesztjelentés gyakorisága", lay::kTestPeriod,
           [](const V& v) { return to_string(v.testPeriod); });
    const auto zoneAlarms = b.kind("zoneAlarmMax", "number", range(ctl::edZoneAlarmMax) + "; 0 = unlimited",
                                   "maximum alarms sent from one zone");
    b.byte(zoneAlarms, "zoneAlarmMax", "Egy zónáról küldhető riasztások maximális száma", lay::kZoneAlarmMax,
           [](const V& v) { return to_string(v.zoneAlarmMax); });
    const auto autoArm = b.kind("autoArmHours", "number", range(ctl::edAutoArm, "hours") + "; 0 = off",
                                "automatic arming after no movement");
    b.byte(autoArm, "autoArmHours", "Automatikus élesítés adott idő után, ha nincs mozgás", lay::kAutoArmHours,
           [](const V& v) { return to_string(v.autoArmHours); });
}

void addRemotes(Builder& b) {
    const auto buttons = b.kind("remotes[0.." + to_string(kRemoteCount - 1) + "][0..3]", "number",
                                dropDown(ctl::cbRFButtA),
                                "function of push buttons 1..4 of each radio remote control");
    for (int r = 0; r < kRemoteCount; ++r) {
        const std::string row = rowCaption(r, ". Felhasználó") + kDot;
        for (int k = 0; k < kRemoteButtonCount; ++k) {
            b.bit(buttons, "remotes[" + to_string(r) + "][" + to_string(k) + "]",
                  row + to_string(k + 1) + ". nyomógomb",
                  {lay::remoteOffset(std::size_t(r)) + std::size_t(k / 2), std::uint8_t(k % 2 ? 0x0F : 0xF0)},
                  [r, k](const V& v) { return item(ctl::kRFButtons[k], v.remotes[r].buttons[std::size_t(k)]); });
        }
    }
}

void addKeypad(Builder& b) {
    const auto light = b.kind("keypad.backlight", "number", choice(ctl::rgKEYPAD_LIGHT), "keypad backlight");
    b.byte(light, "keypad.backlight", "Háttérvilágítás", lay::kKeypadBacklight,
           [](const V& v) { return item(ctl::rgKEYPAD_LIGHT, v.keypad.backlight); });
    struct Option {
        const char* name;
        const char* caption;
        const char* meaning;
        std::size_t offset;
        bool KeypadSettings::*member;
    };
    static const Option kOptions[] = {
        {"nightArmSilent", "Kezelő némítás éjszakai élesített állapotban", "keypad silent while night-armed",
         lay::kKeypadNightArmSilent, &KeypadSettings::nightArmSilent},
        {"alarmBeep", "Riasztáskor hangjelzés a kezelőn", "keypad beeps on alarm", lay::kKeypadAlarmBeep,
         &KeypadSettings::alarmBeep},
        {"quickArm", "Gyorsélesítés engedélyezése", "quick arming allowed", lay::kKeypadQuickArm,
         &KeypadSettings::quickArm},
        {"zoneView", "Zóna figyelés engedélyezése", "zone watching on the keypad allowed",
         lay::kKeypadZoneView, &KeypadSettings::zoneView},
    };
    for (const auto& o : kOptions) {
        const auto k = b.kind(std::string("keypad.") + o.name, "boolean", "true, false",
                              std::string(o.meaning) + " (byte non-zero)");
        b.byte(k, std::string("keypad.") + o.name, o.caption, o.offset,
               [m = o.member](const V& v) { return flag(v.keypad.*m); });
    }
    const auto chime = b.kind("doorChime[0..11]", "boolean", checks(ctl::cbINjelez),
                              "door-chime inputs IN1..IN12");
    for (int i = 0; i < ctl::cbINjelez.count(); ++i) {
        b.bit(chime, "doorChime[" + to_string(i) + "]",
              "Kapucsengő funkció" + kDot + tidy(ctl::cbINjelez.items[std::size_t(i)]),
              flagWordBit(lay::kDoorChime, i),
              [i](const V& v) { return flag(v.doorChime[std::size_t(i)]); });
    }
}

Catalogue build() {
    Catalogue c;
    Builder b(c);
    addTopOfZones(b);
    addZones(b);
    addUsers(b);
    addEvents(b);
    addRelays(b);
    addTelephonePage(b);
    addRemotes(b);
    addKeypad(b);
    return c;
}

}  // namespace

const Catalogue& catalogue() {
    static const Catalogue c = build();
    return c;
}

bool Field::sameBits(const ParameterImage& a, const ParameterImage& b) const {
    for (std::size_t i = offset; i < offset + length; ++i) {
        if ((a[i] ^ b[i]) & mask) return false;
    }
    return true;
}

void Field::copyBits(const ParameterImage& from, ParameterImage& to) const {
    for (std::size_t i = offset; i < offset + length; ++i) {
        to[i] = static_cast<std::uint8_t>((to[i] & ~mask) | (from[i] & mask));
    }
}

const std::array<std::uint8_t, kImageSize>& fieldBits() {
    static const std::array<std::uint8_t, kImageSize> held = [] {
        std::array<std::uint8_t, kImageSize> bits{};
        for (const Field& f : catalogue().fields) {
            for (std::size_t i = f.offset; i < f.offset + f.length; ++i) bits[i] |= f.mask;
        }
        return bits;
    }();
    return held;
}

const Field* fieldAt(std::string_view path) {
    static const std::map<std::string, const Field*, std::less<>> byPath = [] {
        std::map<std::string, const Field*, std::less<>> m;
        for (const Field& f : catalogue().fields) m.emplace(f.path, &f);
        return m;
    }();
    const auto it = byPath.find(path);
    return it == byPath.end() ? nullptr : it->second;
}

}  // namespace corvanta::fields
