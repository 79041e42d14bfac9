#include "app/cli/params_json.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <vector>

#include "params/control_table.h"
#include "params/field_catalogue.h"
#include "params/field_codecs.h"
#include "params/field_rules.h"
#include "params/hex_digits.h"
#include "params/image_layout.h"
#include "params/out_of_format.h"
#include "params/parameter_codec.h"
#include "params/win1250.h"

namespace corvanta::cli {
namespace {

namespace ctl = controls;
using namespace Qt::Literals::StringLiterals;

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

// Where a value sits in the file, kept as its steps and spelled out only for
// a refusal: most files are taken whole, and a key text for every one of
// their values was most of the reader's work.
class KeyPath {
public:
    KeyPath member(const char* name) const { return with({name, 0}); }
    KeyPath element(std::size_t index) const { return with({nullptr, index}); }

    std::string text() const {
        std::string t;
        for (std::size_t i = 0; i < depth_; ++i) {
            if (!steps_[i].name) {
                t += "[" + std::to_string(steps_[i].index) + "]";
                continue;
            }
            if (!t.empty()) t += '.';
            t += steps_[i].name;
        }
        return t;
    }

private:
    struct Step {
        const char* name;   // a member, or nullptr for an element
        std::size_t index;  // the element's
    };
    // The deepest value, users[0].rights[3], is four steps down.
    static constexpr std::size_t kMaxDepth = 4;

    KeyPath with(Step step) const {
        KeyPath p = *this;
        if (p.depth_ < kMaxDepth) p.steps_[p.depth_++] = step;
        return p;
    }

    std::array<Step, kMaxDepth> steps_{};
    std::size_t depth_ = 0;
};

// A JSON object or array together with the key path that leads to it, so that
// every refusal can name the exact key.
class Node {
public:
    Node(QJsonValue value, KeyPath path) : value_(std::move(value)), path_(path) {}

    std::string key() const { return path_.text(); }

    Node operator[](const char* name) const {
        if (!value_.isObject()) refuse(key(), "expected an object");
        const KeyPath path = path_.member(name);
        // A parsed file holds no undefined value: undefined is a missing key.
        QJsonValue v = value_.toObject().value(QLatin1StringView(name));
        if (v.isUndefined()) refuse(path.text(), "missing");
        return Node(std::move(v), path);
    }

    // The array's elements; refuses any other length.
    std::vector<Node> elements(std::size_t count) const {
        if (!value_.isArray()) refuse(key(), "expected an array of " + std::to_string(count));
        const QJsonArray a = value_.toArray();
        if (static_cast<std::size_t>(a.size()) != count) {
            refuse(key(), "expected " + std::to_string(count) + " entries, found " + std::to_string(a.size()));
        }
        std::vector<Node> nodes;
        nodes.reserve(count);
        for (qsizetype i = 0; i < a.size(); ++i) nodes.emplace_back(a.at(i), path_.element(std::size_t(i)));
        return nodes;
    }

    bool toBool() const {
        if (!value_.isBool()) refuse(key(), "expected true or false");
        return value_.toBool();
    }

    int toInt(int min, int max) const {
        if (!value_.isDouble()) refuse(key(), "expected a number");
        const double d = value_.toDouble();
        if (d != std::floor(d)) refuse(key(), "expected a whole number");
        if (d < min || d > max) {
            refuse(key(), QString::number(d).toStdString() + " is outside " + std::to_string(min) +
                             ".." + std::to_string(max));
        }
        return static_cast<int>(d);
    }

    int spin(const ctl::SpinRange& range) const { return toInt(range.min, range.max); }
    // Radio groups always hold an item; drop-down lists may hold none (-1).
    int radio(const ctl::ItemList& list) const { return toInt(0, list.count() - 1); }
    int dropDown(const ctl::ItemList& list) const { return toInt(kNoSelection, list.count() - 1); }

    std::string toText(std::size_t maxChars) const { return checkedText(stringValue(), maxChars); }

    // Names and SMS texts are padded with blanks in the image, so blanks at
    // their end are padding: dropped here as the image drops them, and not
    // counted against the length.
    std::string toPaddedText(std::size_t maxChars) const {
        QString q = stringValue();
        while (q.endsWith(u' ')) q.chop(1);
        return checkedText(q, maxChars);
    }

    // A text whose characters all pass `allowed`.
    template <typename Pred>
    std::string toText(std::size_t maxChars, Pred allowed, const char* what) const {
        std::string s = toText(maxChars);
        for (char c : s) {
            if (!allowed(c)) refuse(key(), std::string("may hold only ") + what);
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
    QString stringValue() const {
        if (!value_.isString()) refuse(key(), "expected a text");
        return value_.toString();
    }

    std::string checkedText(const QString& q, std::size_t maxChars) const {
        // A lone surrogate ("\ud800") would reach the module as '?'.
        if (!q.isValidUtf16()) refuse(key(), "holds an unpaired surrogate, which is no character");
        const std::string s = q.toStdString();
        if (utf8Length(s) > maxChars) {
            refuse(key(), "longer than " + std::to_string(maxChars) + " characters");
        }
        // The module stores Windows-1250, and decode drops NUL and 0xFF as
        // padding: any of those would come back as something else.
        if (auto c = unstorableCharacter(s))
            refuse(key(), "holds a character the module cannot store: " + describe(*c));
        return s;
    }

    QJsonValue value_;
    KeyPath path_;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// A value the editor would refuse as typed. It is refused only when it is not
// what the image holds already: the caller knows the image.
struct Breach {
    std::string key;
    std::string why;
};
using Breaches = std::vector<Breach>;

// The editor's own rule: 4 or 6 digits; "******" (no code) for users only.
std::string code(const Node& n, CodeKind kind, Breaches& breaches) {
    const std::string s = n.toText(6);
    if (!isAcceptableCode(s, kind)) {
        breaches.push_back({n.key(), kind == CodeKind::Installer
                                         ? "the installer code must be 4 or 6 digits"
                                         : "a user code must be 4 or 6 digits, or \"******\" for none"});
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
std::string testTime(const Node& n, Breaches& breaches) {
    const std::string typed = n.toText(5);
    if (const auto time = normalTestTime(typed)) return *time;
    breaches.push_back({n.key(), "expected a time \"hh:mm\", hours 0-23 and minutes 0-59"});
    return typed;
}

void readValues(const Node& root, ParameterValues& v, Breaches& breaches) {
    v.installerCode = code(root["installerCode"], CodeKind::Installer, breaches);
    v.nightWalkTime = root["nightWalkTime"].spin(ctl::edNightDelay);

    const auto zones = root["zones"].elements(kZoneCount);
    for (int z = 0; z < kZoneCount; ++z) {
        const Node& n = zones[z];
        ZoneRecord& r = v.zones[z];
        r.name = n["name"].toPaddedText(ctl::edZonaNeve.maxChars);
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
        v.users[u].name = users[u]["name"].toPaddedText(ctl::edUserName.maxChars);
        v.users[u].code = code(users[u]["code"], CodeKind::User, breaches);
        v.users[u].rights = users[u]["rights"].bools<16>();
    }

    const auto events = root["events"].elements(kEventCount);
    for (int e = 0; e < kEventCount; ++e) {
        v.events[e].contactId = contactId(events[e]["contactId"]);
        v.events[e].routes = events[e]["routes"].bools<ctl::kEventRouteCount>();
        v.events[e].sms = events[e]["sms"].toPaddedText(ctl::edSMS.maxChars);
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
    v.testTime = testTime(root["testTime"], breaches);
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
    root[u"installerCode"_s] = text(v.installerCode);
    root[u"nightWalkTime"_s] = v.nightWalkTime;

    QJsonArray zones;
    for (const ZoneRecord& r : v.zones) {
        zones.append(QJsonObject{
            {u"name"_s, text(r.name)},             {u"inputType"_s, r.inputType},
            {u"partition"_s, r.partition},         {u"sensitivity"_s, r.sensitivity},
            {u"entryDelay"_s, r.entryDelay},       {u"exitDelay"_s, r.exitDelay},
            {u"silent"_s, r.silent},               {u"smartZoneTime"_s, r.smartZoneTime},
            {u"follower"_s, r.follower},           {u"coverTime"_s, r.coverTime},
            {u"nightSetting"_s, r.nightSetting},   {u"bypass"_s, r.bypass}});
    }
    root[u"zones"_s] = zones;

    QJsonArray users;
    for (const UserRecord& r : v.users) {
        users.append(QJsonObject{
            {u"name"_s, text(r.name)}, {u"code"_s, text(r.code)}, {u"rights"_s, boolArray(r.rights)}});
    }
    root[u"users"_s] = users;

    QJsonArray events;
    for (const EventRecord& r : v.events) {
        events.append(QJsonObject{{u"contactId"_s, text(r.contactId)}, {u"routes"_s, boolArray(r.routes)},
                                  {u"sms"_s, text(r.sms)}, {u"voice"_s, r.voice}});
    }
    root[u"events"_s] = events;

    QJsonArray rows;
    for (const RelayRow& r : v.relayRows) rows.append(boolArray(r.triggers));
    root[u"relayRows"_s] = rows;
    QJsonArray relays;
    for (const RelayTiming& r : v.relays) {
        relays.append(QJsonObject{{u"startDelay"_s, r.startDelay}, {u"maxTime"_s, r.maxTime}});
    }
    root[u"relays"_s] = relays;

    QJsonArray phones;
    for (const PhoneCells& p : v.phones) phones.append(text(gridCellsText(p)));
    root[u"phones"_s] = phones;
    root[u"ackModes"_s] = intArray(v.ackModes);
    root[u"account"_s] = text(gridCellsText(v.account));
    root[u"onOffMode"_s] = v.onOffMode;

    QJsonArray sirens;
    for (const SirenOutput& s : v.sirens) {
        sirens.append(
            QJsonObject{{u"mode"_s, s.mode}, {u"startDelay"_s, s.startDelay}, {u"maxTime"_s, s.maxTime}});
    }
    root[u"sirens"_s] = sirens;
    root[u"tamperSiren"_s] = v.tamperSiren;
    root[u"alarmMaxTime"_s] = v.alarmMaxTime;
    root[u"testTime"_s] = text(v.testTime);
    root[u"testPeriod"_s] = v.testPeriod;
    root[u"zoneAlarmMax"_s] = v.zoneAlarmMax;
    root[u"autoArmHours"_s] = v.autoArmHours;

    QJsonArray remotes;
    for (const RemoteControlRecord& r : v.remotes) remotes.append(intArray(r.buttons));
    root[u"remotes"_s] = remotes;

    root[u"keypad"_s] = QJsonObject{{u"backlight"_s, v.keypad.backlight},
                                    {u"nightArmSilent"_s, v.keypad.nightArmSilent},
                                    {u"alarmBeep"_s, v.keypad.alarmBeep},
                                    {u"quickArm"_s, v.keypad.quickArm},
                                    {u"zoneView"_s, v.keypad.zoneView}};
    root[u"doorChime"_s] = boolArray(v.doorChime);
    return root;
}

namespace {

QString hexText(const std::vector<std::uint8_t>& bytes) {
    QString digits;
    digits.reserve(qsizetype(2 * bytes.size()));
    for (std::uint8_t b : bytes) {
        digits += QLatin1Char(kHexDigits[b >> 4]);
        digits += QLatin1Char(kHexDigits[b & 0x0F]);
    }
    return digits;
}

// `count` bytes from hex digits, two a byte; nullopt for anything else.
std::optional<std::vector<std::uint8_t>> hexBytes(const QJsonValue& value, std::size_t count) {
    if (!value.isString()) return std::nullopt;
    const std::string digits = value.toString().toStdString();
    if (digits.size() != 2 * count) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < count; ++i) {
        const int high = hexValue(digits[2 * i]);
        const int low = hexValue(digits[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

// The bytes of fields that hold bits of no field.
bool hasUnusedBits(std::size_t offset) {
    const std::uint8_t held = fields::fieldBits()[offset];
    return held != 0 && held != 0xFF;
}

// A key of `json` that `shape` (the printed form of any values) does not
// have, with its key path; arrays are walked as far as both reach.
std::optional<std::string> unknownKey(const QJsonValue& json, const QJsonValue& shape, const std::string& path) {
    if (json.isObject() && shape.isObject()) {
        const QJsonObject o = json.toObject();
        const QJsonObject known = shape.toObject();
        for (auto it = o.begin(); it != o.end(); ++it) {
            const std::string key = (path.empty() ? "" : path + ".") + it.key().toStdString();
            const auto k = known.find(it.key());
            if (k == known.end()) return key;
            if (auto deeper = unknownKey(it.value(), k.value(), key)) return deeper;
        }
    } else if (json.isArray() && shape.isArray()) {
        const QJsonArray a = json.toArray();
        const QJsonArray known = shape.toArray();
        for (qsizetype i = 0; i < std::min(a.size(), known.size()); ++i) {
            if (auto deeper = unknownKey(a.at(i), known.at(i), path + "[" + std::to_string(i) + "]")) return deeper;
        }
    }
    return std::nullopt;
}

// The bytes "outOfFormat" gives, in their fields' bits of one image: no two
// fields share a bit, and each shows its value from its own bits.
struct Stored {
    std::vector<const fields::Field*> fields;
    ParameterImage bytes{};
};

std::optional<std::string> readOutOfFormat(const QJsonValue& json, Stored& out) {
    const std::string key = kOutOfFormatKey;
    if (!json.isObject()) return key + ": expected an object of hex texts by key path";
    const QJsonObject o = json.toObject();
    for (auto it = o.begin(); it != o.end(); ++it) {
        const std::string at = key + "." + it.key().toStdString();
        const fields::Field* f = fields::fieldAt(it.key().toStdString());
        if (!f) return at + ": no field has this key path";
        const auto bytes = hexBytes(it.value(), f->length);
        if (!bytes) return at + ": expected " + std::to_string(2 * f->length) + " hex digits";
        for (std::size_t i = 0; i < f->length; ++i) {
            if ((*bytes)[i] & ~f->mask) return at + ": holds bits of another field";
            out.bytes[f->offset + i] |= (*bytes)[i];
        }
        out.fields.push_back(f);
    }
    return std::nullopt;
}

}  // namespace

QJsonObject unmappedToJson(const ParameterImage& image) {
    QJsonObject unmapped;
    for (const layout::ByteRange& r : layout::kPreservedRanges) {
        unmapped[QString::number(r.first)] =
            hexText(std::vector<std::uint8_t>(image.begin() + std::ptrdiff_t(r.first),
                                              image.begin() + std::ptrdiff_t(r.first + r.length)));
    }
    for (std::size_t i = 0; i < kImageSize; ++i) {
        const std::uint8_t unused = image[i] & ~fields::fieldBits()[i];
        if (hasUnusedBits(i) && unused != 0) unmapped[QString::number(i)] = hexText({unused});
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
        bool number = false;
        const uint offset = it.key().toUInt(&number);
        const bool canonical = number && QString::number(offset) == it.key();
        const layout::ByteRange* range = nullptr;
        for (const layout::ByteRange& r : layout::kPreservedRanges) {
            if (canonical && offset == r.first) range = &r;
        }
        if (range) {
            const auto bytes = hexBytes(it.value(), range->length);
            if (!bytes) return at + ": expected " + std::to_string(2 * range->length) + " hex digits";
            std::copy(bytes->begin(), bytes->end(), out.begin() + std::ptrdiff_t(range->first));
            continue;
        }
        if (!canonical || offset >= kImageSize || !hasUnusedBits(offset)) {
            return at + ": neither the first offset of a range no field covers (1645, 1901, 1906) nor a byte "
                        "with bits no field holds";
        }
        const auto byte = hexBytes(it.value(), 1);
        if (!byte) return at + ": expected 2 hex digits";
        const std::uint8_t held = fields::fieldBits()[offset];
        if ((*byte)[0] & held) return at + ": holds bits of a field; only " + hexText({std::uint8_t(~held)}).toStdString() + " are no field's";
        out[offset] = static_cast<std::uint8_t>((out[offset] & held) | (*byte)[0]);
    }
    image = out;
    return std::nullopt;
}

QJsonObject outOfFormatToJson(const ParameterImage& image) {
    QJsonObject stored;
    for (const OutOfFormatField& f : outOfFormatFields(image)) {
        stored[QString::fromStdString(f.field->path)] = hexText(f.bytes);
    }
    return stored;
}

QJsonObject imageToJson(const ParameterImage& image) {
    QJsonObject json = valuesToJson(decode(image));
    json[QLatin1String(kUnmappedKey)] = unmappedToJson(image);
    json[QLatin1String(kOutOfFormatKey)] = outOfFormatToJson(image);
    return json;
}

std::optional<std::string> duplicateKey(QByteArrayView json) {
    struct Level {
        bool object;
        std::string path;
        std::set<QString> keys;
        std::size_t index = 0;  // of the element being read, in an array
        QString key;            // of the member being read, in an object
    };
    std::vector<Level> levels;
    bool keyNext = false;  // the next string of an object is a key
    const auto childPath = [&]() -> std::string {
        if (levels.empty()) return {};
        const Level& l = levels.back();
        if (!l.object) return l.path + "[" + std::to_string(l.index) + "]";
        return (l.path.empty() ? "" : l.path + ".") + l.key.toStdString();
    };
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '"') {
            qsizetype end = i + 1;
            while (end < json.size() && json[end] != '"') end += json[end] == '\\' ? 2 : 1;
            if (keyNext && !levels.empty()) {
                // Escapes spell a key many ways ("a" and "\u0061"): compare
                // what the parser makes of it.
                const QByteArray token = "[" + json.sliced(i, std::min(end + 1, json.size()) - i).toByteArray() + "]";
                const QString key = QJsonDocument::fromJson(token).array().at(0).toString();
                Level& l = levels.back();
                l.key = key;
                if (!l.keys.insert(key).second) return childPath();
                keyNext = false;
            }
            i = end;
        } else if (c == '{' || c == '[') {
            levels.push_back({c == '{', childPath(), {}, 0, {}});
            keyNext = c == '{';
        } else if (c == '}' || c == ']') {
            if (!levels.empty()) levels.pop_back();
            keyNext = false;
        } else if (c == ',' && !levels.empty()) {
            if (levels.back().object)
                keyNext = true;
            else
                ++levels.back().index;
        }
    }
    return std::nullopt;
}

std::optional<std::string> imageFromJson(const QJsonObject& json, const ParameterImage* base,
                                         ParameterImage& out, std::vector<std::string>& warnings) {
    // A misspelt key would leave its value to the base or the default
    // without a word: every key must be one decode prints.
    static const QJsonObject shape = valuesToJson(ParameterValues{});
    for (auto it = json.begin(); it != json.end(); ++it) {
        if (it.key() == QLatin1String(kUnmappedKey) || it.key() == QLatin1String(kOutOfFormatKey)) continue;
        const auto k = shape.find(it.key());
        if (k == shape.end()) return it.key().toStdString() + ": unknown key";
        if (auto unknown = unknownKey(it.value(), k.value(), it.key().toStdString())) return *unknown + ": unknown key";
    }

    ParameterValues values;
    Breaches breaches;
    try {
        readValues(Node(json, KeyPath()), values, breaches);
    } catch (const Refusal& r) {
        return r.message;
    }
    Stored stored;
    if (const QJsonValue v = json.value(QLatin1String(kOutOfFormatKey)); !v.isUndefined()) {
        if (auto refusal = readOutOfFormat(v, stored)) return refusal;
    }
    // Bytes stand for a value only while they show it.
    std::set<const fields::Field*> standsFor;
    const ParameterValues storedValues = decode(stored.bytes);
    for (const fields::Field* f : stored.fields) {
        if (f->show(storedValues) == f->show(values)) {
            standsFor.insert(f);
        } else {
            warnings.push_back(std::string(kOutOfFormatKey) + "." + f->path +
                               ": the value is not the one these bytes show, so it is stored as typed");
        }
    }

    // What the image holds: the base, and the bytes given beside a value.
    const std::optional<ParameterValues> baseValues = base ? std::optional(decode(*base)) : std::nullopt;
    for (const Breach& b : breaches) {
        const fields::Field* f = fields::fieldAt(b.key);
        const bool held = f && (standsFor.count(f) || (baseValues && f->show(*baseValues) == f->show(values)));
        if (!held) return b.key + ": " + b.why;
        if (f->path == "installerCode") {
            warnings.push_back(b.key + ": \"" + values.installerCode +
                               "\" is what the image holds, but not 4 or 6 digits: write refuses this image "
                               "until the code is set");
        }
    }

    ParameterImage image;
    if (base) {
        image = *base;
        encode(values, image);
    } else {
        image.fill(0xFF);
        encodeEveryField(values, image);
    }
    // A base keeps its own bits no field holds; "unmapped" is still checked,
    // since a broken one says the file is not what it seems.
    if (const QJsonValue v = json.value(QLatin1String(kUnmappedKey)); !v.isUndefined()) {
        ParameterImage scratch = image;
        if (auto refusal = unmappedFromJson(v, base ? scratch : image)) return refusal;
    }
    for (const fields::Field* f : standsFor) f->copyBits(stored.bytes, image);
    out = image;
    return std::nullopt;
}

namespace {

std::string memberPath(const std::string& path, const QString& key) {
    return (path.empty() ? "" : path + ".") + key.toStdString();
}

// `change` laid over `full`: what it gives replaces what `full` holds, and
// null or a member or entry it leaves out keeps it. A value of the wrong
// kind just replaces its place, for the reader to refuse by its key.
std::optional<std::string> overlay(const QJsonValue& change, QJsonValue& full, const std::string& path) {
    if (change.isNull()) return std::nullopt;
    if (change.isObject() && full.isObject()) {
        QJsonObject o = full.toObject();
        const QJsonObject c = change.toObject();
        for (auto it = c.begin(); it != c.end(); ++it) {
            QJsonValue member = o.value(it.key());
            if (auto refusal = overlay(it.value(), member, memberPath(path, it.key()))) return refusal;
            o.insert(it.key(), member);
        }
        full = o;
        return std::nullopt;
    }
    if (change.isArray() && full.isArray()) {
        QJsonArray a = full.toArray();
        const QJsonArray c = change.toArray();
        if (c.size() > a.size())
            return path + ": expected at most " + std::to_string(a.size()) + " entries, found " +
                   std::to_string(c.size());
        for (qsizetype i = 0; i < c.size(); ++i) {
            QJsonValue entry = a.at(i);
            if (auto refusal = overlay(c.at(i), entry, path + "[" + std::to_string(i) + "]")) return refusal;
            a.replace(i, entry);
        }
        full = a;
        return std::nullopt;
    }
    full = change;
    return std::nullopt;
}

// The key paths of the values `change` gives.
void givenPaths(const QJsonValue& change, const std::string& path, std::vector<std::string>& out) {
    if (change.isObject()) {
        const QJsonObject o = change.toObject();
        for (auto it = o.begin(); it != o.end(); ++it) givenPaths(it.value(), memberPath(path, it.key()), out);
    } else if (change.isArray()) {
        const QJsonArray a = change.toArray();
        for (qsizetype i = 0; i < a.size(); ++i) givenPaths(a.at(i), path + "[" + std::to_string(i) + "]", out);
    } else if (!change.isNull()) {
        out.push_back(path);
    }
}

}  // namespace

std::optional<std::string> changeFromJson(const QJsonObject& json, ParameterImage& values,
                                          std::vector<const fields::Field*>& given) {
    static const QJsonObject shape = valuesToJson(ParameterValues{});
    for (auto it = json.begin(); it != json.end(); ++it) {
        if (it.key() == QLatin1String(kUnmappedKey) || it.key() == QLatin1String(kOutOfFormatKey))
            return it.key().toStdString() + ": a change gives values only, not the bytes of an image";
        const auto k = shape.find(it.key());
        if (k == shape.end()) return it.key().toStdString() + ": unknown key";
        if (auto unknown = unknownKey(it.value(), k.value(), it.key().toStdString())) return *unknown + ": unknown key";
    }
    std::vector<std::string> paths;
    givenPaths(json, {}, paths);
    if (paths.empty()) return std::string("the change gives no value");

    // The values left out are any image's: only the given ones are kept.
    QJsonValue full = valuesToJson(decode(ParameterImage{}));
    if (auto refusal = overlay(json, full, {})) return refusal;
    ParameterValues v;
    Breaches breaches;
    try {
        readValues(Node(full, KeyPath()), v, breaches);
    } catch (const Refusal& r) {
        return r.message;
    }
    // A change puts its values on modules whatever they held: each must pass
    // the rule as typed.
    for (const Breach& b : breaches) {
        if (std::find(paths.begin(), paths.end(), b.key) != paths.end()) return b.key + ": " + b.why;
    }
    std::vector<const fields::Field*> fieldsGiven;
    for (const std::string& p : paths) {
        const fields::Field* f = fields::fieldAt(p);
        if (!f) return p + ": not a value of its own; give the values under it";
        fieldsGiven.push_back(f);
    }
    ParameterImage image;
    image.fill(0xFF);
    encodeEveryField(v, image);
    values = image;
    given = std::move(fieldsGiven);
    return std::nullopt;
}

}  // namespace corvanta::cli
