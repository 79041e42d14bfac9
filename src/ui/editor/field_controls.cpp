#include "ui/editor/field_controls.h"

#include <map>
#include <tuple>

#include "params/parameter_image.h"

namespace corvanta {

namespace {

// One control of a page. In `path`, "#" stands for the record and "@" for
// the item plus `itemBase`.
struct Entry {
  int page;
  bool row;
  const char* control;
  int items;  // 0: the control as a whole
  int itemBase;
  const char* path;
  const char* unit;
};

constexpr const char* kSeconds = "másodperc";
constexpr const char* kMinutes = "perc";

constexpr Entry kEntries[] = {
    {kZonesPage, true, "cbBypass", 0, 0, "zones[#].bypass", ""},
    {kZonesPage, true, "cbZonaCsendes", 0, 0, "zones[#].silent", ""},
    {kZonesPage, true, "cbKoveto", 0, 0, "zones[#].follower", ""},
    {kZonesPage, true, "rgZonaBek", 0, 0, "zones[#].inputType", ""},
    {kZonesPage, true, "rgZonaPart", 0, 0, "zones[#].partition", ""},
    {kZonesPage, true, "edZonaErz", 0, 0, "zones[#].sensitivity", "tizedmásodperc"},
    {kZonesPage, true, "edZonaBeKesl", 0, 0, "zones[#].entryDelay", kSeconds},
    {kZonesPage, true, "edZonaKiKesl", 0, 0, "zones[#].exitDelay", kSeconds},
    {kZonesPage, true, "edZonaIntel", 0, 0, "zones[#].smartZoneTime", kMinutes},
    {kZonesPage, true, "edZonaCover", 0, 0, "zones[#].coverTime", kMinutes},
    {kZonesPage, true, "cbNightSet", 0, 0, "zones[#].nightSetting", ""},
    {kZonesPage, true, "edZonaNeve", 0, 0, "zones[#].name", ""},
    {kZonesPage, false, "edNightDelay", 0, 0, "nightWalkTime", kMinutes},

    {kUsersPage, true, "cblUserRights", 16, 0, "users[#].rights[@]", ""},
    {kUsersPage, true, "edUserName", 0, 0, "users[#].name", ""},
    {kUsersPage, true, "edUserCode", 0, 0, "users[#].code", ""},
    {kUsersPage, false, "edMasterCode", 0, 0, "installerCode", ""},

    {kEventsPage, true, "meCTID", 0, 0, "events[#].contactId", ""},
    {kEventsPage, true, "clbEvents1_4", 4, 0, "events[#].routes[@]", ""},
    {kEventsPage, true, "clbEvents5_8", 4, 4, "events[#].routes[@]", ""},
    {kEventsPage, true, "clbEvents9", 0, 0, "events[#].routes[8]", ""},
    {kEventsPage, true, "edSMS", 0, 0, "events[#].sms", ""},
    {kEventsPage, true, "edHanguz", 0, 0, "events[#].voice", ""},

    {kRelaysPage, true, "cblR12", 2, 0, "relayRows[#][@]", ""},
    {kRelaysPage, true, "cblR34", 2, 2, "relayRows[#][@]", ""},
    {kRelaysPage, true, "cblR56", 2, 4, "relayRows[#][@]", ""},
    {kRelaysPage, false, "edREL1delay", 0, 0, "relays[0].startDelay", kSeconds},
    {kRelaysPage, false, "edREL1time", 0, 0, "relays[0].maxTime", kSeconds},
    {kRelaysPage, false, "edREL2delay", 0, 0, "relays[1].startDelay", kSeconds},
    {kRelaysPage, false, "edREL2time", 0, 0, "relays[1].maxTime", kSeconds},
    {kRelaysPage, false, "edREL3delay", 0, 0, "relays[2].startDelay", kSeconds},
    {kRelaysPage, false, "edREL3time", 0, 0, "relays[2].maxTime", kSeconds},

    {kTelephonePage, false, "acgTel1", 0, 0, "phones[0]", ""},
    {kTelephonePage, false, "cbACK1", 0, 0, "ackModes[0]", ""},
    {kTelephonePage, false, "acgTel2", 0, 0, "phones[1]", ""},
    {kTelephonePage, false, "cbACK2", 0, 0, "ackModes[1]", ""},
    {kTelephonePage, false, "acgTel3", 0, 0, "phones[2]", ""},
    {kTelephonePage, false, "cbACK3", 0, 0, "ackModes[2]", ""},
    {kTelephonePage, false, "acgTel4", 0, 0, "phones[3]", ""},
    {kTelephonePage, false, "cbACK4", 0, 0, "ackModes[3]", ""},
    {kTelephonePage, false, "acgTelCentr1", 0, 0, "phones[4]", ""},
    {kTelephonePage, false, "acgTelCentr2", 0, 0, "phones[5]", ""},
    {kTelephonePage, false, "acgUserAccount", 0, 0, "account", ""},
    {kTelephonePage, false, "acgSMSFW", 0, 0, "phones[6]", ""},
    {kTelephonePage, false, "cbOUT1mode", 0, 0, "sirens[0].mode", ""},
    {kTelephonePage, false, "edOUT1delay", 0, 0, "sirens[0].startDelay", kSeconds},
    {kTelephonePage, false, "edOUT1time", 0, 0, "sirens[0].maxTime", kMinutes},
    {kTelephonePage, false, "cbOUT2mode", 0, 0, "sirens[1].mode", ""},
    {kTelephonePage, false, "edOUT2delay", 0, 0, "sirens[1].startDelay", kSeconds},
    {kTelephonePage, false, "edOUT2time", 0, 0, "sirens[1].maxTime", kMinutes},
    {kTelephonePage, false, "cbSabotageSiren", 0, 0, "tamperSiren", ""},
    {kTelephonePage, false, "meTesztIdopont", 0, 0, "testTime", ""},
    {kTelephonePage, false, "edTesztGyak", 0, 0, "testPeriod", "nap"},
    {kTelephonePage, false, "edOnOffMode", 0, 0, "onOffMode", ""},
    {kTelephonePage, false, "edAlarmMax", 0, 0, "alarmMaxTime", kMinutes},
    {kTelephonePage, false, "edZoneAlarmMax", 0, 0, "zoneAlarmMax", ""},
    {kTelephonePage, false, "edAutoArm", 0, 0, "autoArmHours", "óra"},

    {kRemotesPage, true, "cbRFButtA", 0, 0, "remotes[#][0]", ""},
    {kRemotesPage, true, "cbRFButtB", 0, 0, "remotes[#][1]", ""},
    {kRemotesPage, true, "cbRFButtC", 0, 0, "remotes[#][2]", ""},
    {kRemotesPage, true, "cbRFButtD", 0, 0, "remotes[#][3]", ""},

    {kKeypadPage, false, "rgKEYPAD_LIGHT", 0, 0, "keypad.backlight", ""},
    {kKeypadPage, false, "cbKEYPAD_NightArmSilent", 0, 0, "keypad.nightArmSilent", ""},
    {kKeypadPage, false, "cb_KEYPAD_AlarmBeep", 0, 0, "keypad.alarmBeep", ""},
    {kKeypadPage, false, "cb_KEYPAD_QuickArm", 0, 0, "keypad.quickArm", ""},
    {kKeypadPage, false, "cb_ZoneView_Enabled", 0, 0, "keypad.zoneView", ""},
    {kKeypadPage, false, "cbINjelez", 12, 0, "doorChime[@]", ""},
};

std::string expand(const char* pattern, int record, int item) {
  std::string out;
  for (const char* c = pattern; *c; ++c) {
    if (*c == '#')
      out += std::to_string(record);
    else if (*c == '@')
      out += std::to_string(item);
    else
      out += *c;
  }
  return out;
}

struct Index {
  std::map<std::string, ControlAddress, std::less<>> byPath;
  std::map<std::tuple<int, int, QString, int>, std::string> byAddress;
  std::map<std::string, QString, std::less<>> units;
};

const Index& index() {
  static const Index built = [] {
    Index ix;
    for (const Entry& e : kEntries) {
      const int records = e.row ? recordCount(e.page) : 1;
      const int items = e.items > 0 ? e.items : 1;
      for (int r = 0; r < records; ++r) {
        for (int i = 0; i < items; ++i) {
          const std::string path = expand(e.path, r, e.itemBase + i);
          ControlAddress a{e.page, e.row ? r : -1, QString::fromLatin1(e.control), e.items > 0 ? i : -1};
          ix.byPath.emplace(path, a);
          ix.byAddress.emplace(std::tuple{a.page, a.record, a.control, a.item}, path);
          if (*e.unit) ix.units.emplace(path, QString::fromUtf8(e.unit));
        }
      }
    }
    return ix;
  }();
  return built;
}

}  // namespace

bool isRowPage(int page) { return recordCount(page) > 0; }

int recordCount(int page) {
  switch (page) {
    case kZonesPage: return kZoneCount;
    case kUsersPage: return kUserCount;
    case kEventsPage: return kEventCount;
    case kRelaysPage: return kRelayRowCount;
    case kRemotesPage: return kRemoteCount;
    default: return 0;
  }
}

std::string fieldPathAt(const ControlAddress& a) {
  const auto& by = index().byAddress;
  const auto found = by.find(std::tuple{a.page, a.record, a.control, a.item});
  return found == by.end() ? std::string() : found->second;
}

std::optional<ControlAddress> controlFor(std::string_view path) {
  const auto& by = index().byPath;
  const auto found = by.find(path);
  if (found == by.end()) return std::nullopt;
  return found->second;
}

std::vector<std::string> rowFieldPaths(int page, int record) {
  std::vector<std::string> paths;
  for (const Entry& e : kEntries) {
    if (e.page != page || !e.row) continue;
    for (int i = 0; i < (e.items > 0 ? e.items : 1); ++i) paths.push_back(expand(e.path, record, e.itemBase + i));
  }
  return paths;
}

QString unitOf(std::string_view path) {
  const auto& units = index().units;
  const auto found = units.find(path);
  return found == units.end() ? QString() : found->second;
}

QString pageCaption(int page) {
  static const char* const kCaptions[] = {"Zónák",
                                          "Felhasználók",
                                          "Események",
                                          "Relé kimenetek",
                                          "Telefonszámok && egyéb paraméterek",
                                          "Rádiós eszközök beállításai",
                                          "LCD-Kezelő"};
  return page >= 0 && page < int(std::size(kCaptions)) ? QString::fromUtf8(kCaptions[page]) : QString();
}

}  // namespace corvanta
