#include "service/event_memory_load.h"

#include <algorithm>

#include "link/link_texts.h"
#include "link/messenger.h"
#include "link/module_link.h"
#include "service/service_texts.h"

namespace corvanta {

bool loadEventMemory(ModuleLink& link, EventMemory& memory, const StatusSink& status) {
    const auto utf8 = [](const char* text) { return QString::fromUtf8(text); };
    if (!link.linkConnected()) {
        if (link.messenger()) link.messenger()->showMessage(utf8(texts::kNoLink));
        return false;
    }
    ModuleLink::Conversation conversation(link);
    if (!conversation) return false;
    status(utf8(texts::kEventsLoading));
    if (!link.installerLogin()) {
        status(utf8(texts::kReadFailed));
        if (link.messenger()) link.messenger()->showMessage(link.loginMessage());
        return false;
    }
    // Staged: blocks of a load that breaks off must not mix with the
    // previous module's, so the memory changes only once all four arrived.
    EventMemory staged = memory;
    for (std::size_t n = 0; n < eventmemory::kBlocks; ++n) {
        if (!link.readBlock(std::uint16_t(kFirstEventBlock + n), true)) {
            status(utf8(texts::kReadFailed));
            return false;
        }
        status(utf8(texts::kEventsLoadingBlock) + QString::number(n) + QStringLiteral("..."));
        std::copy_n(link.lastBlock().begin() + kFrameDataOffset, eventmemory::kBlockSize,
                    staged.begin() + n * eventmemory::kBlockSize);
    }
    memory = staged;
    status(utf8(texts::kEventsLoaded));
    return true;
}

}  // namespace corvanta
