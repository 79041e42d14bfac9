#include "sitebook/site_recorder.h"

#include <utility>

namespace corvanta::sitebook {

SiteRecorder::SiteRecorder(QString bookPath, int busyTimeoutMs)
    : bookPath_(std::move(bookPath)), busyTimeoutMs_(busyTimeoutMs) {}

QString SiteRecorder::notStoredLine(const QString& why) {
    return QString::fromUtf8("A helyszínkönyvbe nem került semmi: ") + why;
}

QString SiteRecorder::notStored(const SiteBook& book, const QString& why) {
    last_.stored = false;
    last_.failure = book.failure();
    last_.why = why;
    return notStoredLine(why);
}

QString SiteRecorder::openWithSite(SiteBook& book) {
    if (!book.open(bookPath_, busyTimeoutMs_)) return notStored(book, book.error() + " (" + book.path() + ')');
    const std::optional<Site> site = book.ensureSite(site_);
    if (!site) return notStored(book, book.error());
    site_ = *site;
    return {};
}

QString SiteRecorder::checkBook() {
    if (site_.name.trimmed().isEmpty()) return {};
    if (const QString problem = siteNameProblem(site_.name); !problem.isEmpty()) return notStoredLine(problem);
    SiteBook book;
    if (!book.open(bookPath_, busyTimeoutMs_)) return notStoredLine(book.error() + " (" + book.path() + ')');
    return {};
}

void SiteRecorder::recordAttempt(const TransferRecord& r) {
    attempt_.reset();
    if (site_.name.trimmed().isEmpty() || r.operation != TransferRecord::Operation::Write) return;
    SiteBook book;
    if (!openWithSite(book).isEmpty()) return;  // the write's own record says it
    attempt_ = book.recordWriteAttempt(site_.id, r.blocks, r.image);
    // With the attempt: a program that dies before the outcome leaves it
    // under its batch all the same.
    if (attempt_ && origin_.any()) book.setWriteOrigin(*attempt_, origin_);
}

QString SiteRecorder::recordEvents(const std::vector<DatedEvent>& events) {
    last_ = Stored{};
    if (site_.name.trimmed().isEmpty()) return {};
    SiteBook book;
    if (QString refused = openWithSite(book); !refused.isEmpty()) return refused;
    const auto merge = book.mergeEvents(site_.id, events);
    if (!merge) return notStored(book, book.error());
    last_.stored = true;
    return QString::fromUtf8("Helyszínkönyv: %1 új esemény az eseménynaplóban (%2, %3 már megvolt).")
        .arg(QString::number(merge->added), site_.name, QString::number(merge->known));
}

QString SiteRecorder::record(const TransferRecord& r) {
    using Op = TransferRecord::Operation;
    last_ = Stored{};
    if (site_.name.trimmed().isEmpty()) return {};
    if (r.operation != Op::Write && !r.ok) return {};

    SiteBook book;
    if (QString refused = openWithSite(book); !refused.isEmpty()) {
        // The attempt, when it was kept, stays as one of unknown outcome.
        return refused;
    }
    // Names go in as whole arguments: a name holding "%1" stays as typed.
    if (r.operation == Op::Write) {
        std::optional<SiteBook::WriteOutcome> outcome;
        if (const auto attempt = std::exchange(attempt_, std::nullopt))
            outcome = book.settleWrite(*attempt, r.ok, r.blocks, r.image, r.moduleVersion, r.dataVersion);
        if (!outcome && book.failure() != SiteBook::Failure::Lost)
            outcome = book.recordWrite(site_.id, r.ok, r.blocks, r.image, r.moduleVersion, r.dataVersion);
        if (!outcome) return notStored(book, book.error());
        if (origin_.any()) book.setWriteOrigin(outcome->writeId, origin_);
        last_.stored = true;
        last_.snapshotId = outcome->snapshotId;
        QString line = r.ok ? QString::fromUtf8("Helyszínkönyv: az írás tárolva (%1, %2. pillanatkép, %3 változás).")
                                  .arg(site_.name, QString::number(*outcome->snapshotId),
                                       QString::number(outcome->changes))
                            : QString::fromUtf8("Helyszínkönyv: a sikertelen írás feljegyezve (%1).").arg(site_.name);
        if (!outcome->note.isEmpty()) line += QStringLiteral(" ") + outcome->note;
        return line;
    }
    const bool read = r.operation == Op::Read;
    const auto id = book.addSnapshot(site_.id, read ? SnapshotKind::Read : SnapshotKind::File, r.image,
                                     read ? r.moduleVersion : QString(), read ? r.dataVersion : -1,
                                     read ? QString() : r.filePath);
    if (!id) return notStored(book, book.error());
    last_.stored = true;
    last_.snapshotId = *id;
    return QString::fromUtf8("Helyszínkönyv: %1 tárolva (%2, %3. pillanatkép).")
        .arg(read ? QString::fromUtf8("a beolvasott kép") : QString::fromUtf8("a fájl képe"), site_.name,
             QString::number(*id));
}

}  // namespace corvanta::sitebook
