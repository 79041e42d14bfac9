#include "sim/module_state.h"

#include <algorithm>

namespace corvanta::sim {

using namespace layout;

namespace {

constexpr int64_t kSirenMs = 180'000;
constexpr int kSmokeZonePartition = 3;  // 24-hour zone

uint8_t zoneByte(const ParameterMemory& m, int zone, std::size_t field) {
    return m[kZoneBase + kZoneSize * std::size_t(zone) + field];
}

// The loop reading of a wired zone (types 0..2) or the bit field of a radio
// detector (type 3): rest or alarm.
uint8_t zoneStateValue(uint8_t type, bool active) {
    switch (type) {
    case 0: return active ? 0 : 3;  // alarm on short circuit
    case 1: return active ? 3 : 0;  // alarm on open circuit
    case 2: return active ? 2 : 1;  // DEOL: 2k alarm, 1k rest
    default: {
        const uint8_t detector = active ? 2 : 1;
        const uint8_t channelA = 1 << 2, channelB = 0 << 4;
        return uint8_t(detector | channelA | channelB);
    }
    }
}

std::string zoneText(int zone, const char* what) {
    return "IN" + std::to_string(zone + 1) + " " + what;
}

}  // namespace

bool ModuleState::zoneArmed(int zone, const ParameterMemory& m) const {
    switch (zoneByte(m, zone, kZonePartition)) {
    case 0: return armed_[0] || armed_[1];
    case 1: return armed_[0];
    case 2: return armed_[1];
    default: return true;
    }
}

std::vector<Happening> ModuleState::evolve(std::mt19937& rng, int64_t nowMs, const ParameterMemory& m) {
    std::vector<Happening> out;
    auto chance = [&rng](int percent) { return int(rng() % 100) < percent; };

    for (int z = 0; z < kZones; ++z) {
        if (!zoneActive_[std::size_t(z)] || nowMs < zoneRestoreMs_[std::size_t(z)]) continue;
        zoneActive_[std::size_t(z)] = false;
        if (zoneAlarmed_[std::size_t(z)]) {
            zoneAlarmed_[std::size_t(z)] = false;
            out.push_back({uint8_t(2 * z + 2), uint8_t(z + 1), zoneText(z, "vissza\xE1llt")});
        }
    }
    if (chance(30)) {
        const int z = int(rng() % kZones);
        if (!zoneActive_[std::size_t(z)] && zoneByte(m, z, kZonePartition) != kSmokeZonePartition) {
            zoneActive_[std::size_t(z)] = true;
            zoneRestoreMs_[std::size_t(z)] = nowMs + 2000 + int64_t(rng() % 6000);
            if (zoneArmed(z, m)) {
                zoneAlarmed_[std::size_t(z)] = true;
                siren_ = true;
                sirenOffMs_ = nowMs + kSirenMs;
                out.push_back({uint8_t(2 * z + 1), uint8_t(z + 1), zoneText(z, "riaszt\xE1s")});
            }
        }
    }
    if (siren_ && nowMs >= sirenOffMs_) siren_ = false;

    if (mains_ && chance(2)) {
        mains_ = false;
        mainsBackMs_ = nowMs + 20'000 + int64_t(rng() % 40'000);
        out.push_back({32, 0, "H\xE1l\xF3zati fesz\xFClts\xE9g kimaradt"});
    } else if (!mains_ && nowMs >= mainsBackMs_) {
        mains_ = true;
        out.push_back({33, 0, "H\xE1l\xF3zati fesz\xFClts\xE9g helyre\xE1llt"});
    }
    if (mains_) {
        terminalTenths_ = std::clamp(terminalTenths_ + int(rng() % 3) - 1, 135, 139);
        batteryTenths_ = std::clamp(batteryTenths_ + int(rng() % 3) - 1, 126, 132);
    } else {
        batteryTenths_ = std::max(115, batteryTenths_ - int(rng() % 2));
        terminalTenths_ = batteryTenths_ - 1;
    }

    const int oldGsm = gsm_;
    gsm_ = std::clamp(gsm_ + int(rng() % 5) - 2, 6, 31);
    if (oldGsm >= 10 && gsm_ < 10) out.push_back({44, 0, "GSM t\xE9rer\xF5 alacsony"});
    if (oldGsm < 10 && gsm_ >= 10) out.push_back({45, 0, "GSM t\xE9rer\xF5 rendben"});
    if (chance(10)) temperature_ = std::clamp(temperature_ + int(rng() % 3) - 1, 15, 35);
    return out;
}

std::vector<Happening> ModuleState::arm(int partition, uint8_t who) {
    if (armed_[std::size_t(partition)]) return {};
    armed_[std::size_t(partition)] = true;
    return {{uint8_t(27 + partition), who, "P" + std::to_string(partition + 1) + " \xE9les\xEDtve"}};
}

std::vector<Happening> ModuleState::disarm(int partition, uint8_t who) {
    if (!armed_[std::size_t(partition)]) return {};
    armed_[std::size_t(partition)] = false;
    if (!armed_[0] && !armed_[1]) siren_ = false;
    return {{uint8_t(29 + partition), who, "P" + std::to_string(partition + 1) + " kikapcsolva"}};
}

void ModuleState::stopAlarm() {
    siren_ = false;
    zoneAlarmed_.fill(false);
}

StatusSnapshot ModuleState::snapshot(const ParameterMemory& m) const {
    StatusSnapshot s;
    for (int z = 0; z < kZones; ++z) {
        const uint8_t type = std::min<uint8_t>(zoneByte(m, z, kZoneInputType), 3);
        s.zoneType[std::size_t(z)] = type;
        s.zoneState[std::size_t(z)] = zoneStateValue(type, zoneActive_[std::size_t(z)]);
    }
    s.terminalTenths = terminalTenths_;
    s.batteryTenths = batteryTenths_;
    s.out1 = s.out2 = siren_;
    s.relay[0] = siren_;
    s.armed = armed_;
    s.gsmLevel = gsm_;
    s.mains = mains_;
    s.temperature = temperature_;
    return s;
}

}  // namespace corvanta::sim
