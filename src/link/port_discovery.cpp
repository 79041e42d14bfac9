#include "link/port_discovery.h"

#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>
#include <charconv>

namespace corvanta {

namespace {

constexpr std::string_view kComPrefix = "COM";
constexpr std::string_view kComInName = "(COM";
constexpr std::string_view kDevPrefix = "/dev/";

std::uint8_t parseComNumber(std::string_view digits) {
    unsigned value = 0;
    const char* end = digits.data() + digits.size();
    auto [ptr, ec] = std::from_chars(digits.data(), end, value);
    // A number outside a byte is no COM number at all: cutting it down to a
    // byte would quietly pick another port.
    if (digits.empty() || ec != std::errc() || ptr != end || value > 255) return 0;
    return static_cast<std::uint8_t>(value);
}

// Text from the system may hold the entry's own separator.
std::string withoutSeparator(std::string text) {
    std::replace(text.begin(), text.end(), ';', ',');
    return text;
}

}  // namespace

std::uint8_t comNumberOf(const std::string& entry) {
    std::string_view s = entry;
    if (s.starts_with(kComPrefix)) return parseComNumber(s.substr(kComPrefix.size()));
    auto open = s.find(kComInName);
    if (open == std::string_view::npos) return 0;
    auto from = open + kComInName.size();
    auto close = s.find(')', from);
    if (close == std::string_view::npos) return 0;
    return parseComNumber(s.substr(from, close - from));
}

int findByComNumber(const PortEntries& entries, std::uint8_t number) {
    auto it = std::find_if(entries.begin(), entries.end(),
                           [number](const std::string& e) { return comNumberOf(e) == number; });
    return it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
}

void sortByComNumber(PortEntries& entries) {
    std::stable_sort(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
        return comNumberOf(a) < comNumberOf(b);
    });
}

std::string displayNameOf(const std::string& entry) {
    auto semicolon = entry.find(';');
    if (semicolon == std::string::npos || semicolon == 0) return {};
    std::string name = entry.substr(0, semicolon);
    if (name.front() == '+' || name.front() == '-') name.erase(0, 1);
    return name;
}

std::string detailOf(const std::string& entry) {
    // One-based position of the ";", 0 when there is none, as the entry form
    // has always been read: a lone character after the ";" is no detail.
    auto found = entry.find(';');
    std::size_t p = found == std::string::npos ? 0 : found + 1;
    if (p + 1 < entry.size()) return entry.substr(p);
    return {};
}

PortEntries markPortChoices(const PortEntries& known, const std::vector<std::uint8_t>& presentNumbers) {
    PortEntries present;
    PortEntries absent = known;
    for (std::uint8_t n : presentNumbers) {
        int i = findByComNumber(absent, n);
        if (i < 0) continue;
        present.push_back(absent[i]);
        absent.erase(absent.begin() + i);
    }
    sortByComNumber(present);
    sortByComNumber(absent);
    PortEntries choices;
    for (const auto& e : present) choices.push_back("+" + e);
    for (const auto& e : absent) choices.push_back("-" + e);
    sortByComNumber(choices);
    return choices;
}

PortDiscovery::PortDiscovery()
    : PortDiscovery(
          [] {
              std::vector<SerialDeviceInfo> devices;
              for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
                  devices.push_back({info.systemLocation().toStdString(), info.description().toStdString(),
                                     info.manufacturer().toStdString()});
              }
              return devices;
          },
          [](const std::string& path) { return QFileInfo::exists(QString::fromStdString(path)); }) {}

PortDiscovery::PortDiscovery(Lister lister, ExistsCheck exists)
    : lister_(std::move(lister)), exists_(std::move(exists)) {}

std::uint8_t PortDiscovery::remember(const SerialDeviceInfo& info, bool listedBySystem) {
    if (info.location.empty()) return 0;
    if (std::uint8_t known = numberOf(info.location)) {
        Port& port = ports_[known];
        port.listedBySystem = port.listedBySystem || listedBySystem;
        if (!info.description.empty()) port.description = info.description;
        if (!info.manufacturer.empty()) port.manufacturer = info.manufacturer;
        return known;
    }
    // Numbers are never reused within a run, so a chosen port keeps its
    // meaning while adapters come and go.
    if (!ports_.empty() && ports_.rbegin()->first == 255) return 0;
    auto next = static_cast<std::uint8_t>(ports_.empty() ? 1 : ports_.rbegin()->first + 1);
    ports_[next] = Port{info.location, info.description, info.manufacturer, listedBySystem};
    return next;
}

std::uint8_t PortDiscovery::addExtraPort(const std::string& path, const std::string& description,
                                         const std::string& manufacturer) {
    return remember({path, description, manufacturer}, false);
}

std::uint8_t PortDiscovery::addManualPort(const std::string& path) { return remember({path, {}, {}}, false); }

std::vector<std::uint8_t> PortDiscovery::scan() {
    auto devices = lister_();
    // The first look numbers the ports in name order, so the same machine
    // gives the same numbers from one run to the next.
    if (!scanned_) {
        std::sort(devices.begin(), devices.end(),
                  [](const SerialDeviceInfo& a, const SerialDeviceInfo& b) { return a.location < b.location; });
        scanned_ = true;
    }
    std::vector<std::uint8_t> listed;
    for (const auto& device : devices) {
        if (std::uint8_t n = remember(device, true)) listed.push_back(n);
    }
    return listed;
}

PortEntries PortDiscovery::knownEntries() const {
    PortEntries known;
    for (const auto& [number, port] : ports_) known.push_back(entryOf(number, port));
    return known;
}

PortEntries PortDiscovery::rebuildKnownPorts() {
    scan();
    return knownEntries();
}

PortEntries PortDiscovery::buildPortChoices() {
    // Listing the devices is cheap here, so every refresh also takes in an
    // adapter that was never seen before.
    std::vector<std::uint8_t> present = scan();
    for (const auto& [number, port] : ports_) {
        if (!port.listedBySystem && exists_(port.location)) present.push_back(number);
    }
    return markPortChoices(knownEntries(), present);
}

std::string PortDiscovery::deviceOf(std::uint8_t number) const {
    auto it = ports_.find(number);
    return it == ports_.end() ? std::string() : it->second.location;
}

std::uint8_t PortDiscovery::numberOf(const std::string& path) const {
    for (const auto& [number, port] : ports_) {
        if (port.location == path) return number;
    }
    return 0;
}

std::string PortDiscovery::entryOf(std::uint8_t number, const Port& port) const {
    std::string shortName = port.location;
    if (shortName.starts_with(kDevPrefix)) shortName.erase(0, kDevPrefix.size());
    std::string friendly = shortName;
    if (!port.description.empty()) friendly += " " + port.description;
    friendly += " (COM" + std::to_string(number) + ")";
    // The detail names the maker and, like an attached device, the full path.
    std::string detail = port.manufacturer.empty() ? port.location : port.manufacturer + " : " + port.location;
    return withoutSeparator(friendly) + ";" + withoutSeparator(detail);
}

}  // namespace corvanta
