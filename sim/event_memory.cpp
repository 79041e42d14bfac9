#include "sim/event_memory.h"

#include <algorithm>
#include <cstring>

namespace corvanta::sim {

using namespace layout;

EventMemory::EventMemory() {
    // Empty ring: the first entry lands in slot 0.
    bytes_[kEventNewestIndex] = uint8_t(kEventEntries - 1);
}

void EventMemory::add(uint8_t kind, uint8_t subject, const Stamp& when, uint16_t routes) {
    const int index = (newestIndex() + 1) % int(kEventEntries);
    uint8_t* e = entry(index);
    e[kEntryKind] = kind;
    e[kEntryMonthSubject] = uint8_t((when.month & 15) << 4 | (subject & 15));
    e[kEntryDay] = uint8_t(when.day);
    e[kEntryHour] = uint8_t(when.hour);
    e[kEntryMinute] = uint8_t(when.minute);
    e[kEntrySecond] = uint8_t(when.second);
    e[kEntryRoutes] = uint8_t(routes);
    e[kEntryState] = (routes & 0x100) ? kStateCentralPending : 0;
    bytes_[kEventNewestIndex] = uint8_t(index);
    count_ = std::min(count_ + 1, kEventEntries);
}

void EventMemory::settleReports() {
    for (std::size_t i = 0; i < kEventEntries; ++i) {
        uint8_t* e = entry(int(i));
        const bool pending = e[kEntryRoutes] != 0 || (e[kEntryState] & kStateCentralPending);
        // Reports an alarm stop ended stay marked as stopped.
        if (e[kEntryKind] == 0 || !pending || (e[kEntryState] & kStateEndedMask)) continue;
        e[kEntryRoutes] = 0;
        e[kEntryState] = kStateEnded;
    }
}

void EventMemory::stopReports() {
    for (std::size_t i = 0; i < kEventEntries; ++i) {
        uint8_t* e = entry(int(i));
        const bool pending = e[kEntryRoutes] != 0 || (e[kEntryState] & kStateCentralPending);
        if (pending && !(e[kEntryState] & kStateEndedMask)) e[kEntryState] |= kStateEnded;
    }
}

std::array<uint8_t, kBlockSize> EventMemory::block(int n) const {
    std::array<uint8_t, kBlockSize> out{};
    std::memcpy(out.data(), &bytes_[kBlockSize * std::size_t(n)], kBlockSize);
    return out;
}

std::vector<EventEntry> EventMemory::newest(std::size_t count) const {
    std::vector<EventEntry> out;
    int index = newestIndex();
    for (std::size_t i = 0; i < count; ++i) {
        EventEntry e{};
        std::memcpy(e.data(), &bytes_[kEventEntrySize * std::size_t(index)], kEventEntrySize);
        out.push_back(e);
        index = (index + int(kEventEntries) - 1) % int(kEventEntries);
    }
    return out;
}

}  // namespace corvanta::sim
