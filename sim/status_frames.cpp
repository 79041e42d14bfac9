#include "sim/status_frames.h"

#include <cstdlib>

#include "sim/block_codec.h"

namespace corvanta::sim {

using namespace layout;

namespace {

char flag(bool on) { return on ? '1' : '0'; }
char digitChar(int value) { return char('0' + value); }

}  // namespace

std::string voltagePair(int tenths) {
    int raw = 0;
    // Inverse of tenths = trunc((10 v - 3600) / 61) + 59, rounded up so the
    // reading lands on the intended tenth; below 2.0 V the program shows 0.
    if (tenths >= 20) raw = ((tenths - 59) * 61 + 3600 + 9) / 10;
    if (raw < 0) raw = 0;
    if (raw > 4095) raw = 4095;
    return {digitChar(raw >> 6), digitChar(raw & 63)};
}

std::string temperaturePair(std::optional<int> degrees) {
    int raw = 128;
    if (degrees) raw = *degrees >= 0 ? std::min(*degrees, 127) : 128 + std::min(-*degrees, 127);
    return {digitChar(raw >> 4), digitChar(raw & 15)};
}

std::string statusFrame(const StatusSnapshot& s, int kind, bool damaged) {
    if (kind < 1 || kind > 4) kind = 4;
    std::string f(kStatusLength[kind], '0');
    f.replace(0, 4, "AT_[");
    for (std::size_t at : kStatusCommas) f[at] = ',';
    for (int z = 0; z < kZones; ++z) {
        f[kStatusZoneStates + std::size_t(z)] = digitChar(s.zoneState[std::size_t(z)]);
        f[kStatusZoneTypes + std::size_t(z)] = digitChar(s.zoneType[std::size_t(z)]);
    }
    f[kStatusInputA] = digitChar(s.inputA);
    f[kStatusInputB] = digitChar(s.inputB);
    f.replace(kStatusTerminal, 2, voltagePair(s.terminalTenths));
    f[kStatusOut1] = flag(s.out1);
    f[kStatusOut2] = flag(s.out2);
    for (std::size_t r = 0; r < 3; ++r) f[kStatusRelay1 + r] = flag(s.relay[r]);
    f[kStatusKeypadOvercurrent] = flag(s.keypadOvercurrent);
    f[kStatusFixedOvercurrent] = flag(s.fixedOvercurrent);
    f[kStatusOut1Overcurrent] = flag(s.out1Overcurrent);
    f[kStatusOut2Overcurrent] = flag(s.out2Overcurrent);
    f[kStatusPartition1] = flag(s.armed[0]);
    f[kStatusPartition2] = flag(s.armed[1]);
    f[kStatusGsm] = digitChar(s.gsmLevel);
    // The separators between the extras are not read by the program; the
    // module writes commas there.
    for (std::size_t at : {kStatusGsm + 1, kStatusMains + 1, kStatusBattery + 2})
        if (at < f.size()) f[at] = ',';
    if (kind >= 2) f[kStatusMains] = s.mains ? '1' : '0';
    if (kind >= 3) f.replace(kStatusBattery, 2, voltagePair(s.batteryTenths));
    if (kind >= 4) f.replace(kStatusTemperature, 2, temperaturePair(s.temperature));
    f.back() = ']';
    if (damaged) f.erase(f.size() - 2, 1);
    return f;
}

std::string eventFrame(const std::vector<EventEntry>& newestFirst) {
    std::string f = "AT_{";
    for (std::size_t r = 0; r < kEventFrameEntries; ++r)
        for (std::size_t j = 0; j < kEventEntrySize; ++j)
            f += hexByte(r < newestFirst.size() ? newestFirst[r][j] : 0);
    return f;
}

std::string radioFrame(const std::array<uint8_t, kRadioBytes>& bytes, bool damaged) {
    std::string f = "AT_<";
    for (uint8_t b : bytes) f += hexByte(b);
    if (damaged) f.pop_back();
    f += '>';
    return f;
}

}  // namespace corvanta::sim
