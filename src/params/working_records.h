#pragma once
// The editor's working values: what decode makes of a parameter image and
// what encode writes back. The five row pages edit the records; the single
// values stand for the page controls that have no record. Texts are UTF-8.
// Drop-down selections use -1 for "nothing selected". Defaults are the
// controls' initial values.

#include <array>
#include <string>

#include "params/parameter_image.h"

namespace corvanta {

inline constexpr int kNoSelection = -1;

struct ZoneRecord {
    bool bypass = false;
    bool silent = false;
    bool follower = false;
    int inputType = 0;        // rgZonaBek
    int partition = 0;        // rgZonaPart
    int sensitivity = 0;      // tenths of a second
    int entryDelay = 0;       // seconds
    int exitDelay = 0;        // seconds
    int smartZoneTime = 0;    // minutes
    int coverTime = 0;        // minutes
    int nightSetting = kNoSelection;  // cbNightSet
    std::string name;

    bool operator==(const ZoneRecord&) const = default;
};

struct UserRecord {
    std::array<bool, 16> rights{};  // cblUserRights item order
    std::string name;
    std::string code;               // digits, "*" for no digit

    bool operator==(const UserRecord&) const = default;
};

struct EventRecord {
    std::string contactId = "0 0 0";  // "1 3 A"
    std::array<bool, 9> routes{};     // T1..T4, S1..S4, central station
    std::string sms;
    int voice = 0;

    bool operator==(const EventRecord&) const = default;
};

// R1 on, R1 off, R2 on, R2 off, R3 on, R3 off.
struct RelayRow {
    std::array<bool, 6> triggers{};
    bool on(int relay) const { return triggers[2 * relay]; }
    bool off(int relay) const { return triggers[2 * relay + 1]; }

    bool operator==(const RelayRow&) const = default;
};

struct RemoteControlRecord {
    std::array<int, kRemoteButtonCount> buttons{kNoSelection, kNoSelection, kNoSelection, kNoSelection};

    bool operator==(const RemoteControlRecord&) const = default;
};

struct RelayTiming {
    int startDelay = 0;  // seconds
    int maxTime = 0;     // seconds

    bool operator==(const RelayTiming&) const = default;
};

struct SirenOutput {
    int mode = kNoSelection;  // cbOUT1mode / cbOUT2mode
    int startDelay = 0;       // seconds
    int maxTime = 1;          // minutes

    bool operator==(const SirenOutput&) const = default;
};

struct KeypadSettings {
    int backlight = 0;  // rgKEYPAD_LIGHT
    bool nightArmSilent = false;
    bool alarmBeep = false;
    bool quickArm = false;
    bool zoneView = false;

    bool operator==(const KeypadSettings&) const = default;
};

// One telephone grid: a character per cell, '\0' for an empty cell.
using PhoneCells = std::array<char, 16>;
// The customer account grid: '0'..'9', 'A'..'F', '\0' for an empty cell.
using AccountCells = std::array<char, 4>;

// Index of each telephone grid in ParameterValues::phones.
enum PhoneIndex : int {
    kPhone1 = 0, kPhone2, kPhone3, kPhone4, kCentralPhone1, kCentralPhone2, kSmsForwardPhone
};

struct ParameterValues {
    std::array<ZoneRecord, kZoneCount> zones;
    int nightWalkTime = 1;  // minutes
    std::array<UserRecord, kUserCount> users;
    std::string installerCode;
    std::array<EventRecord, kEventCount> events;
    std::array<RelayRow, kRelayRowCount> relayRows;
    std::array<RelayTiming, kRelayCount> relays;
    std::array<PhoneCells, kPhoneCount> phones{};
    AccountCells account{};
    std::array<int, 4> ackModes{kNoSelection, kNoSelection, kNoSelection, kNoSelection};
    int onOffMode = 0;
    std::array<SirenOutput, kSirenCount> sirens;
    bool tamperSiren = false;
    int alarmMaxTime = 5;     // minutes
    std::string testTime = "00:00";  // "hh:mm"
    int testPeriod = 0;       // days
    int zoneAlarmMax = 0;     // 0 = unlimited
    int autoArmHours = 0;     // 0 = off
    std::array<RemoteControlRecord, kRemoteCount> remotes;
    KeypadSettings keypad;
    std::array<bool, 12> doorChime{};  // IN1..IN12

    bool operator==(const ParameterValues&) const = default;
};

}  // namespace corvanta
