#include "service/event_list.h"

namespace corvanta {

using namespace eventmemory;

namespace {

constexpr int kInstaller = 13;
constexpr int kAutomatic = 14;
constexpr int kKeypad = 0;

}  // namespace

EventLogEntry entryAt(const EventMemory& memory, int k) {
    EventLogEntry entry{};
    if (k < 0 || k >= kRingEntries) return entry;
    for (std::size_t j = 0; j < kEntrySize; ++j) entry[j] = memory[std::size_t(k) * kEntrySize + j];
    return entry;
}

std::optional<int> entryForRow(const EventMemory& memory, int row) {
    const int newest = memory[kNewestIndex];
    if (newest >= kRingEntries || row < 1 || row > kShownRows) return std::nullopt;
    return (newest - (row - 1) + kRingEntries) % kRingEntries;
}

std::string subjectCellText(const EventLogEntry& entry, const ModuleNames& names) {
    const int s = subjectNumber(entry);
    std::string name;
    switch (subjectMarker(eventKind(entry))) {
    case SubjectMarker::None: return {};
    case SubjectMarker::User:
        if (s == kInstaller) name = "Telepítő";
        else if (s == kAutomatic) name = "Automat.";
        else name = names.userName(s);
        break;
    case SubjectMarker::Zone:
        name = s == kKeypad ? std::string("LCD-Kezelő") : names.zoneName(s);
        break;
    }
    return std::to_string(s) + ". " + name;
}

EventListRow eventListRow(const EventLogEntry& entry, const ModuleNames& names) {
    EventListRow row;
    if (isEmptyEntry(entry)) return row;
    row.time = eventTimeText(entry);
    row.kind = eventKindText(entry);
    row.subject = subjectCellText(entry, names);
    row.routes = routeMarks(entry);
    row.status = routeStatusText(entry);
    return row;
}

}  // namespace corvanta
