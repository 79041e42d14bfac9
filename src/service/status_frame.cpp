#include "service/status_frame.h"

#include <algorithm>

#include "service/status_frame_layout.h"

namespace corvanta {

using namespace statusframe;

namespace {

constexpr const char* kIdle = "Alaphelyzet";
constexpr const char* kAlarm = "Riasztás";
constexpr const char* kTamper = "Szabotázs";
constexpr const char* kNone = ".";
constexpr const char* kOvercurrent = "Túláram";
constexpr const char* kSupplied = "12 V";
constexpr std::array<const char*, 4> kLoopTexts = {"Rövidzár", "1k", "2k", "Szakadás"};

constexpr int kRadioType = 3;

bool flagAt(std::string_view line, std::size_t at) { return line[at] == '1'; }

const char* loopText(int s) { return s >= 0 && s <= 3 ? kLoopTexts[std::size_t(s)] : kNone; }

ShownValue stateLabel(int type, int s) {
    const ShownValue idle{kIdle, Shade::Green}, alarm{kAlarm, Shade::Red}, tamper{kTamper, Shade::Red};
    switch (type) {
    case 0: return s <= 1 ? alarm : idle;  // active on short circuit
    case 1: return s <= 1 ? idle : alarm;  // active on open circuit
    case 2:                                // DEOL
        if (s == 1) return idle;
        if (s == 2) return alarm;
        if (s == 0 || s == 3) return tamper;
        break;
    case kRadioType:
        switch (s & 3) {
        case 1: return idle;
        case 2: return alarm;
        case 0: return tamper;
        }
        break;
    }
    return {kNone, Shade::Black};
}

std::string radioChannel(bool warned, char name, int value) {
    std::string text = warned ? "V! " : "";
    text += name;
    text += value == 3 ? '-' : char('0' + value);
    return text;
}

ShownValue loopLabel(int type, int s) {
    if (type != kRadioType) {
        // Black rather than left alone: a red "V!" warning of an input that
        // was a radio detector must not colour a wired loop reading.
        return {loopText(s), Shade::Black};
    }
    const bool warnA = s & 0x40, warnB = s & 0x80;
    return {radioChannel(warnA, 'A', (s >> 2) & 3) + "  /  " + radioChannel(warnB, 'B', (s >> 4) & 3),
            warnA || warnB ? Shade::Red : Shade::Black};
}

ShownValue overcurrentOr(bool overcurrent, ShownValue otherwise) {
    return overcurrent ? ShownValue{kOvercurrent, Shade::Red} : otherwise;
}

}  // namespace

int digitValue(char c) { return int(static_cast<unsigned char>(c)) - '0'; }

int voltageTenths(char c1, char c2) {
    const int v = (digitValue(c1) & 63) * 64 + (digitValue(c2) & 63);
    const int t = (10 * v - 3600) / 61 + 59;  // C++ division truncates toward zero
    return t < 20 ? 0 : t;
}

std::optional<int> temperatureDegrees(char c1, char c2) {
    const int r = (digitValue(c1) & 15) * 16 + (digitValue(c2) & 15);
    if (r == 128) return std::nullopt;
    return r < 128 ? r : -(r - 128);
}

ZoneView decodeZone(char state, char type) {
    const int s = digitValue(state), t = digitValue(type);
    return {stateLabel(t, s), loopLabel(t, s)};
}

std::optional<StatusView> decodeStatusFrame(std::string_view line) {
    const auto found = std::find(kKindLength.begin(), kKindLength.end(), line.size());
    if (found == kKindLength.end() || line.substr(0, 4) != "AT_[" || line.back() != ']') return std::nullopt;
    for (std::size_t at : kCommas)
        if (line[at] != ',') return std::nullopt;

    StatusView v;
    v.kind = int(found - kKindLength.begin()) + 1;
    for (std::size_t n = 1; n <= kZones; ++n) v.zones[n - 1] = decodeZone(line[kZoneState0 + n], line[kZoneType0 + n]);
    v.inputsAB[0] = {loopText(digitValue(line[kInputA])), Shade::Keep};
    v.inputsAB[1] = {loopText(digitValue(line[kInputB])), Shade::Keep};

    v.terminalTenths = voltageTenths(line[kTerminalVoltage], line[kTerminalVoltage + 1]);
    if (v.kind >= 3) v.batteryTenths = voltageTenths(line[kBatteryVoltage], line[kBatteryVoltage + 1]);

    for (std::size_t p = 0; p < 2; ++p) {
        v.armed[p] = flagAt(line, kPartition1Armed + p);
        v.partitions[p] = v.armed[p] ? ShownValue{"Élesítve", Shade::Red} : ShownValue{"Kikapcsolva", Shade::Green};
    }
    for (std::size_t o = 0; o < 2; ++o)
        v.outputs[o] = overcurrentOr(flagAt(line, kOut1Overcurrent + o),
                                     flagAt(line, kOut1On + o) ? ShownValue{kSupplied, Shade::Green}
                                                               : ShownValue{"0 V", Shade::Black});
    v.keypadSupply = overcurrentOr(flagAt(line, kKeypadOvercurrent), {kSupplied, Shade::Green});
    v.fixed12V = overcurrentOr(flagAt(line, kFixed12VOvercurrent), {kSupplied, Shade::Green});
    for (std::size_t r = 0; r < 3; ++r)
        v.relays[r] = flagAt(line, kRelay1On + r) ? ShownValue{"BE", Shade::Green} : ShownValue{"KI", Shade::Black};

    v.gsmLevel = digitValue(line[kGsmLevel]);
    if (v.kind == 1)
        v.mains = {"?", Shade::Grey};
    else
        v.mains = line[kMains] == '0' ? ShownValue{"0V", Shade::Red} : ShownValue{"OK", Shade::Green};
    if (v.kind == 4) v.temperature = temperatureDegrees(line[kTemperature], line[kTemperature + 1]);
    return v;
}

}  // namespace corvanta
