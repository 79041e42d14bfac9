#include "service/module_names_load.h"

#include <algorithm>

#include "link/link_texts.h"
#include "link/messenger.h"
#include "link/module_link.h"
#include "service/service_texts.h"

namespace corvanta {

void ModuleNamesStore::replace(const ModuleNames& names) {
    names_ = names;
    emit loaded();
}

bool loadModuleNames(ModuleLink& link, ModuleNamesStore& store, const StatusSink& status) {
    if (!link.linkConnected()) {
        if (link.messenger()) link.messenger()->showMessage(QString::fromUtf8(texts::kNoLink));
        return false;
    }
    // Keeps the periodic login off meanwhile and puts it back as it was: on
    // for the event list, off under the status monitor, whose own poll
    // stands in for it there.
    ModuleLink::Conversation conversation(link);
    if (!conversation) return false;
    status(QString::fromUtf8(texts::kNamesLoading));
    if (!link.installerLogin()) {
        status(QString::fromUtf8(texts::kReadFailed));
        if (link.messenger()) link.messenger()->showMessage(link.loginMessage());
        return false;
    }
    ModuleNames::Source blocks{};
    for (std::uint16_t n = 0; n < ModuleNames::kSourceSize / kFrameDataSize; ++n) {
        if (!link.readBlock(kFirstParameterBlock + n, true)) {
            status(QString::fromUtf8(texts::kReadFailed));
            return false;
        }
        status(QString::fromUtf8(texts::kNamesLoadingBlock) + QString::number(n) + QStringLiteral("..."));
        std::copy_n(link.lastBlock().begin() + kFrameDataOffset, kFrameDataSize,
                    blocks.begin() + n * kFrameDataSize);
    }
    status(QString::fromUtf8(texts::kNamesLoaded));
    store.replace(ModuleNames::fromBlocks(blocks));
    return true;
}

}  // namespace corvanta
