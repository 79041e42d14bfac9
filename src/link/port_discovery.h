#pragma once
// Which serial ports the chooser offers, and how their entries read.
//
// A port entry is "friendly name;manufacturer", where the friendly name holds
// "(COMn)". In the chooser list an entry carries one more leading character:
// "+" for a port that exists now, "-" for one that was seen earlier in this
// run (or typed by hand) and is gone. Entries are UTF-8 text.
//
// Linux has no COM numbers, so each device path is given one the first time
// it is seen and keeps it for the whole run; the number is what the entries,
// the ordering and the chooser's selection work with, and deviceOf() turns
// it back into the path the serial line opens.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace corvanta {

using PortEntries = std::vector<std::string>;

// The number after a leading "COM", else the one between the first "(COM" and
// the ")" after it; 0 when there is none or it is not a number in 1..255.
std::uint8_t comNumberOf(const std::string& entry);
// Index of the first entry with that COM number, or -1.
int findByComNumber(const PortEntries& entries, std::uint8_t number);
// Ascending COM number; entries with equal numbers keep their order.
void sortByComNumber(PortEntries& entries);
// The part before the first ";" without its "+"/"-" mark; empty when there is
// no ";" or nothing before it.
std::string displayNameOf(const std::string& entry);
// The part after the first ";"; empty when that is a single character or less.
std::string detailOf(const std::string& entry);
// The chooser's list: present entries marked "+", the others "-", in COM order.
PortEntries markPortChoices(const PortEntries& known, const std::vector<std::uint8_t>& presentNumbers);

// One serial device the system reports right now.
struct SerialDeviceInfo {
    std::string location;  // device path, /dev/ttyUSB0
    std::string description;
    std::string manufacturer;
};

class PortDiscovery {
public:
    using Lister = std::function<std::vector<SerialDeviceInfo>()>;
    using ExistsCheck = std::function<bool(const std::string& path)>;

    // Defaults: QSerialPortInfo for the list, the file system for existence.
    PortDiscovery();
    // Tests pass their own view of the machine.
    PortDiscovery(Lister lister, ExistsCheck exists);

    // A device the system does not list (a pseudo-terminal, say); present
    // whenever its path exists.
    std::uint8_t addExtraPort(const std::string& path, const std::string& description,
                              const std::string& manufacturer);
    // A path typed by the user; kept for the rest of the run like a seen port.
    // Returns its COM number (0 for an empty path).
    std::uint8_t addManualPort(const std::string& path);

    // Every port seen in this run, as entries in COM order. Looks at the
    // system, so new devices get their number here.
    PortEntries rebuildKnownPorts();
    // Known entries marked present or absent as the system stands now.
    PortEntries buildPortChoices();

    // Device path behind a COM number; empty when the number is unknown.
    std::string deviceOf(std::uint8_t number) const;
    // COM number of a device path; 0 when it was never seen.
    std::uint8_t numberOf(const std::string& path) const;

private:
    struct Port {
        std::string location;
        std::string description;
        std::string manufacturer;
        bool listedBySystem = false;  // else extra or manual: present when its path exists
    };

    std::uint8_t remember(const SerialDeviceInfo& info, bool listedBySystem);
    std::vector<std::uint8_t> scan();  // numbers of the ports the system lists now
    PortEntries knownEntries() const;
    std::string entryOf(std::uint8_t number, const Port& port) const;

    Lister lister_;
    ExistsCheck exists_;
    std::map<std::uint8_t, Port> ports_;
    bool scanned_ = false;
};

}  // namespace corvanta
