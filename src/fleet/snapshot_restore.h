#pragma once
// Puts a snapshot of the site book back on a module, for corvanta-cli's
// restore and the site book window: reads the module (kept as a read of its
// site), lists the fields in which it differs from the snapshot, and on the
// word writes the snapshot, reads it back to check it, and records the write
// with the snapshot it restored. A snapshot of another site goes onto a
// module only when that was asked for (a replacement module), and the audit
// says so.

#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "link/module_link.h"
#include "sitebook/site_book.h"
#include "transfer/parameter_transfer.h"
#include "transfer/transfer_view.h"

namespace corvanta::fleet {

class SnapshotRestore {
public:
    SnapshotRestore(ModuleLink& link, TransferView& view, QString bookPath = sitebook::SiteBook::defaultPath());

    // The site whose module the link reaches: found by name, made from these
    // fields when new. Without a name, the snapshot's own site.
    void setTarget(const sitebook::Site& site) { target_ = site; }
    // A snapshot of another site may go onto this module.
    void allowOtherSite(bool on) { otherSite_ = on; }

    // Told the snapshot and the fields (the module's values, then the
    // snapshot's); true: write it.
    using Confirm = std::function<bool(const sitebook::Snapshot&, const std::vector<sitebook::WriteChange>&)>;

    enum class Result {
        Restored,     // written, read back and found as sent
        AlreadyHeld,  // the module holds the snapshot: nothing written
        Declined,     // not confirmed: nothing written
        OtherSite,    // a snapshot of another site, not allowed: nothing done
        Refused,      // no such snapshot, a damaged one, one no module may take: nothing done
        Failed,       // the read or the write failed (failure() says where)
    };
    Result run(qint64 snapshotId, const Confirm& confirm);

    // Refused, OtherSite and a failed read or write: why, in a line.
    const QString& why() const { return why_; }
    // Where the last read or write stopped.
    const ParameterTransfer::Failure& failure() const { return failure_; }
    // The snapshot, once found, and the site the module was taken for.
    const std::optional<sitebook::Snapshot>& snapshot() const { return snapshot_; }
    const sitebook::Site& target() const { return target_; }

private:
    Result refuse(Result result, const QString& why);

    ModuleLink& link_;
    TransferView& view_;
    QString bookPath_;
    sitebook::Site target_;
    bool otherSite_ = false;
    QString why_;
    ParameterTransfer::Failure failure_;
    std::optional<sitebook::Snapshot> snapshot_;
};

}  // namespace corvanta::fleet
