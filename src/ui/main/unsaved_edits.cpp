#include "ui/main/unsaved_edits.h"

#include <QString>

#include "link/messenger.h"

namespace corvanta {

bool UnsavedEdits::confirmLoss(Messenger* messenger) const {
    if (!pending()) return true;
    return messenger && messenger->askYesNo(QString::fromUtf8(kQuestion));
}

}  // namespace corvanta
