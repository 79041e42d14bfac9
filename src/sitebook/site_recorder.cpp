#include "sitebook/site_recorder.h"

namespace corvanta::sitebook {

SiteRecorder::SiteRecorder(QString bookPath, int busyTimeoutMs)
    : bookPath_(std::move(bookPath)), busyTimeoutMs_(busyTimeoutMs) {}

QString SiteRecorder::notStoredLine(const QString& why) {
    return QString::fromUtf8("A helyszínkönyvbe nem került semmi: ") + why;
}

QString SiteRecorder::openWithSite(SiteBook& book) {
    if (!book.open(bookPath_, busyTimeoutMs_)) return notStoredLine(book.error() + " (" + book.path() + ')');
    const std::optional<Site> site = book.ensureSite(site_);
    if (!site) return notStoredLine(book.error());
    site_ = *site;
    return {};
}

QString SiteRecorder::ensureSite() {
    if (site_.name.trimmed().isEmpty()) return {};
    SiteBook book;
    return openWithSite(book);
}

QString SiteRecorder::record(const TransferRecord& r) {
    using Op = TransferRecord::Operation;
    if (site_.name.trimmed().isEmpty()) return {};
    if (r.operation != Op::Write && !r.ok) return {};

    SiteBook book;
    if (QString refused = openWithSite(book); !refused.isEmpty()) return refused;
    const Site* site = &site_;

    if (r.operation == Op::Write) {
        const auto outcome = book.recordWrite(site->id, r.ok, r.blocks, r.image, r.moduleVersion, r.dataVersion);
        if (!outcome) return notStoredLine(book.error());
        if (!r.ok) return QString::fromUtf8("Helyszínkönyv: a sikertelen írás feljegyezve (%1).").arg(site->name);
        return QString::fromUtf8("Helyszínkönyv: az írás tárolva (%1, %2. pillanatkép, %3 változás).")
            .arg(site->name)
            .arg(*outcome->snapshotId)
            .arg(outcome->changes);
    }
    const bool read = r.operation == Op::Read;
    const auto id = book.addSnapshot(site->id, read ? SnapshotKind::Read : SnapshotKind::File, r.image,
                                     read ? r.moduleVersion : QString(), read ? r.dataVersion : -1,
                                     read ? QString() : r.filePath);
    if (!id) return notStoredLine(book.error());
    return QString::fromUtf8("Helyszínkönyv: %1 tárolva (%2, %3. pillanatkép).")
        .arg(read ? QString::fromUtf8("a beolvasott kép") : QString::fromUtf8("a fájl képe"), site->name)
        .arg(*id);
}

}  // namespace corvanta::sitebook
