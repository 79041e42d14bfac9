#pragma once
// The module's event log as the program reads it: a ring of 96 eight-byte
// entries and the index of the newest one, in four 256-byte blocks.

#include <array>
#include <cstdint>
#include <vector>

#include "sim/layout.h"

namespace corvanta::sim {

struct Stamp {
    int month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

using EventEntry = std::array<uint8_t, layout::kEventEntrySize>;

class EventMemory {
public:
    EventMemory();

    // Appends an entry with its report routes still pending: routes holds
    // T1..T4 and S1..S4 in bits 0..7 and the central station in bit 8.
    void add(uint8_t kind, uint8_t subject, const Stamp& when, uint16_t routes);

    // Pending reports are done: they went out.
    void settleReports();
    // Alarm stop: pending reports end unsent.
    void stopReports();

    std::array<uint8_t, layout::kBlockSize> block(int n) const;
    // Newest first.
    std::vector<EventEntry> newest(std::size_t count) const;
    int newestIndex() const { return bytes_[layout::kEventNewestIndex]; }
    std::size_t count() const { return count_; }

private:
    uint8_t* entry(int index) { return &bytes_[layout::kEventEntrySize * std::size_t(index)]; }

    std::array<uint8_t, layout::kEventMemorySize> bytes_{};
    std::size_t count_ = 0;
};

}  // namespace corvanta::sim
