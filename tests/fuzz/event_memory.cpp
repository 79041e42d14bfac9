// The event memory and the name blocks read from the module: the list walks
// 90 different ring entries back from the newest (or none when the newest
// index is damaged), and every row and name is text the window can show.

#include <set>

#include "params/win1250.h"
#include "service/event_list.h"
#include "tests/fuzz/fuzz_targets.h"

namespace corvanta::fuzz {

void eventMemory(Input in) {
    Reader r(in);
    EventMemory memory{};
    for (std::uint8_t& b : memory) b = r.byte();
    ModuleNames::Source blocks{};
    for (std::uint8_t& b : blocks) b = r.byte();
    const ModuleNames names = ModuleNames::fromBlocks(blocks);

    for (int n = 1; n <= 12; ++n)
        for (const std::string* name : {&names.userName(n), &names.zoneName(n)}) {
            FUZZ_CHECK(name->starts_with(' ') && isUtf8(*name));
            FUZZ_CHECK(name->find('\0') == std::string::npos && utf8Length(*name) <= 11);
        }

    std::set<int> seen;
    const bool ringReadable = memory[eventmemory::kNewestIndex] < eventmemory::kRingEntries;
    for (int row = 1; row <= eventmemory::kShownRows; ++row) {
        const auto k = entryForRow(memory, row);
        FUZZ_CHECK(k.has_value() == ringReadable);
        if (!k) continue;
        FUZZ_CHECK(*k >= 0 && *k < eventmemory::kRingEntries && seen.insert(*k).second);
        if (row == 1) FUZZ_CHECK(*k == memory[eventmemory::kNewestIndex]);
        const EventListRow shown = eventListRow(entryAt(memory, *k), names);
        for (const std::string* cell : {&shown.time, &shown.kind, &shown.subject, &shown.status})
            FUZZ_CHECK(isUtf8(*cell));
    }
}

}  // namespace corvanta::fuzz
