#pragma once
// Ranges and item lists of the editor's controls, named after the controls.
// The codec clamps decoded values to these, the editor windows set up their
// spin edits, lists and radio groups from them, and the command line checks
// its input against them, so the three can never disagree.

#include <algorithm>
#include <span>
#include <string_view>

namespace corvanta::controls {

struct SpinRange {
    std::string_view name;
    int min;
    int max;
    constexpr int clamp(int v) const { return std::clamp(v, min, max); }
    constexpr bool contains(int v) const { return v >= min && v <= max; }
};

// Items of a drop-down list, radio group or check list, in index order.
struct ItemList {
    std::string_view name;
    std::span<const std::string_view> items;
    constexpr int count() const { return static_cast<int>(items.size()); }
};

struct TextLimit {
    std::string_view name;
    int maxChars;
};

// Zones page.
inline constexpr SpinRange edZonaErz{"edZonaErz", 0, 255};
inline constexpr SpinRange edZonaBeKesl{"edZonaBeKesl", 0, 255};
inline constexpr SpinRange edZonaKiKesl{"edZonaKiKesl", 0, 255};
inline constexpr SpinRange edZonaIntel{"edZonaIntel", 0, 25};
inline constexpr SpinRange edZonaCover{"edZonaCover", 0, 255};
// The labels say 0-25, but the module needs at least one minute.
inline constexpr SpinRange edNightDelay{"edNightDelay", 1, 25};
inline constexpr TextLimit edZonaNeve{"edZonaNeve", 10};

// The two zone radio groups have no captions of their own; their items sit
// under these column headings.
inline constexpr std::string_view kZonaBekItems[] = {
    "Rövidzárra aktív", "Szakadásra aktív", "DEOL", "Rádiós érzékelő"};
inline constexpr ItemList rgZonaBek{"rgZonaBek", kZonaBekItems};
inline constexpr std::string_view kZonaPartItems[] = {
    "Partíció 1 és 2", "Partíció 1", "Partíció 2", "24 órás zóna"};
inline constexpr ItemList rgZonaPart{"rgZonaPart", kZonaPartItems};
inline constexpr std::string_view kNightSetItems[] = {
    "Mindíg éles", "Éles, követő", "Kikapcsolt", "Kiinduló zóna"};
inline constexpr ItemList cbNightSet{"cbNightSet", kNightSetItems};

// Users page.
inline constexpr TextLimit edUserName{"edUserName", 10};
inline constexpr TextLimit edUserCode{"edUserCode", 6};
inline constexpr TextLimit edMasterCode{"edMasterCode", 6};
inline constexpr std::string_view kUserRightsItems[] = {
    "1. partíció",      "2. partíció",    "Élesítés",        "Hatástalanítás",
    "    Kód csere",    "Felhaszn. szerk.", "Hibalista",     "Óra beállítás",
    "Eseménylista",     "Zóna memória",   "Zóna bypass",     "Füstj. törlése",
    "Tel. Élesítés",    "   Tel. Hatást.", "Tel. Relé vez.", "Tel. Hangrögz."};
inline constexpr ItemList cblUserRights{"cblUserRights", kUserRightsItems};

// Event reporting page.
inline constexpr TextLimit meCTID{"meCTID", 5};
inline constexpr TextLimit edSMS{"edSMS", 20};
inline constexpr SpinRange edHanguz{"edHanguz", 0, 12};
inline constexpr std::string_view kEvents1_4Items[] = {"T1", "T2", "T3", "T4"};
inline constexpr ItemList clbEvents1_4{"clbEvents1_4", kEvents1_4Items};
inline constexpr std::string_view kEvents5_8Items[] = {"S1", "S2", "S3", "S4"};
inline constexpr ItemList clbEvents5_8{"clbEvents5_8", kEvents5_8Items};
inline constexpr int kEventRouteCount = 9;  // T1..T4, S1..S4, central station

// Relay outputs page.
inline constexpr SpinRange edREL1delay{"edREL1delay", 0, 255};
inline constexpr SpinRange edREL1time{"edREL1time", 0, 255};
inline constexpr SpinRange edREL2delay{"edREL2delay", 0, 255};
inline constexpr SpinRange edREL2time{"edREL2time", 0, 255};
inline constexpr SpinRange edREL3delay{"edREL3delay", 0, 255};
inline constexpr SpinRange edREL3time{"edREL3time", 0, 255};
inline constexpr SpinRange kRelayDelays[] = {edREL1delay, edREL2delay, edREL3delay};
inline constexpr SpinRange kRelayTimes[] = {edREL1time, edREL2time, edREL3time};
inline constexpr std::string_view kR12Items[] = {"R1 bekapcs.", "R1 kikapcs."};
inline constexpr ItemList cblR12{"cblR12", kR12Items};
inline constexpr std::string_view kR34Items[] = {"R2 bekapcs.", "R2 kikapcs."};
inline constexpr ItemList cblR34{"cblR34", kR34Items};
inline constexpr std::string_view kR56Items[] = {"R3 bekapcs.", "R3 kikapcs."};
inline constexpr ItemList cblR56{"cblR56", kR56Items};

// Remote control page: the four button lists share their items.
inline constexpr std::string_view kRFButtItems[] = {
    "--", "Élesítés P1&P2", "Élesítés P1", "Élesítés P2", "Éjszakai élesítés",
    "Kikapcsolás", "Relé1", "Relé2", "Relé3"};
inline constexpr ItemList cbRFButtA{"cbRFButtA", kRFButtItems};
inline constexpr ItemList cbRFButtB{"cbRFButtB", kRFButtItems};
inline constexpr ItemList cbRFButtC{"cbRFButtC", kRFButtItems};
inline constexpr ItemList cbRFButtD{"cbRFButtD", kRFButtItems};
inline constexpr ItemList kRFButtons[] = {cbRFButtA, cbRFButtB, cbRFButtC, cbRFButtD};

// Telephone and general settings page.
inline constexpr std::string_view kAckItems[] = {
    "0-   nincs nyugtázás", "1-   * = nyugta", "2-   * = nyugta,  # = leállítás"};
inline constexpr ItemList cbACK1{"cbACK1", kAckItems};
inline constexpr ItemList cbACK2{"cbACK2", kAckItems};
inline constexpr ItemList cbACK3{"cbACK3", kAckItems};
inline constexpr ItemList cbACK4{"cbACK4", kAckItems};
inline constexpr ItemList kAckLists[] = {cbACK1, cbACK2, cbACK3, cbACK4};
inline constexpr std::string_view kOutModeItems[] = {
    "0 - Sziréna 12V  (alaphelyzet 0V, riasztáskor 12V )",
    "1 - Sziréna 0V    (alaphelyzet 12V, riasztáskor 0V )",
    "2 - fix 12V kimenet"};
inline constexpr ItemList cbOUT1mode{"cbOUT1mode", kOutModeItems};
inline constexpr ItemList cbOUT2mode{"cbOUT2mode", kOutModeItems};
inline constexpr ItemList kOutModes[] = {cbOUT1mode, cbOUT2mode};
inline constexpr SpinRange edOUT1delay{"edOUT1delay", 0, 255};
inline constexpr SpinRange edOUT1time{"edOUT1time", 1, 25};
inline constexpr SpinRange edOUT2delay{"edOUT2delay", 0, 255};
inline constexpr SpinRange edOUT2time{"edOUT2time", 1, 25};
inline constexpr SpinRange kOutDelays[] = {edOUT1delay, edOUT2delay};
inline constexpr SpinRange kOutTimes[] = {edOUT1time, edOUT2time};
inline constexpr SpinRange edTesztGyak{"edTesztGyak", 0, 255};
inline constexpr SpinRange edOnOffMode{"edOnOffMode", 0, 3};
inline constexpr SpinRange edAlarmMax{"edAlarmMax", 5, 25};
inline constexpr SpinRange edZoneAlarmMax{"edZoneAlarmMax", 0, 25};
inline constexpr SpinRange edAutoArm{"edAutoArm", 0, 255};
inline constexpr int kPhoneCells = 16;
inline constexpr int kAccountCells = 4;

// Keypad page.
inline constexpr std::string_view kKeypadLightItems[] = {
    "0 -  LCD háttér AUTO (sötét/teljes)     -     Gombok megvilágítása AUTO",
    "1 -  LCD háttér AUTO (fél/teljes)          -     Gombok megvilágítása AUTO",
    "2 -  LCD háttér BE                                      -     Gombok megvilágítása AUTO",
    "3 -  LCD háttér BE                                      -     Gombok megvilágítása BE",
    "4 -  LCD háttér KI                                        -     Gombok megvilágítása KI"};
inline constexpr ItemList rgKEYPAD_LIGHT{"rgKEYPAD_LIGHT", kKeypadLightItems};
inline constexpr std::string_view kINjelezItems[] = {
    "   IN1  jelez", "   IN2  jelez", "   IN3  jelez", "   IN4  jelez",
    "   IN5  jelez", "   IN6  jelez", "   IN7  jelez", "   IN8  jelez",
    "   IN9  jelez", " IN10  jelez",  " IN11  jelez",  " IN12  jelez"};
inline constexpr ItemList cbINjelez{"cbINjelez", kINjelezItems};

}  // namespace corvanta::controls
