#include "transfer/settings_listing.h"

#include "params/code_fields.h"
#include "params/control_table.h"
#include "params/event_names.h"
#include "params/parameter_codec.h"
#include "params/utf32.h"

namespace corvanta::listing {

namespace {

using controls::ItemList;

Line u(std::string_view utf8) { return toUtf32(utf8); }
Line number(int n) { return u(std::to_string(n)); }

// Label captions as a hint joins them: trimmed, one blank between.
Line note(std::initializer_list<std::string_view> captions) {
  Line out;
  for (std::string_view c : captions) {
    if (!out.empty()) out += U' ';
    out += trimmed(u(c));
  }
  return out;
}

// A drop-down list or radio group inside a row: the index with its item.
// Nothing selected reads the first heading its hint names.
Line withItem(const ItemList& list, int index, std::string_view heading) {
  const bool inRange = index >= 0 && index < list.count();
  return indexWithItemText(index, inRange ? u(list.items[std::size_t(index)]) : Line(), note({heading}));
}

// A radio group inside a row has no item captions: each index reads the
// column heading above it, which carries the item's text; an index without
// a heading of its own reads the first.
Line radioInRow(const ItemList& list, int index) {
  const bool inRange = index >= 0 && index < list.count();
  return indexWithItemText(index, Line(), note({list.items[inRange ? std::size_t(index) : 0]}));
}

template <std::size_t N>
Line checks(const std::array<bool, N>& items, std::size_t from = 0, std::size_t count = N) {
  return checkListText(std::vector<bool>(items.begin() + std::ptrdiff_t(from),
                                         items.begin() + std::ptrdiff_t(from + count)));
}

template <std::size_t N>
Line cells(const std::array<char, N>& grid) {
  Line out;
  for (char c : grid) out += c ? char32_t(static_cast<unsigned char>(c)) : U' ';
  return out;
}

// Row copies carry a suffix after their last '_', which the table's header
// cuts off again.
std::vector<Line> copyNames(std::initializer_list<std::string_view> names) {
  std::vector<Line> out;
  for (std::string_view n : names) out.push_back(u(n) + U"_");
  return out;
}

void append(Lines& out, Lines more) {
  for (Line& l : more) out.push_back(std::move(l));
}

void item(Lines& out, std::string_view name, const Line& value, std::optional<Line> note = std::nullopt) {
  out.push_back(itemLine(u(name), value, note));
}

Line rowCaption(int n, std::string_view caption) { return number(n) + u(caption); }

void zonesPage(Lines& out, const ParameterValues& v) {
  using namespace controls;
  std::vector<ArrayRow> rows;
  for (int z = 0; z < kZoneCount; ++z) {
    const ZoneRecord& r = v.zones[std::size_t(z)];
    rows.push_back({rowCaption(z + 1, ". Zóna"),
                    {checkMark(r.bypass), checkMark(r.silent), checkMark(r.follower), radioInRow(rgZonaBek, r.inputType),
                     radioInRow(rgZonaPart, r.partition), number(r.sensitivity), number(r.entryDelay),
                     number(r.exitDelay), number(r.smartZoneTime), number(r.coverTime),
                     withItem(cbNightSet, r.nightSetting, "Éjszakai zóna beállítás"), textOrEmptyMark(u(r.name))}});
  }
  append(out, arrayTable(U"VPA_ZonaPanel",
                         copyNames({"cbBypass", "cbZonaCsendes", "cbKoveto", rgZonaBek.name, rgZonaPart.name,
                                    edZonaErz.name, edZonaBeKesl.name, edZonaKiKesl.name, edZonaIntel.name,
                                    edZonaCover.name, cbNightSet.name, edZonaNeve.name}),
                         rows));
  item(out, edNightDelay.name, number(v.nightWalkTime), note({"Éjszakai", "séta időtartam", "(0-25 perc)"}));
}

void usersPage(Lines& out, const ParameterValues& v) {
  using namespace controls;
  std::vector<ArrayRow> rows;
  for (int n = 0; n < kUserCount; ++n) {
    const UserRecord& r = v.users[std::size_t(n)];
    rows.push_back({rowCaption(n + 1, ". Felhasználó"),
                    {checks(r.rights), textOrEmptyMark(u(r.name)), textOrEmptyMark(u(r.code))}});
  }
  append(out, arrayTable(U"VPA_FelhPanel", copyNames({cblUserRights.name, edUserName.name, edUserCode.name}), rows));
  item(out, edMasterCode.name, textOrEmptyMark(u(v.installerCode)), note({"Telepítői kód megváltoztatása:"}));
}

void eventsPage(Lines& out, const ParameterValues& v) {
  using namespace controls;
  std::vector<ArrayRow> rows;
  for (int e = 0; e < kEventCount; ++e) {
    const EventRecord& r = v.events[std::size_t(e)];
    rows.push_back({u(eventRowCaption(e)),
                    {textOrEmptyMark(u(r.contactId)), checks(r.routes, 0, 4), checks(r.routes, 4, 4),
                     checkMark(r.routes[8]), textOrEmptyMark(u(r.sms)), number(r.voice)}});
  }
  append(out, arrayTable(U"VPA_EsemenyPanel",
                         copyNames({meCTID.name, clbEvents1_4.name, clbEvents5_8.name, "clbEvents9", edSMS.name,
                                    edHanguz.name}),
                         rows));
}

void relaysPage(Lines& out, const ParameterValues& v) {
  using namespace controls;
  std::vector<ArrayRow> rows;
  for (int n = 0; n < kRelayRowCount; ++n) {
    const RelayRow& r = v.relayRows[std::size_t(n)];
    rows.push_back({u(relayRowCaption(n)), {checks(r.triggers, 0, 2), checks(r.triggers, 2, 2), checks(r.triggers, 4, 2)}});
  }
  append(out, arrayTable(U"VPA_RelePanel", copyNames({cblR12.name, cblR34.name, cblR56.name}), rows));
  for (int k = 0; k < kRelayCount; ++k) {
    const std::string relay = "RELE " + std::to_string(k + 1) + " :";
    item(out, kRelayDelays[k].name, number(v.relays[std::size_t(k)].startDelay),
         note({relay, "Start késleltetés ( 0-255 sec ) :"}));
    item(out, kRelayTimes[k].name, number(v.relays[std::size_t(k)].maxTime),
         note({relay, "Maximális időtartam ( 0-255 sec ) :"}));
  }
}

void telephonePage(Lines& out, const ParameterValues& v) {
  using namespace controls;
  struct Phone {
    PhoneIndex index;
    std::string_view grid;
    std::string_view caption;
  };
  constexpr Phone kPhones[] = {
      {kPhone1, "acgTel1", "1. Telefonszám"},          {kPhone2, "acgTel2", "2. Telefonszám"},
      {kPhone3, "acgTel3", "3. Telefonszám"},          {kPhone4, "acgTel4", "4. Telefonszám"},
      {kCentralPhone1, "acgTelCentr1", "1. Központ tel."}, {kCentralPhone2, "acgTelCentr2", "2. Központ tel."}};
  for (const Phone& p : kPhones) item(out, p.grid, cells(v.phones[p.index]), note({p.caption}));
  item(out, "acgUserAccount", cells(v.account), note({"Ügyfél azonosító"}));
  item(out, "acgSMSFW", cells(v.phones[kSmsForwardPhone]), note({"SMS továbbítás"}));
  for (int a = 0; a < 4; ++a)
    item(out, kAckLists[a].name, number(v.ackModes[std::size_t(a)]), note({kPhones[a].caption, "Nyugtázás"}));
  for (int o = 0; o < kSirenCount; ++o) {
    const std::string outName = "OUT " + std::to_string(o + 1) + " :";
    const SirenOutput& s = v.sirens[std::size_t(o)];
    item(out, kOutModes[o].name, number(s.mode), note({outName}));
    item(out, kOutDelays[o].name, number(s.startDelay), note({outName, "Start késleltetés ( 0-255 sec ) :"}));
    item(out, kOutTimes[o].name, number(s.maxTime), note({outName, "Maximális időtartam ( 1-25 perc ) :"}));
  }
  item(out, "cbSabotageSiren", checkMark(v.tamperSiren),
       note({"Szabotázs esetén OUT1, OUT2", "kikapcsolt állapotnál is jelez"}));
  item(out, "meTesztIdopont", textOrEmptyMark(u(v.testTime)), note({"Tesztjelentés időpontja (óó:pp) :"}));
  item(out, edTesztGyak.name, number(v.testPeriod), note({"Tesztjelentés gyakorisága (0 - 255 nap) :"}));
  item(out, edOnOffMode.name, number(v.onOffMode), note({"Élesítés és kikapcsolás módja az A és B bemeneteken :"}));
  item(out, "btOnOffMode", Line());
  item(out, edAlarmMax.name, number(v.alarmMaxTime), note({"A riasztás maximális ideje ( 5-25 perc ) :"}));
  item(out, edZoneAlarmMax.name, number(v.zoneAlarmMax),
       note({"Egy zónáról küldhető riasztások maximális száma :", "(0-25,  0=nincs korlátozva)"}));
  item(out, edAutoArm.name, number(v.autoArmHours),
       note({"Automatikus élesítés adott idő után, ha nincs mozgás :", "(1-255 óra,  0=auto élesítés kikapcsolva)"}));
}

void remotesPage(Lines& out, const ParameterValues& v) {
  using namespace controls;
  constexpr std::string_view kHeadings[] = {"1. nyomógomb", "2. nyomógomb", "3. nyomógomb", "4. nyomógomb"};
  std::vector<ArrayRow> rows;
  for (int n = 0; n < kRemoteCount; ++n) {
    ArrayRow row{rowCaption(n + 1, ". Felhasználó"), {}};
    for (int b = 0; b < kRemoteButtonCount; ++b)
      row.values.push_back(withItem(kRFButtons[b], v.remotes[std::size_t(n)].buttons[std::size_t(b)], kHeadings[b]));
    rows.push_back(std::move(row));
  }
  append(out, arrayTable(U"VPA_TavKezPanel",
                         copyNames({cbRFButtA.name, cbRFButtB.name, cbRFButtC.name, cbRFButtD.name}), rows));
}

void keypadPage(Lines& out, const ParameterValues& v) {
  using namespace controls;
  const KeypadSettings& k = v.keypad;
  item(out, rgKEYPAD_LIGHT.name, number(k.backlight));
  // Check boxes without a hint are noted with their own caption.
  item(out, "cbKEYPAD_NightArmSilent", checkMark(k.nightArmSilent), u("Kezelő némítás éjszakai élesített állapotban"));
  item(out, "cb_KEYPAD_AlarmBeep", checkMark(k.alarmBeep), u("Riasztáskor hangjelzés a kezelőn"));
  item(out, "cb_KEYPAD_QuickArm", checkMark(k.quickArm),
       u("Gyorsélesítés engedélyezése  ( 1-es gomb hosszan nyomva tartva a kezelőn = partíció 1,   2 = "
         "partíció 2,   3 = partíció 1&&2,   4 = éjszakai élesítés)"));
  item(out, "cb_ZoneView_Enabled", checkMark(k.zoneView),
       u("Zóna figyelés engedélyezése  ( 7-es gomb hosszan nyomva tartva = nincs kijelzés, 8 = kijelzés "
         "számokkal, 9 = kijelzés zóna nevek szerint )"));
  item(out, "GroupKapuCseng", Line());
  item(out, cbINjelez.name, checks(v.doorChime));
}

}  // namespace

Lines settingsListing(const ParameterValues& values) {
  Lines out;
  item(out, "PageControl1", Line());
  using Page = void (*)(Lines&, const ParameterValues&);
  constexpr Page kPages[] = {zonesPage, usersPage, eventsPage, relaysPage, telephonePage, remotesPage, keypadPage};
  for (std::size_t p = 0; p < std::size(kPages); ++p) {
    append(out, tabSheetHeading(U"TabSheet" + number(int(p) + 1)));
    kPages[p](out, values);
  }
  finishListing(out);
  return out;
}

Lines settingsListingCodesHidden(const ParameterImage& image) {
  ParameterValues values = decode(image);
  codes::hideCodes(values);
  return settingsListing(values);
}

std::string settingsListingText(const ParameterImage& image) {
  std::string text;
  for (const Line& l : settingsListing(decode(image))) text += toUtf8(l) + '\n';
  return text;
}

}  // namespace corvanta::listing
