#include "params/parameter_codec.h"

#include <algorithm>

#include "params/control_table.h"
#include "params/field_catalogue.h"
#include "params/field_codecs.h"
#include "params/image_layout.h"

namespace corvanta {
namespace {

using namespace layout;
namespace ctl = controls;

// Stored selections past the items: a radio group shows its last item, a
// drop-down list shows nothing.
int radioItem(std::uint8_t b, const ctl::ItemList& list) { return std::min<int>(b, list.count() - 1); }
int listItem(std::uint8_t b, const ctl::ItemList& list) { return b < list.count() ? b : kNoSelection; }

std::uint8_t radioByte(int item, const ctl::ItemList& list) {
    return static_cast<std::uint8_t>(std::clamp(item, 0, list.count() - 1));
}
std::uint8_t listByte(int item, const ctl::ItemList& list) {
    return item >= 0 && item < list.count() ? static_cast<std::uint8_t>(item) : 0xFF;
}
std::uint8_t spinByte(int value, const ctl::SpinRange& range) {
    return static_cast<std::uint8_t>(range.clamp(value));
}

// The zone flags count only the value 1 as set; the keypad and tamper flags
// count any non-zero value.
bool zoneFlag(std::uint8_t b) { return b == 1; }
bool optionFlag(std::uint8_t b) { return b != 0; }
std::uint8_t flagByte(bool set) { return set ? 1 : 0; }

// Remote buttons keep 4 bits; 15 is the stored "nothing selected".
constexpr int kNoButton = 15;
int buttonItem(int nibble) { return nibble < ctl::cbRFButtA.count() ? nibble : kNoSelection; }
int buttonNibble(int item) { return item >= 0 && item < ctl::cbRFButtA.count() ? item : kNoButton; }

// Relay row bits by bitmap: R1 on, R1 off, R2 on, R2 off, R3 on, R3 off.
std::size_t relayBitmapOffset(std::size_t bitmap) {
    return relayOffset(bitmap / 2) + (bitmap % 2 == 0 ? kRelayOnRel : kRelayOffRel);
}

}  // namespace

ParameterValues decode(const ParameterImage& image) {
    ParameterValues v;

    for (int z = 0; z < kZoneCount; ++z) {
        const std::size_t at = zoneOffset(z);
        ZoneRecord& r = v.zones[z];
        r.inputType = radioItem(image[at + kZoneInputTypeRel], ctl::rgZonaBek);
        r.partition = radioItem(image[at + kZonePartitionRel], ctl::rgZonaPart);
        r.sensitivity = ctl::edZonaErz.clamp(image[at + kZoneSensitivityRel]);
        r.entryDelay = ctl::edZonaBeKesl.clamp(image[at + kZoneEntryDelayRel]);
        r.exitDelay = ctl::edZonaKiKesl.clamp(image[at + kZoneExitDelayRel]);
        r.smartZoneTime = ctl::edZonaIntel.clamp(image[at + kZoneSmartTimeRel]);
        r.coverTime = ctl::edZonaCover.clamp(image[at + kZoneCoverTimeRel]);
        r.nightSetting = listItem(image[at + kZoneNightSettingRel], ctl::cbNightSet);
        r.name = decodePaddedText(image, at + kZoneNameRel, kZoneNameLength);
    }

    for (int u = 0; u < kUserCount; ++u) {
        const std::size_t at = userOffset(u);
        UserRecord& r = v.users[u];
        r.rights = flagItems<16>(decodeFlagWord(image, at + kUserRightsRel));
        r.name = decodePaddedText(image, at + kUserNameRel, kUserNameLength);
        r.code = decodeInvertedCode(image, at + kUserCodeRel);
    }
    v.installerCode = decodeInvertedCode(image, kInstallerCode);

    for (int e = 0; e < kEventCount; ++e) {
        const std::size_t at = eventOffset(e);
        EventRecord& r = v.events[e];
        r.contactId = decodeContactId(image, at + kEventContactIdRel);
        r.routes = flagItems<9>(decodeFlagWord(image, at + kEventRoutesRel));
        r.voice = ctl::edHanguz.clamp(image[at + kEventVoiceRel]);
        r.sms = decodePaddedText(image, at + kEventSmsRel, kEventSmsLength);
    }

    for (std::size_t bitmap = 0; bitmap < 6; ++bitmap) {
        const RelayBitmap rows = decodeRelayBitmap(image, relayBitmapOffset(bitmap));
        for (int n = 0; n < kRelayRowCount; ++n) v.relayRows[n].triggers[bitmap] = rows[n];
    }
    for (int r = 0; r < kRelayCount; ++r) {
        v.relays[r].startDelay = ctl::kRelayDelays[r].clamp(image[relayOffset(r) + kRelayDelayRel]);
        v.relays[r].maxTime = ctl::kRelayTimes[r].clamp(image[relayOffset(r) + kRelayTimeRel]);
    }

    for (int p = 0; p < kPhoneCount; ++p) v.phones[p] = decodePhone(image, phoneOffset(p));
    v.account = decodeAccount(image, kAccount);
    for (std::size_t i = 0; i < kAckModeCount; ++i) {
        v.ackModes[i] = listItem(image[kAckModes + i], ctl::kAckLists[i]);
    }
    v.onOffMode = ctl::edOnOffMode.clamp(image[kOnOffMode]);
    v.alarmMaxTime = ctl::edAlarmMax.clamp(image[kAlarmMaxTime]);
    v.nightWalkTime = ctl::edNightDelay.clamp(image[kNightWalkTime]);
    v.zoneAlarmMax = ctl::edZoneAlarmMax.clamp(image[kZoneAlarmMax]);
    v.testTime = decodeTestTime(image, kTestHour, kTestMinute);
    v.testPeriod = ctl::edTesztGyak.clamp(image[kTestPeriod]);
    v.autoArmHours = ctl::edAutoArm.clamp(image[kAutoArmHours]);
    for (int s = 0; s < kSirenCount; ++s) {
        const std::size_t at = sirenOffset(s);
        v.sirens[s].mode = listItem(image[at + kSirenModeRel], ctl::kOutModes[s]);
        v.sirens[s].startDelay = ctl::kOutDelays[s].clamp(image[at + kSirenDelayRel]);
        v.sirens[s].maxTime = ctl::kOutTimes[s].clamp(image[at + kSirenTimeRel]);
    }

    for (int z = 0; z < kZoneCount; ++z) {
        v.zones[z].bypass = zoneFlag(image[kBypassBase + z]);
        v.zones[z].silent = zoneFlag(image[zoneOffset(z) + kZoneSilentRel]);
        v.zones[z].follower = zoneFlag(image[zoneOffset(z) + kZoneFollowerRel]);
    }

    for (int r = 0; r < kRemoteCount; ++r) {
        const std::uint8_t first = image[remoteOffset(r)];
        const std::uint8_t second = image[remoteOffset(r) + 1];
        v.remotes[r].buttons = {buttonItem(first >> 4), buttonItem(first & 0x0F),
                                buttonItem(second >> 4), buttonItem(second & 0x0F)};
    }

    v.keypad.backlight = radioItem(image[kKeypadBacklight], ctl::rgKEYPAD_LIGHT);
    v.keypad.nightArmSilent = optionFlag(image[kKeypadNightArmSilent]);
    v.keypad.alarmBeep = optionFlag(image[kKeypadAlarmBeep]);
    v.keypad.quickArm = optionFlag(image[kKeypadQuickArm]);
    v.keypad.zoneView = optionFlag(image[kKeypadZoneView]);
    v.tamperSiren = optionFlag(image[kTamperSiren]);
    v.doorChime = flagItems<12>(decodeFlagWord(image, kDoorChime));
    return v;
}

void encodeEveryField(const ParameterValues& v, ParameterImage& image) {
    for (int z = 0; z < kZoneCount; ++z) {
        const std::size_t at = zoneOffset(z);
        const ZoneRecord& r = v.zones[z];
        image[at + kZoneInputTypeRel] = radioByte(r.inputType, ctl::rgZonaBek);
        image[at + kZonePartitionRel] = radioByte(r.partition, ctl::rgZonaPart);
        image[at + kZoneSensitivityRel] = spinByte(r.sensitivity, ctl::edZonaErz);
        image[at + kZoneEntryDelayRel] = spinByte(r.entryDelay, ctl::edZonaBeKesl);
        image[at + kZoneExitDelayRel] = spinByte(r.exitDelay, ctl::edZonaKiKesl);
        image[at + kZoneSmartTimeRel] = spinByte(r.smartZoneTime, ctl::edZonaIntel);
        image[at + kZoneCoverTimeRel] = spinByte(r.coverTime, ctl::edZonaCover);
        image[at + kZoneNightSettingRel] = listByte(r.nightSetting, ctl::cbNightSet);
        encodePaddedText(image, at + kZoneNameRel, kZoneNameLength, r.name);
    }

    for (int u = 0; u < kUserCount; ++u) {
        const std::size_t at = userOffset(u);
        const UserRecord& r = v.users[u];
        encodeFlagWord(image, at + kUserRightsRel, flagWord(r.rights));
        encodePaddedText(image, at + kUserNameRel, kUserNameLength, r.name);
        encodeInvertedCode(image, at + kUserCodeRel, r.code);
    }
    encodeInvertedCode(image, kInstallerCode, v.installerCode);

    for (int e = 0; e < kEventCount; ++e) {
        const std::size_t at = eventOffset(e);
        const EventRecord& r = v.events[e];
        encodeContactId(image, at + kEventContactIdRel, r.contactId.empty() ? "0 0 0" : r.contactId);
        encodeFlagWord(image, at + kEventRoutesRel, flagWord(r.routes));
        image[at + kEventVoiceRel] = spinByte(r.voice, ctl::edHanguz);
        encodePaddedText(image, at + kEventSmsRel, kEventSmsLength, r.sms);
    }

    for (std::size_t bitmap = 0; bitmap < 6; ++bitmap) {
        RelayBitmap rows{};
        for (int n = 0; n < kRelayRowCount; ++n) rows[n] = v.relayRows[n].triggers[bitmap];
        encodeRelayBitmap(image, relayBitmapOffset(bitmap), rows);
    }
    for (int r = 0; r < kRelayCount; ++r) {
        image[relayOffset(r) + kRelayDelayRel] = spinByte(v.relays[r].startDelay, ctl::kRelayDelays[r]);
        image[relayOffset(r) + kRelayTimeRel] = spinByte(v.relays[r].maxTime, ctl::kRelayTimes[r]);
    }

    for (int p = 0; p < kPhoneCount; ++p) encodePhone(image, phoneOffset(p), v.phones[p]);
    encodeAccount(image, kAccount, v.account);
    for (std::size_t i = 0; i < kAckModeCount; ++i) {
        image[kAckModes + i] = listByte(v.ackModes[i], ctl::kAckLists[i]);
    }
    image[kOnOffMode] = spinByte(v.onOffMode, ctl::edOnOffMode);
    image[kAlarmMaxTime] = spinByte(v.alarmMaxTime, ctl::edAlarmMax);
    image[kNightWalkTime] = spinByte(v.nightWalkTime, ctl::edNightDelay);
    image[kZoneAlarmMax] = spinByte(v.zoneAlarmMax, ctl::edZoneAlarmMax);
    encodeTestTime(image, kTestHour, kTestMinute, v.testTime);
    image[kTestPeriod] = spinByte(v.testPeriod, ctl::edTesztGyak);
    image[kAutoArmHours] = spinByte(v.autoArmHours, ctl::edAutoArm);
    for (int s = 0; s < kSirenCount; ++s) {
        const std::size_t at = sirenOffset(s);
        image[at + kSirenModeRel] = listByte(v.sirens[s].mode, ctl::kOutModes[s]);
        image[at + kSirenDelayRel] = spinByte(v.sirens[s].startDelay, ctl::kOutDelays[s]);
        image[at + kSirenTimeRel] = spinByte(v.sirens[s].maxTime, ctl::kOutTimes[s]);
    }

    for (int z = 0; z < kZoneCount; ++z) {
        image[kBypassBase + z] = flagByte(v.zones[z].bypass);
        image[zoneOffset(z) + kZoneSilentRel] = flagByte(v.zones[z].silent);
        image[zoneOffset(z) + kZoneFollowerRel] = flagByte(v.zones[z].follower);
    }

    for (int r = 0; r < kRemoteCount; ++r) {
        const auto& b = v.remotes[r].buttons;
        image[remoteOffset(r)] = static_cast<std::uint8_t>(buttonNibble(b[0]) << 4 | buttonNibble(b[1]));
        image[remoteOffset(r) + 1] = static_cast<std::uint8_t>(buttonNibble(b[2]) << 4 | buttonNibble(b[3]));
    }

    image[kKeypadBacklight] = radioByte(v.keypad.backlight, ctl::rgKEYPAD_LIGHT);
    image[kKeypadNightArmSilent] = flagByte(v.keypad.nightArmSilent);
    image[kKeypadAlarmBeep] = flagByte(v.keypad.alarmBeep);
    image[kKeypadQuickArm] = flagByte(v.keypad.quickArm);
    image[kKeypadZoneView] = flagByte(v.keypad.zoneView);
    image[kTamperSiren] = flagByte(v.tamperSiren);
    encodeFlagWord(image, kDoorChime, flagWord(v.doorChime));
}

void encode(const ParameterValues& v, ParameterImage& image) {
    // A field counts as changed when its value would be stored otherwise
    // than the value the image shows: only then are its bits rewritten, so a
    // value outside the format that nobody touched stays as the module holds
    // it, and bits of no field are never written at all.
    ParameterImage wanted = image;
    encodeEveryField(v, wanted);
    ParameterImage shown = image;
    encodeEveryField(decode(image), shown);
    for (const fields::Field& f : fields::catalogue().fields) {
        if (!f.sameBits(wanted, shown)) f.copyBits(wanted, image);
    }
}

}  // namespace corvanta
