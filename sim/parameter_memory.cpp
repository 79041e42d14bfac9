#include "sim/parameter_memory.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

namespace corvanta::sim {

using namespace layout;

namespace {

// Names are Windows-1250 bytes, padded with blanks to their field width.
void putText(ParameterMemory& m, std::size_t at, std::size_t width, std::string_view text) {
    for (std::size_t i = 0; i < width; ++i) m[at + i] = i < text.size() ? uint8_t(text[i]) : ' ';
}

// Each digit d as the nibble 15 - d, first digit in the high nibble; 0 marks
// a place without a digit.
void putCode(ParameterMemory& m, std::size_t at, std::string_view digits) {
    for (std::size_t p = 0; p < kCodeBytes; ++p) {
        uint8_t byte = 0;
        for (std::size_t h = 0; h < 2; ++h) {
            const std::size_t i = 2 * p + h;
            const uint8_t nibble = i < digits.size() ? uint8_t(15 - (digits[i] - '0')) : 0;
            byte = uint8_t(byte << 4 | nibble);
        }
        m[at + p] = byte;
    }
}

void putWord(ParameterMemory& m, std::size_t at, uint16_t value) {
    m[at] = uint8_t(value >> 8);
    m[at + 1] = uint8_t(value);
}

void putPhone(ParameterMemory& m, int index, std::string_view digits) {
    const std::size_t at = kPhoneBase + kPhoneSize * std::size_t(index);
    for (std::size_t i = 0; i < kPhoneSize; ++i) m[at + i] = i < digits.size() ? uint8_t(digits[i]) : 0;
}

struct ZoneSetting {
    const char* name;
    uint8_t inputType, partition, entryDelay, exitDelay;
};

struct UserSetting {
    const char* name;
    const char* code;
    uint16_t rights;
};

// Contact-ID code, routes (T1..T4 bits 0..3, S1..S4 bits 4..7, central
// station bit 8) and SMS text of the reportable events, by kind 1..47.
struct ReportSetting {
    uint8_t cid[3];
    uint16_t routes;
    const char* sms;
};

constexpr uint16_t kAlarmRoutes = 0x0111;    // T1, S1, central station
constexpr uint16_t kRestoreRoutes = 0x0100;  // central station only
constexpr uint16_t kInfoRoutes = 0x0110;     // S1, central station

}  // namespace

ParameterMemory factoryMemory() {
    ParameterMemory m{};

    static const UserSetting users[] = {
        {"Kov\xE1" "cs P.", "1111", 0xFFFF},
        {"Nagy \xC9" "va", "2222", 0x030F},
        {"Szab\xF3 I.", "3333", 0x010D},
        {"Takar\xED" "t\xF3", "4444", 0x000D},
    };
    for (int u = 0; u < kUsers; ++u) {
        const std::size_t at = kUserBase + kUserSize * std::size_t(u);
        if (u < int(std::size(users))) {
            putText(m, at + kUserName, kNameSize, users[u].name);
            putCode(m, at + kUserCode, users[u].code);
            putWord(m, at + kUserRights, users[u].rights);
        } else {
            putText(m, at + kUserName, kNameSize, "");
        }
    }

    putCode(m, kInstallerCode, "1234");

    static const ZoneSetting zones[kZones] = {
        {"Bej\xE1" "rat", 2, 1, 30, 30},   {"El\xF5szoba", 2, 1, 0, 30},
        {"Nappali", 2, 1, 0, 0},             {"Konyha", 2, 1, 0, 0},
        {"H\xE1l\xF3szoba", 2, 1, 0, 0},     {"Gar\xE1zs", 2, 2, 20, 20},
        {"Pince", 2, 2, 0, 0},               {"Emelet", 2, 0, 0, 0},
        {"Terasz", 1, 1, 0, 0},              {"Ablakok", 0, 1, 0, 0},
        {"F\xFCst\xE9rz.", 2, 3, 0, 0},      {"R\xE1" "di\xF3s PIR", 3, 1, 0, 0},
    };
    for (int z = 0; z < kZones; ++z) {
        const std::size_t at = kZoneBase + kZoneSize * std::size_t(z);
        putText(m, at + kZoneName, kNameSize, zones[z].name);
        m[at + kZoneInputType] = zones[z].inputType;
        m[at + kZonePartition] = zones[z].partition;
        m[at + kZoneSensitivity] = 5;  // half a second
        m[at + kZoneEntryDelay] = zones[z].entryDelay;
        m[at + kZoneExitDelay] = zones[z].exitDelay;
        m[at + kZoneNight] = 0;
    }

    for (int e = 0; e < kReportEvents; ++e) {
        const int kind = e + 1;
        ReportSetting r{{1, 3, 0}, kAlarmRoutes, "$ riaszt\xE1s #"};
        if (kind <= 24 && kind % 2 == 0) r = {{1, 3, 0}, kRestoreRoutes, "$ vissza\xE1llt"};
        else if (kind == 25) r = {{1, 3, 7}, kAlarmRoutes, "Szabot\xE1zs!"};
        else if (kind == 26) r = {{1, 3, 7}, kRestoreRoutes, "Szabot\xE1zs vissza"};
        else if (kind >= 27 && kind <= 30) r = {{4, 0, 1}, kInfoRoutes, kind <= 28 ? "\xC9les\xEDtve: $" : "Kikapcsolva: $"};
        else if (kind == 31) r = {{6, 0, 2}, 0x0100, "Tesztjelent\xE9s"};
        else if (kind == 32) r = {{3, 0, 1}, kInfoRoutes, "H\xE1l\xF3zati hiba"};
        else if (kind == 33) r = {{3, 0, 1}, kRestoreRoutes, "H\xE1l\xF3zat rendben"};
        else if (kind >= 34) r = {{3, 0, 9}, kRestoreRoutes, ""};
        const std::size_t at = kEventRecordBase + kEventRecordSize * std::size_t(e);
        for (std::size_t i = 0; i < 3; ++i) m[at + kEventRecordContactId + i] = r.cid[i];
        putWord(m, at + kEventRecordRoutes, r.routes);
        putText(m, at + kEventRecordSms, kSmsSize, r.sms);
        m[at + kEventRecordVoice] = kind <= 26 ? uint8_t(1 + (kind - 1) / 2 % 12) : 0;
    }

    putPhone(m, 0, "06301234567");
    putPhone(m, 1, "06209876543");
    putPhone(m, 4, "0612345678");
    putPhone(m, 6, "06701112233");
    for (std::size_t i = 0; i < 4; ++i) m[kAckModes + i] = i < 2 ? 1 : 0;
    for (std::size_t i = 0; i < 4; ++i) m[kAccount + i] = uint8_t(i + 1);  // account 1234

    const uint8_t sirens[] = {0, 0, 3, 0, 10, 3};  // mode, delay, minutes for OUT1, OUT2
    std::memcpy(&m[kOut1Mode], sirens, sizeof sirens);
    m[kRelayBase] = 0x01;  // relay 1 follows telephone control
    for (std::size_t r = 0; r < 3; ++r) m[kRelayBase + kRelaySize * r + kRelayTime] = 5;
    m[kAlarmMax] = 5;
    const uint8_t testReport[] = {12, 0, 1};
    std::memcpy(&m[kTestReport], testReport, sizeof testReport);
    const uint8_t limits[] = {3, 0, 2};
    std::memcpy(&m[kZoneLimits], limits, sizeof limits);
    m[kRemoteBase] = 0x15;  // user 1: arm both, disarm, relay 1, none
    m[kRemoteBase + 1] = 0x60;
    const uint8_t keypad[] = {0, 1, 0, 1, 1, 1};
    std::memcpy(&m[kKeypad], keypad, sizeof keypad);
    putWord(m, kDoorChime, 0x0001);  // IN1 chimes
    return m;
}

bool loadMemoryFile(const std::string& path, ParameterMemory& memory, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() != kImageSize) {
        error = path + " holds " + std::to_string(bytes.size()) + " bytes, not " +
                std::to_string(kImageSize);
        return false;
    }
    std::memcpy(memory.data(), bytes.data(), kImageSize);
    return true;
}

}  // namespace corvanta::sim
