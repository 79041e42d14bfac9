#include "fleet/snapshot_restore.h"

#include <utility>

#include "params/image_diff.h"
#include "sitebook/site_recorder.h"

namespace corvanta::fleet {

using sitebook::SiteBook;

SnapshotRestore::SnapshotRestore(ModuleLink& link, TransferView& view, QString bookPath)
    : link_(link), view_(view), bookPath_(std::move(bookPath)) {}

SnapshotRestore::Result SnapshotRestore::refuse(Result result, const QString& why) {
    why_ = why;
    return result;
}

SnapshotRestore::Result SnapshotRestore::run(qint64 snapshotId, const Confirm& confirm) {
    why_.clear();
    failure_ = {};
    snapshot_.reset();
    {
        SiteBook book;
        if (!book.open(bookPath_)) return refuse(Result::Refused, book.path() + QStringLiteral(": ") + book.error());
        snapshot_ = book.snapshot(snapshotId);
        if (!snapshot_) return refuse(Result::Refused, QStringLiteral("@%1: ").arg(snapshotId) + book.error());
        const QString own = snapshot_->info.site;
        if (target_.name.trimmed().isEmpty()) {
            const auto site = book.findSite(own);
            if (!site) return refuse(Result::Refused, book.error());
            target_ = *site;
        } else if (target_.name.trimmed() != own && !otherSite_) {
            return refuse(Result::OtherSite, QStringLiteral("@%1 is a snapshot of \"%2\", not of \"%3\"")
                                                 .arg(QString::number(snapshotId), own, target_.name.trimmed()));
        }
    }
    if (auto refusal = ParameterTransfer::writeRefusal(snapshot_->image)) return refuse(Result::Refused, *refusal);

    sitebook::SiteRecorder recorder(bookPath_);
    recorder.setSite(target_);
    // What the module held goes into the book with the read, so that the
    // restore can be undone in turn.
    ParameterImage module{};
    {
        ParameterTransfer read(link_, module, view_);
        read.setRecorder(&recorder);
        if (!read.read()) {
            failure_ = read.failure();
            return refuse(Result::Failed, read.outcome());
        }
    }
    const ImageDiff d = diff(module, snapshot_->image);
    if (d.equal()) return Result::AlreadyHeld;
    if (!confirm || !confirm(*snapshot_, sitebook::changeRows(d))) return Result::Declined;

    ParameterImage image = snapshot_->image;
    ParameterTransfer write(link_, image, view_);
    recorder.setWriteOrigin({std::nullopt, snapshotId, {}});
    write.setRecorder(&recorder);
    const bool ok = write.write();
    failure_ = write.failure();
    if (!ok) return refuse(Result::Failed, write.outcome());
    return Result::Restored;
}

}  // namespace corvanta::fleet
