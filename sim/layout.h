#pragma once
// Every byte position the simulated module relies on, in one table. The
// simulator keeps its own copy of these layouts on purpose: it must not share
// a mistake with the program it is there to test.

#include <cstddef>
#include <cstdint>

namespace corvanta::sim::layout {

// Block frame: 256 data bytes, 8 extension bytes, address, checksum.
constexpr std::size_t kFrameSize = 270;
constexpr std::size_t kFrameData = 256;
constexpr std::size_t kFrameExtension = 256;
constexpr std::size_t kFrameAddressHigh = 264;
constexpr std::size_t kFrameAddressLow = 265;
constexpr std::size_t kFrameChecksum = 266;  // summed bytes are 0..265
constexpr std::size_t kFrameHexDigits = 2 * kFrameSize;

// Block addresses.
constexpr uint16_t kParamFirst = 0x0000;
constexpr uint16_t kParamLast = 0x0007;
constexpr uint16_t kFirmwareFirst = 0x0021;
constexpr uint16_t kFirmwareLast = 0x0220;
constexpr uint16_t kFirmwareCheck = 0x0221;
constexpr uint16_t kEventFirst = 0xF000;
constexpr uint16_t kEventLast = 0xF003;
constexpr uint16_t kClock = 0xFFFE;
constexpr uint16_t kVersion = 0xFFFF;

// Firmware check frame.
constexpr std::size_t kFirmwareGroups = 128;  // 16-bit sums at 2*g
constexpr std::size_t kFirmwareFramesPerGroup = 4;
constexpr std::size_t kFirmwareCount = 256;  // 16-bit, big-endian
constexpr std::size_t kFirmwareTag = 258;    // "FIRMW."
constexpr std::size_t kFirmwareMaxFrames = 512;

// Version block.
constexpr std::size_t kVersionText = 0;
constexpr std::size_t kVersionDataVersion = 32;

// Clock block.
constexpr std::size_t kClockYear = 0;
constexpr std::size_t kClockMonth = 1;
constexpr std::size_t kClockDay = 2;
constexpr std::size_t kClockHour = 3;
constexpr std::size_t kClockMinute = 4;
constexpr std::size_t kClockSecond = 5;

// Parameter memory.
constexpr std::size_t kImageSize = 2048;
constexpr std::size_t kBlockSize = 256;
constexpr std::size_t kUserBase = 0;
constexpr std::size_t kUserSize = 15;
constexpr std::size_t kUserName = 0;
constexpr std::size_t kUserCode = 10;
constexpr std::size_t kUserRights = 13;
constexpr std::size_t kInstallerCode = 180;
constexpr std::size_t kCodeBytes = 3;
constexpr std::size_t kZoneBase = 183;
constexpr std::size_t kZoneSize = 20;
constexpr std::size_t kZoneName = 0;
constexpr std::size_t kZoneInputType = 10;
constexpr std::size_t kZonePartition = 11;
constexpr std::size_t kZoneSensitivity = 12;
constexpr std::size_t kZoneEntryDelay = 13;
constexpr std::size_t kZoneExitDelay = 14;
constexpr std::size_t kZoneNight = 19;
constexpr std::size_t kNameSize = 10;
constexpr std::size_t kEventRecordBase = 423;
constexpr std::size_t kEventRecordSize = 26;
constexpr std::size_t kEventRecordContactId = 0;
constexpr std::size_t kEventRecordRoutes = 3;  // flag word, big-endian
constexpr std::size_t kEventRecordSms = 5;
constexpr std::size_t kEventRecordVoice = 25;
constexpr std::size_t kSmsSize = 20;
constexpr std::size_t kPhoneBase = 1671;
constexpr std::size_t kPhoneSize = 16;
constexpr std::size_t kAckModes = 1783;
constexpr std::size_t kAccount = 1787;
constexpr std::size_t kOut1Mode = 1792;
constexpr std::size_t kOut2Mode = 1795;
constexpr std::size_t kRelayBase = 1798;
constexpr std::size_t kRelaySize = 18;
constexpr std::size_t kRelayDelay = 16;
constexpr std::size_t kRelayTime = 17;
constexpr std::size_t kAlarmMax = 1852;
constexpr std::size_t kTestReport = 1853;  // hour, minute, period
constexpr std::size_t kZoneLimits = 1868;  // alarms per zone, auto-arm, night walk
constexpr std::size_t kRemoteBase = 1871;
constexpr std::size_t kKeypad = 1895;      // tamper siren, backlight, 4 flags
constexpr std::size_t kDoorChime = 1904;

constexpr int kUsers = 12;
constexpr int kZones = 12;
constexpr int kReportEvents = 47;
constexpr int kPhones = 7;

// Event memory: four blocks, a ring of 96 eight-byte entries and the index
// of the newest one.
constexpr std::size_t kEventMemorySize = 1024;
constexpr std::size_t kEventEntries = 96;
constexpr std::size_t kEventEntrySize = 8;
constexpr std::size_t kEventNewestIndex = 768;
constexpr std::size_t kEntryKind = 0;
constexpr std::size_t kEntryMonthSubject = 1;
constexpr std::size_t kEntryDay = 2;
constexpr std::size_t kEntryHour = 3;
constexpr std::size_t kEntryMinute = 4;
constexpr std::size_t kEntrySecond = 5;
constexpr std::size_t kEntryRoutes = 6;
constexpr std::size_t kEntryState = 7;
constexpr uint8_t kStateCentralPending = 0x01;
constexpr uint8_t kStateEnded = 0x02;
constexpr uint8_t kStateEndedMask = 0x0E;
constexpr uint8_t kStateDelayed = 0x10;

// Status frame "AT_[": shared offsets, then the extras of kinds 2 to 4.
constexpr std::size_t kStatusUnused = 4;  // 32 characters the program skips
constexpr std::size_t kStatusUnusedWidth = 32;
constexpr std::size_t kStatusZoneStates = 37;  // IN1..IN12, then A, B
constexpr std::size_t kStatusInputA = 49;
constexpr std::size_t kStatusInputB = 50;
constexpr std::size_t kStatusZoneTypes = 52;
constexpr std::size_t kStatusSpare = 64;
constexpr std::size_t kStatusTerminal = 66;
constexpr std::size_t kStatusOut1 = 69;
constexpr std::size_t kStatusOut2 = 70;
constexpr std::size_t kStatusRelay1 = 71;
constexpr std::size_t kStatusKeypadOvercurrent = 74;
constexpr std::size_t kStatusFixedOvercurrent = 75;
constexpr std::size_t kStatusOut1Overcurrent = 76;
constexpr std::size_t kStatusOut2Overcurrent = 77;
constexpr std::size_t kStatusPartition1 = 79;
constexpr std::size_t kStatusPartition2 = 80;
constexpr std::size_t kStatusGsm = 82;
constexpr std::size_t kStatusMains = 84;
constexpr std::size_t kStatusBattery = 86;
constexpr std::size_t kStatusTemperature = 89;
constexpr std::size_t kStatusCommas[] = {36, 51, 65, 68, 78, 81};
constexpr std::size_t kStatusLength[] = {0, 84, 86, 89, 92};  // by kind 1..4

// Event frame "AT_{": eight entries as hex.
constexpr std::size_t kEventFrameEntries = 8;

// Radio frame "AT_<": 40 bytes as hex, then ">".
constexpr std::size_t kRadioSlots = 36;
constexpr std::size_t kRadioBytes = 40;
constexpr std::size_t kRadioLearning = 36;
constexpr std::size_t kRadioStrength = 37;
constexpr uint8_t kRadioLearningFlag = 0x80;
constexpr uint8_t kSlotPresent = 0x01;
constexpr uint8_t kSlotLowBattery = 0x04;
constexpr int kSlotNumberShift = 3;

// Coded commands: word, then six code characters.
constexpr std::size_t kCodeDigits = 6;

}  // namespace corvanta::sim::layout
