#include "sitebook/site_recorder.h"

#include <utility>

namespace corvanta::sitebook {

SiteRecorder::SiteRecorder(QString bookPath, int busyTimeoutMs, Hold hold)
    : bookPath_(std::move(bookPath)), busyTimeoutMs_(busyTimeoutMs), hold_(hold) {}
SiteRecorder::~SiteRecorder() = default;
SiteRecorder::SiteRecorder(SiteRecorder&&) noexcept = default;
SiteRecorder& SiteRecorder::operator=(SiteRecorder&&) noexcept = default;

QString SiteRecorder::notStoredLine(const QString& why) {
    return QString::fromUtf8("A helyszínkönyvbe nem került semmi: ") + why;
}

QString SiteRecorder::storedReadLine(const QString& site, qint64 id) {
    return QString::fromUtf8("Helyszínkönyv: a beolvasott kép tárolva (%1, %2. pillanatkép).").arg(site, QString::number(id));
}

QString SiteRecorder::notStored(const SiteBook& book, const QString& why) {
    last_.stored = false;
    last_.failure = book.failure();
    last_.why = why;
    return notStoredLine(why);
}

SiteBook* SiteRecorder::openBook(QString& why) {
    // A connection the server dropped is opened afresh.
    if (book_ && book_->isOpen() && book_->failure() != SiteBook::Failure::Lost) return book_.get();
    auto book = std::make_unique<SiteBook>();
    if (!book->open(bookPath_, busyTimeoutMs_)) {
        why = book->error() + " (" + book->path() + ')';
        openFailure_ = book->failure();
        book_.reset();
        return nullptr;
    }
    book_ = std::move(book);
    return book_.get();
}

void SiteRecorder::done() {
    if (hold_ == Hold::EachRecord) book_.reset();
}

SiteBook* SiteRecorder::openRefused(const QString& why, QString& refused) {
    last_.stored = false;
    last_.failure = openFailure_;
    last_.why = why;
    refused = notStoredLine(why);
    return nullptr;
}

SiteBook* SiteRecorder::openWithSite(QString& refused) {
    QString why;
    SiteBook* book = openBook(why);
    if (!book) return openRefused(why, refused);
    std::optional<Site> site = book->ensureSite(site_);
    if (!site && book->failure() == SiteBook::Failure::Lost && hold_ == Hold::WholeLife) {
        // A held connection may have been dropped by the server meanwhile.
        book_.reset();
        book = openBook(why);
        if (!book) return openRefused(why, refused);
        site = book->ensureSite(site_);
    }
    if (!site) {
        refused = notStored(*book, book->error());
        done();
        return nullptr;
    }
    site_ = *site;
    return book;
}

QString SiteRecorder::checkBook() {
    if (site_.name.trimmed().isEmpty()) return {};
    if (const QString problem = siteNameProblem(site_.name); !problem.isEmpty()) return notStoredLine(problem);
    QString why;
    const bool opened = openBook(why) != nullptr;
    done();
    return opened ? QString() : notStoredLine(why);
}

void SiteRecorder::recordAttempt(const TransferRecord& r) {
    attempt_.reset();
    if (site_.name.trimmed().isEmpty() || r.operation != TransferRecord::Operation::Write) return;
    QString refused;
    SiteBook* book = openWithSite(refused);
    if (!book) return;  // the write's own record says it
    attempt_ = book->recordWriteAttempt(site_.id, r.blocks, r.image);
    // With the attempt: a program that dies before the outcome leaves it
    // under its batch all the same.
    if (attempt_ && origin_.any()) book->setWriteOrigin(*attempt_, origin_);
    done();
}

QString SiteRecorder::record(const TransferRecord& r) {
    last_ = Stored{};
    if (site_.name.trimmed().isEmpty()) return {};
    if (r.operation != TransferRecord::Operation::Write && !r.ok) return {};
    QString refused;
    SiteBook* book = openWithSite(refused);
    // The attempt, when it was kept, stays as one of unknown outcome.
    if (!book) return refused;
    const QString line = recordIn(*book, r);
    done();
    return line;
}

QString SiteRecorder::recordIn(SiteBook& book, const TransferRecord& r) {
    using Op = TransferRecord::Operation;
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
    if (read) return storedReadLine(site_.name, *id);
    return QString::fromUtf8("Helyszínkönyv: a fájl képe tárolva (%1, %2. pillanatkép).").arg(site_.name, QString::number(*id));
}

}  // namespace corvanta::sitebook
