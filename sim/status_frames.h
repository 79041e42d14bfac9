#pragma once
// The unsolicited text frames the module sends: status "AT_[", last events
// "AT_{", messages "AT_/" and radio slots "AT_<".

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/event_memory.h"
#include "sim/layout.h"

namespace corvanta::sim {

// What one status frame reports, in the module's own terms.
struct StatusSnapshot {
    std::array<uint8_t, layout::kZones> zoneState{};  // character value minus '0'
    std::array<uint8_t, layout::kZones> zoneType{};   // input type 0..3
    uint8_t inputA = 2, inputB = 2;                   // loop: 0 short .. 3 open
    int terminalTenths = 136;                         // volts x 10
    int batteryTenths = 128;
    bool out1 = false, out2 = false;
    std::array<bool, 3> relay{};
    bool keypadOvercurrent = false, fixedOvercurrent = false;
    bool out1Overcurrent = false, out2Overcurrent = false;
    std::array<bool, 2> armed{};
    int gsmLevel = 20;  // 0..31
    bool mains = true;
    std::optional<int> temperature = 23;  // degrees, nothing = no reading
};

// kind 1..4 selects the length (84, 86, 89, 92); damaged = one character
// short, for the fault that tests the program's length check.
std::string statusFrame(const StatusSnapshot& s, int kind, bool damaged = false);

// Newest entry first.
std::string eventFrame(const std::vector<EventEntry>& newestFirst);

// 40 bytes: slot bytes 0..35, learning marker, signal strength, two spare.
std::string radioFrame(const std::array<uint8_t, layout::kRadioBytes>& bytes, bool damaged = false);

// Two characters of six bits each, as the program reads them back into
// tenths of a volt.
std::string voltagePair(int tenths);
// Sign and magnitude in two four-bit characters; no reading is 128.
std::string temperaturePair(std::optional<int> degrees);

}  // namespace corvanta::sim
