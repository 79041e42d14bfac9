#pragma once
// The live state behind the status frames: zone loops, partitions, sirens,
// supply, signal and temperature, drifting the way a real installation's
// would, and the events that drift produces.

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "sim/parameter_memory.h"
#include "sim/status_frames.h"

namespace corvanta::sim {

// An event kind (1..47) with its zone or user number, and the text the
// module reports on its message line ("" for none, Windows-1250).
struct Happening {
    uint8_t kind;
    uint8_t subject;
    std::string message;
};

class ModuleState {
public:
    static constexpr uint8_t kInstaller = 13;

    // One step of drift, about every few seconds of module time.
    std::vector<Happening> evolve(std::mt19937& rng, int64_t nowMs, const ParameterMemory& memory);

    std::vector<Happening> arm(int partition, uint8_t who);     // 0 or 1
    std::vector<Happening> disarm(int partition, uint8_t who);
    void stopAlarm();

    StatusSnapshot snapshot(const ParameterMemory& memory) const;
    int gsmLevel() const { return gsm_; }

private:
    bool zoneArmed(int zone, const ParameterMemory& memory) const;

    std::array<bool, layout::kZones> zoneActive_{};
    std::array<int64_t, layout::kZones> zoneRestoreMs_{};
    std::array<bool, layout::kZones> zoneAlarmed_{};
    std::array<bool, 2> armed_{};
    bool siren_ = false;
    int64_t sirenOffMs_ = 0;
    bool mains_ = true;
    int64_t mainsBackMs_ = 0;
    int terminalTenths_ = 137;
    int batteryTenths_ = 128;
    int gsm_ = 22;
    int temperature_ = 23;
};

}  // namespace corvanta::sim
