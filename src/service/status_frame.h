#pragma once
// Decoding of the module's "AT_[" status line into what the status monitor
// shows: texts with their colours, and the numbers the window formats itself
// (voltages follow the user's decimal separator).

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace corvanta {

// Font colour of a value; Keep leaves the label's colour as it was.
enum class Shade { Keep, Red, Green, Black, Grey };

struct ShownValue {
    std::string text;  // UTF-8
    Shade shade = Shade::Keep;
    bool operator==(const ShownValue&) const = default;
};

struct ZoneView {
    ShownValue state;  // "Alaphelyzet", "Riasztás", "Szabotázs" or "."
    ShownValue loop;   // loop reading, or the radio detector's channels
    bool operator==(const ZoneView&) const = default;
};

struct StatusView {
    int kind = 1;  // 1..4, from the length
    std::array<ZoneView, 12> zones;
    std::array<ShownValue, 2> inputsAB;  // loop readings of inputs A and B
    int terminalTenths = 0;              // volts x 10 at the terminals
    std::optional<int> batteryTenths;    // last real battery voltage, kinds 3 and 4
    std::array<ShownValue, 2> partitions;
    std::array<bool, 2> armed{};  // partitions 1 and 2
    std::array<ShownValue, 2> outputs;  // OUT 1, OUT 2
    ShownValue keypadSupply;
    ShownValue fixed12V;
    std::array<ShownValue, 3> relays;
    int gsmLevel = 0;
    ShownValue mains;
    std::optional<int> temperature;  // degrees; none before kind 4 or without a reading
};

// Nothing for a line of another length, a missing separator or a missing
// final "]": such a line must leave the window as it was.
std::optional<StatusView> decodeStatusFrame(std::string_view line);

// The module's offset encoding: byte code minus '0', signed.
int digitValue(char c);

// Six bits per character, then the module's scale; below 2.0 V reads as 0.
int voltageTenths(char c1, char c2);

// Four bits per character, sign and magnitude; 128 means no reading.
std::optional<int> temperatureDegrees(char c1, char c2);

// One zone input from its state and input type characters.
ZoneView decodeZone(char state, char type);

}  // namespace corvanta
