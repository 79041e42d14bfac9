#include "app/params_json.h"

#include <QJsonArray>

#include <cmath>
#include <vector>

#include "params/control_table.h"
#include "params/field_rules.h"
#include "params/hex_digits.h"
#include "params/field_codecs.h"
#include "params/image_layout.h"
#include "params/win1250.h"

namespace corvanta::cli {
namespace {

namespace ctl = controls;

// ---- printing -------------------------------------------------------------

QJsonValue text(const std::string& s) { return QString::fromStdString(s); }

template <std::size_t N>
QJsonArray boolArray(const std::array<bool, N>& flags) {
    QJsonArray a;
    for (bool f : flags) a.append(f);
    return a;
}

template <std::size_t N>
QJsonArray intArray(const std::array<int, N>& values) {
    QJsonArray a;
    for (int v : values) a.append(v);
    return a;
}

// ---- reading --------------------------------------------------------------

// A character named so that it can be found in the file: itself when it is
// printable, its code point otherwise.
std::string describe(const std::string& utf8) {
    const QString q = QString::fromStdString(utf8);
    const char32_t c = q.isEmpty() ? 0 : q.toUcs4().value(0);
    const std::string code = "U+" + QString::number(uint(c), 16).toUpper().rightJustified(4, u'0').toStdString();
    return q.at(0).isPrint() ? "\"" + utf8 + "\" (" + code + ")" : code;
}

struct Refusal {
    std::string message;
};

[[noreturn]] void refuse(const std::string& key, const std::string& why) {
    throw Refusal{key + ": " + why};
}

std::string keyAt(const std::string& parent, const QString& name) {
    return parent.empty() ? name.toStdString() : parent + "." + name.toStdString();
}

// A JSON object or array together with the key path that leads to it, so that
// every refusal can name the exact key.
class Node {
public:
    Node(QJsonValue value, std::string key) : value_(std::move(value)), key_(std::move(key)) {}

    const std::string& key() const { return key_; }

    Node operator[](const char* name) const {
        if (!value_.isObject()) refuse(key_, "expected an object");
        const QJsonObject o = value_.toObject();
        const QString n = QString::fromLatin1(name);
        const std::string k = keyAt(key_, n);
        if (!o.contains(n)) refuse(k, "missing");
        return Node(o.value(n), k);
    }

    // The array's elements; refuses any other length.
    std::vector<Node> elements(std::size_t count) const {
        if (!value_.isArray()) refuse(key_, "expected an array of " + std::to_string(count));
        const QJsonArray a = value_.toArray();
        if (static_cast<std::size_t>(a.size()) != count) {
            refuse(key_, "expected " + std::to_string(count) + " entries, found " +
                             std::to_string(a.size()));
        }
        std::vector<Node> nodes;
        for (qsizetype i = 0; i < a.size(); ++i) {
            nodes.emplace_back(a.at(i), key_ + "[" + std::to_string(i) + "]");
        }
        return nodes;
    }

    bool toBool() const {
        if (!value_.isBool()) refuse(key_, "expected true or false");
        return value_.toBool();
    }

    int toInt(int min, int max) const {
        if (!value_.isDouble()) refuse(key_, "expected a number");
        const double d = value_.toDouble();
        if (d != std::floor(d)) refuse(key_, "expected a whole number");
        if (d < min || d > max) {
            refuse(key_, QString::number(d).toStdString() + " is outside " + std::to_string(min) +
                             ".." + std::to_string(max));
        }
        return static_cast<int>(d);
    }

    int spin(const ctl::SpinRange& range) const { return toInt(range.min, range.max); }
    // Radio groups always hold an item; drop-down lists may hold none (-1).
    int radio(const ctl::ItemList& list) const { return toInt(0, list.count() - 1); }
    int dropDown(const ctl::ItemList& list) const { return toInt(kNoSelection, list.count() - 1); }

    std::string toText(std::size_t maxChars) const {
        if (!value_.isString()) refuse(key_, "expected a text");
        const QString q = value_.toString();
        // A lone surrogate ("\ud800") would reach the module as '?'.
        if (!q.isValidUtf16()) refuse(key_, "holds an unpaired surrogate, which is no character");
        const std::string s = q.toStdString();
        if (utf8Length(s) > maxChars) {
            refuse(key_, "longer than " + std::to_string(maxChars) + " characters");
        }
        // The module stores Windows-1250, and decode drops NUL and 0xFF as
        // padding: any of those would come back as something else.
        if (auto c = unstorableCharacter(s)) refuse(key_, "holds a character the module cannot store: " + describe(*c));
        return s;
    }

    // A text whose characters all pass `allowed`.
    template <typename Pred>
    std::string toText(std::size_t maxChars, Pred allowed, const char* what) const {
        std::string s = toText(maxChars);
        for (char c : s) {
            if (!allowed(c)) refuse(key_, std::string("may hold only ") + what);
        }
        return s;
    }

    template <std::size_t N>
    std::array<bool, N> bools() const {
        std::array<bool, N> out{};
        const auto nodes = elements(N);
        for (std::size_t i = 0; i < N; ++i) out[i] = nodes[i].toBool();
        return out;
    }

private:
    QJsonValue value_;
    std::string key_;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The editor's own rule: 4 or 6 digits; "******" (no code) for users only.
std::string code(const Node& n, CodeKind kind) {
    const std::string s = n.toText(6);
    if (!isAcceptableCode(s, kind)) {
        refuse(n.key(), kind == CodeKind::Installer ? "the installer code must be 4 or 6 digits"
                                                    : "a user code must be 4 or 6 digits, or \"******\" for none");
    }
    return s;
}

std::string contactId(const Node& n) {
    std::string s = n.toText(5);
    if (s.empty()) return "0 0 0";
    if (s.size() != 5 || !isHex(s[0]) || s[1] != ' ' || !isHex(s[2]) || s[3] != ' ' || !isHex(s[4])) {
        refuse(n.key(), "expected three hexadecimal digits separated by blanks, such as \"1 3 A\"");
    }
    for (char& c : s) c = upper(c);
    return s;
}

template <std::size_t N>
std::array<char, N> cells(const Node& n, bool hex) {
    const std::string s = hex ? n.toText(N, [](char c) { return isHex(c) || c == ' '; },
                                         "hexadecimal digits and blanks")
                              : n.toText(N, [](char c) { return isDigit(c) || c == ' '; },
                                         "digits and blanks");
    std::array<char, N> out{};
    for (std::size_t i = 0; i < s.size(); ++i) out[i] = s[i] == ' ' ? '\0' : upper(s[i]);
    return out;
}

// As the editor takes it: "hh:mm" within a day.
std::string testTime(const Node& n) {
    const auto time = normalTestTime(n.toText(5));
    if (!time) refuse(n.key(), "expected a time \"hh:mm\", hours 0-23 and minutes 0-59");
    return *time;
}

void readValues(const Node& root, ParameterValues& v) {
    v.installerCode = code(root["installerCode"], CodeKind::Installer);
    v.nightWalkTime = root["nightWalkTime"].spin(ctl::edNightDelay);

    const auto zones = root["zones"].elements(kZoneCount);
    for (int z = 0; z < kZoneCount; ++z) {
        const Node& n = zones[z];
        ZoneRecord& r = v.zones[z];
        r.name = n["name"].toText(ctl::edZonaNeve.maxChars);
        r.inputType = n["inputType"].radio(ctl::rgZonaBek);
        r.partition = n["partition"].radio(ctl::rgZonaPart);
        r.sensitivity = n["sensitivity"].spin(ctl::edZonaErz);
        r.entryDelay = n["entryDelay"].spin(ctl::edZonaBeKesl);
        r.exitDelay = n["exitDelay"].spin(ctl::edZonaKiKesl);
        r.silent = n["silent"].toBool();
        r.smartZoneTime = n["smartZoneTime"].spin(ctl::edZonaIntel);
        r.follower = n["follower"].toBool();
        r.coverTime = n["coverTime"].spin(ctl::edZonaCover);
        r.nightSetting = n["nightSetting"].dropDown(ctl::cbNightSet);
        r.bypass = n["bypass"].toBool();
    }

    const auto users = root["users"].elements(kUserCount);
    for (int u = 0; u < kUserCount; ++u) {
        v.users[u].name = users[u]["name"].toText(ctl::edUserName.maxChars);
        v.users[u].code = code(users[u]["code"], CodeKind::User);
        v.users[u].rights = users[u]["rights"].bools<16>();
    }

    const auto events = root["events"].elements(kEventCount);
    for (int e = 0; e < kEventCount; ++e) {
        v.events[e].contactId = contactId(events[e]["contactId"]);
        v.events[e].routes = events[e]["routes"].bools<ctl::kEventRouteCount>();
        v.events[e].sms = events[e]["sms"].toText(ctl::edSMS.maxChars);
        v.events[e].voice = events[e]["voice"].spin(ctl::edHanguz);
    }

    const auto rows = root["relayRows"].elements(kRelayRowCount);
    for (int n = 0; n < kRelayRowCount; ++n) v.relayRows[n].triggers = rows[n].bools<6>();
    const auto relays = root["relays"].elements(kRelayCount);
    for (int r = 0; r < kRelayCount; ++r) {
        v.relays[r].startDelay = relays[r]["startDelay"].spin(ctl::kRelayDelays[r]);
        v.relays[r].maxTime = relays[r]["maxTime"].spin(ctl::kRelayTimes[r]);
    }

    const auto phones = root["phones"].elements(kPhoneCount);
    for (int p = 0; p < kPhoneCount; ++p) v.phones[p] = cells<16>(phones[p], false);
    const auto acks = root["ackModes"].elements(4);
    for (int i = 0; i < 4; ++i) v.ackModes[i] = acks[i].dropDown(ctl::kAckLists[i]);
    v.account = cells<4>(root["account"], true);
    v.onOffMode = root["onOffMode"].spin(ctl::edOnOffMode);

    const auto sirens = root["sirens"].elements(kSirenCount);
    for (int s = 0; s < kSirenCount; ++s) {
        v.sirens[s].mode = sirens[s]["mode"].dropDown(ctl::kOutModes[s]);
        v.sirens[s].startDelay = sirens[s]["startDelay"].spin(ctl::kOutDelays[s]);
        v.sirens[s].maxTime = sirens[s]["maxTime"].spin(ctl::kOutTimes[s]);
    }
    v.tamperSiren = root["tamperSiren"].toBool();
    v.alarmMaxTime = root["alarmMaxTime"].spin(ctl::edAlarmMax);
    v.testTime = testTime(root["testTime"]);
    v.testPeriod = root["testPeriod"].spin(ctl::edTesztGyak);
    v.zoneAlarmMax = root["zoneAlarmMax"].spin(ctl::edZoneAlarmMax);
    v.autoArmHours = root["autoArmHours"].spin(ctl::edAutoArm);

    const auto remotes = root["remotes"].elements(kRemoteCount);
    for (int r = 0; r < kRemoteCount; ++r) {
        const auto buttons = remotes[r].elements(kRemoteButtonCount);
        for (int b = 0; b < kRemoteButtonCount; ++b) {
            v.remotes[r].buttons[b] = buttons[b].dropDown(ctl::kRFButtons[b]);
        }
    }

    const Node keypad = root["keypad"];
    v.keypad.backlight = keypad["backlight"].radio(ctl::rgKEYPAD_LIGHT);
    v.keypad.nightArmSilent = keypad["nightArmSilent"].toBool();
    v.keypad.alarmBeep = keypad["alarmBeep"].toBool();
    v.keypad.quickArm = keypad["quickArm"].toBool();
    v.keypad.zoneView = keypad["zoneView"].toBool();
    v.doorChime = root["doorChime"].bools<12>();
}

}  // namespace

QJsonObject valuesToJson(const ParameterValues& v) {
    QJsonObject root;
    root["installerCode"] = text(v.installerCode);
    root["nightWalkTime"] = v.nightWalkTime;

    QJsonArray zones;
    for (const ZoneRecord& r : v.zones) {
        zones.append(QJsonObject{
            {"name", text(r.name)},         {"inputType", r.inputType},
            {"partition", r.partition},     {"sensitivity", r.sensitivity},
            {"entryDelay", r.entryDelay},   {"exitDelay", r.exitDelay},
            {"silent", r.silent},           {"smartZoneTime", r.smartZoneTime},
            {"follower", r.follower},       {"coverTime", r.coverTime},
            {"nightSetting", r.nightSetting}, {"bypass", r.bypass}});
    }
    root["zones"] = zones;

    QJsonArray users;
    for (const UserRecord& r : v.users) {
        users.append(QJsonObject{{"name", text(r.name)}, {"code", text(r.code)}, {"rights", boolArray(r.rights)}});
    }
    root["users"] = users;

    QJsonArray events;
    for (const EventRecord& r : v.events) {
        events.append(QJsonObject{{"contactId", text(r.contactId)}, {"routes", boolArray(r.routes)},
                                  {"sms", text(r.sms)}, {"voice", r.voice}});
    }
    root["events"] = events;

    QJsonArray rows;
    for (const RelayRow& r : v.relayRows) rows.append(boolArray(r.triggers));
    root["relayRows"] = rows;
    QJsonArray relays;
    for (const RelayTiming& r : v.relays) {
        relays.append(QJsonObject{{"startDelay", r.startDelay}, {"maxTime", r.maxTime}});
    }
    root["relays"] = relays;

    QJsonArray phones;
    for (const PhoneCells& p : v.phones) phones.append(text(gridCellsText(p)));
    root["phones"] = phones;
    root["ackModes"] = intArray(v.ackModes);
    root["account"] = text(gridCellsText(v.account));
    root["onOffMode"] = v.onOffMode;

    QJsonArray sirens;
    for (const SirenOutput& s : v.sirens) {
        sirens.append(QJsonObject{{"mode", s.mode}, {"startDelay", s.startDelay}, {"maxTime", s.maxTime}});
    }
    root["sirens"] = sirens;
    root["tamperSiren"] = v.tamperSiren;
    root["alarmMaxTime"] = v.alarmMaxTime;
    root["testTime"] = text(v.testTime);
    root["testPeriod"] = v.testPeriod;
    root["zoneAlarmMax"] = v.zoneAlarmMax;
    root["autoArmHours"] = v.autoArmHours;

    QJsonArray remotes;
    for (const RemoteControlRecord& r : v.remotes) remotes.append(intArray(r.buttons));
    root["remotes"] = remotes;

    root["keypad"] = QJsonObject{{"backlight", v.keypad.backlight},
                                 {"nightArmSilent", v.keypad.nightArmSilent},
                                 {"alarmBeep", v.keypad.alarmBeep},
                                 {"quickArm", v.keypad.quickArm},
                                 {"zoneView", v.keypad.zoneView}};
    root["doorChime"] = boolArray(v.doorChime);
    return root;
}

QJsonObject unmappedToJson(const ParameterImage& image) {
    QJsonObject unmapped;
    for (const layout::ByteRange& r : layout::kPreservedRanges) {
        QString digits;
        for (std::size_t i = r.first; i < r.first + r.length; ++i) {
            digits += QLatin1Char(kHexDigits[image[i] >> 4]);
            digits += QLatin1Char(kHexDigits[image[i] & 0x0F]);
        }
        unmapped[QString::number(r.first)] = digits;
    }
    return unmapped;
}

std::optional<std::string> unmappedFromJson(const QJsonValue& json, ParameterImage& image) {
    const std::string key = kUnmappedKey;
    if (!json.isObject()) return key + ": expected an object of hex texts by first offset";
    const QJsonObject o = json.toObject();
    ParameterImage out = image;
    for (auto it = o.begin(); it != o.end(); ++it) {
        const std::string at = key + "." + it.key().toStdString();
        const layout::ByteRange* range = nullptr;
        for (const layout::ByteRange& r : layout::kPreservedRanges) {
            if (it.key() == QString::number(r.first)) range = &r;
        }
        if (!range) return at + ": not the first offset of a range no field covers (1645, 1901, 1906)";
        const std::string digits = it.value().toString().toStdString();
        if (!it.value().isString() || digits.size() != 2 * range->length)
            return at + ": expected " + std::to_string(2 * range->length) + " hex digits";
        for (std::size_t i = 0; i < range->length; ++i) {
            const int high = hexValue(digits[2 * i]);
            const int low = hexValue(digits[2 * i + 1]);
            if (high < 0 || low < 0) return at + ": expected hex digits only";
            out[range->first + i] = static_cast<std::uint8_t>(high * 16 + low);
        }
    }
    image = out;
    return std::nullopt;
}

std::optional<std::string> valuesFromJson(const QJsonObject& json, ParameterValues& out) {
    try {
        readValues(Node(json, ""), out);
    } catch (const Refusal& r) {
        return r.message;
    }
    return std::nullopt;
}

}  // namespace corvanta::cli
