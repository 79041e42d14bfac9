#pragma once
// Byte map of the parameter image: every offset the codec and the other
// readers of the image (event list names, settings listing) rely on. Offsets
// are absolute unless their name says "relative" (k...Rel), in which case they
// count from the start of their record.

#include <cstddef>

#include "params/parameter_image.h"

namespace corvanta::layout {

// Users: 12 records of 15 bytes from 0.
inline constexpr std::size_t kUserBase = 0;
inline constexpr std::size_t kUserSize = 15;
inline constexpr std::size_t kUserNameRel = 0;
inline constexpr std::size_t kUserNameLength = 10;
inline constexpr std::size_t kUserCodeRel = 10;
inline constexpr std::size_t kUserRightsRel = 13;

// Installer code: one inverted-digit code.
inline constexpr std::size_t kInstallerCode = 180;

// Zones: 12 records of 20 bytes from 183.
inline constexpr std::size_t kZoneBase = 183;
inline constexpr std::size_t kZoneSize = 20;
inline constexpr std::size_t kZoneNameRel = 0;
inline constexpr std::size_t kZoneNameLength = 10;
inline constexpr std::size_t kZoneInputTypeRel = 10;
inline constexpr std::size_t kZonePartitionRel = 11;
inline constexpr std::size_t kZoneSensitivityRel = 12;
inline constexpr std::size_t kZoneEntryDelayRel = 13;
inline constexpr std::size_t kZoneExitDelayRel = 14;
inline constexpr std::size_t kZoneSilentRel = 15;
inline constexpr std::size_t kZoneSmartTimeRel = 16;
inline constexpr std::size_t kZoneFollowerRel = 17;
inline constexpr std::size_t kZoneCoverTimeRel = 18;
inline constexpr std::size_t kZoneNightSettingRel = 19;

// Event reporting: 47 records of 26 bytes from 423.
inline constexpr std::size_t kEventBase = 423;
inline constexpr std::size_t kEventSize = 26;
inline constexpr std::size_t kEventContactIdRel = 0;
inline constexpr std::size_t kEventRoutesRel = 3;
inline constexpr std::size_t kEventSmsRel = 5;
inline constexpr std::size_t kEventSmsLength = 20;
inline constexpr std::size_t kEventVoiceRel = 25;

// Telephone numbers: 7 digit strings of 16 bytes from 1671, in the order
// telephone 1..4, central station 1..2, SMS forwarding.
inline constexpr std::size_t kPhoneBase = 1671;
inline constexpr std::size_t kPhoneSize = 16;

inline constexpr std::size_t kAckModes = 1783;        // 4 bytes, telephones 1..4
inline constexpr std::size_t kAckModeCount = 4;
inline constexpr std::size_t kAccount = 1787;         // 4 bytes, one digit each
inline constexpr std::size_t kAccountLength = 4;
inline constexpr std::size_t kOnOffMode = 1791;

// Siren outputs OUT1, OUT2: 3 bytes each from 1792.
inline constexpr std::size_t kSirenBase = 1792;
inline constexpr std::size_t kSirenSize = 3;
inline constexpr std::size_t kSirenModeRel = 0;
inline constexpr std::size_t kSirenDelayRel = 1;
inline constexpr std::size_t kSirenTimeRel = 2;

// Relays R1..R3: 18 bytes each from 1798.
inline constexpr std::size_t kRelayBase = 1798;
inline constexpr std::size_t kRelaySize = 18;
inline constexpr std::size_t kRelayOnRel = 0;         // 8-byte bitmap
inline constexpr std::size_t kRelayOffRel = 8;        // 8-byte bitmap
inline constexpr std::size_t kRelayDelayRel = 16;
inline constexpr std::size_t kRelayTimeRel = 17;
inline constexpr std::size_t kRelayBitmapSize = 8;

inline constexpr std::size_t kAlarmMaxTime = 1852;
inline constexpr std::size_t kTestHour = 1853;
inline constexpr std::size_t kTestMinute = 1854;
inline constexpr std::size_t kTestPeriod = 1855;
inline constexpr std::size_t kBypassBase = 1856;      // zone z at 1856 + z
inline constexpr std::size_t kZoneAlarmMax = 1868;
inline constexpr std::size_t kAutoArmHours = 1869;
inline constexpr std::size_t kNightWalkTime = 1870;

// Radio remote controls: 12 records of 2 bytes from 1871.
inline constexpr std::size_t kRemoteBase = 1871;
inline constexpr std::size_t kRemoteSize = 2;

inline constexpr std::size_t kTamperSiren = 1895;
inline constexpr std::size_t kKeypadBacklight = 1896;
inline constexpr std::size_t kKeypadNightArmSilent = 1897;
inline constexpr std::size_t kKeypadAlarmBeep = 1898;
inline constexpr std::size_t kKeypadQuickArm = 1899;
inline constexpr std::size_t kKeypadZoneView = 1900;
inline constexpr std::size_t kDoorChime = 1904;       // flag word, 12 inputs
inline constexpr std::size_t kDoorChimeCount = 12;

// Bytes no field covers. They belong to the module and must survive every
// decode and encode untouched.
struct ByteRange {
    std::size_t first;
    std::size_t length;
};
inline constexpr ByteRange kPreservedRanges[] = {
    {1645, 26},   // where a 48th event record would sit
    {1901, 3},
    {1906, 142},  // up to the end of the image
};

constexpr std::size_t userOffset(std::size_t u) { return kUserBase + kUserSize * u; }
constexpr std::size_t zoneOffset(std::size_t z) { return kZoneBase + kZoneSize * z; }
constexpr std::size_t eventOffset(std::size_t e) { return kEventBase + kEventSize * e; }
constexpr std::size_t phoneOffset(std::size_t p) { return kPhoneBase + kPhoneSize * p; }
constexpr std::size_t sirenOffset(std::size_t s) { return kSirenBase + kSirenSize * s; }
constexpr std::size_t relayOffset(std::size_t r) { return kRelayBase + kRelaySize * r; }
constexpr std::size_t remoteOffset(std::size_t r) { return kRemoteBase + kRemoteSize * r; }

// The records must tile the image exactly as the module lays it out.
static_assert(userOffset(kUserCount) == kInstallerCode);
static_assert(kInstallerCode + 3 == kZoneBase);
static_assert(zoneOffset(kZoneCount) == kEventBase);
static_assert(eventOffset(kEventCount) == kPreservedRanges[0].first);
static_assert(kPreservedRanges[0].first + kPreservedRanges[0].length == kPhoneBase);
static_assert(phoneOffset(kPhoneCount) == kAckModes);
static_assert(sirenOffset(kSirenCount) == kRelayBase);
static_assert(relayOffset(kRelayCount) == kAlarmMaxTime);
static_assert(kBypassBase + kZoneCount == kZoneAlarmMax);
static_assert(remoteOffset(kRemoteCount) == kTamperSiren);
static_assert(kPreservedRanges[2].first + kPreservedRanges[2].length == kImageSize);

}  // namespace corvanta::layout
