#pragma once
// Keeps what the transfers move in the site book, for the site chosen: every
// good read as a `read` snapshot, every write that sent a block (with the
// fields it changed), every parameter file opened or saved as a `file`
// snapshot. The transfer window and corvanta-cli both record through this.
//
// The book is opened for each record and closed again, so a book that is
// locked, damaged or of a newer version costs one line and nothing else: the
// operation has already happened and the file is left as it was. A site is
// added only with the first record, that is once the module answered.
// A program that lives for one operation (corvanta-cli) may hold the book
// open from its check to its last record instead: one open, not several.

#include <memory>
#include <optional>

#include "sitebook/site_book.h"
#include "transfer/transfer_recorder.h"

namespace corvanta::sitebook {

class SiteRecorder : public TransferRecorder {
public:
    enum class Hold { EachRecord, WholeLife };
    explicit SiteRecorder(QString bookPath = SiteBook::defaultPath(), int busyTimeoutMs = SiteBook::kBusyTimeoutMs,
                          Hold hold = Hold::EachRecord);
    ~SiteRecorder() override;
    SiteRecorder(SiteRecorder&&) noexcept;
    SiteRecorder& operator=(SiteRecorder&&) noexcept;

    // The site records go to, found by name and created from these fields
    // when new. A site without a name stores nothing.
    void setSite(const Site& site) { site_ = site; }
    const Site& site() const { return site_; }
    const QString& bookPath() const { return bookPath_; }
    // What the writes to come are part of (a batch) or put back (a
    // snapshot), kept with each write's record.
    void setWriteOrigin(const WriteOrigin& origin) { origin_ = origin; }

    QString record(const TransferRecord& record) override;
    // The write is kept as an attempt of unknown outcome; the record() of
    // it that follows settles it.
    void recordAttempt(const TransferRecord& record) override;

    // Whether the book can be used, without adding the site: empty when it
    // can, else the line that says why nothing will be stored.
    QString checkBook();

    // What the last record() did, for a caller that reports it in a form of
    // its own.
    struct Stored {
        bool stored = false;               // the book has it
        std::optional<qint64> snapshotId;  // the snapshot it made
        SiteBook::Failure failure = SiteBook::Failure::None;
        QString why;                       // not stored: the book's reason
    };
    const Stored& lastStored() const { return last_; }

    // The line that says nothing was stored, and why.
    static QString notStoredLine(const QString& why);
    // The line that says a read went in as snapshot `id`.
    static QString storedReadLine(const QString& site, qint64 id);

private:
    // The book open: the one held, else a new connection (held when the
    // recorder holds its book); null when it cannot be opened, `why` saying
    // why. done() lets go of it unless it is held.
    SiteBook* openBook(QString& why);
    void done();
    // The book with the site in it, or null and the line that says why not.
    SiteBook* openWithSite(QString& refused);
    SiteBook* openRefused(const QString& why, QString& refused);
    QString notStored(const SiteBook& book, const QString& why);
    QString recordIn(SiteBook& book, const TransferRecord& record);

    QString bookPath_;
    int busyTimeoutMs_;
    Hold hold_;
    std::unique_ptr<SiteBook> book_;
    SiteBook::Failure openFailure_ = SiteBook::Failure::None;  // of the last open that failed
    Site site_;
    Stored last_;
    std::optional<qint64> attempt_;  // the write kept before its commit
    WriteOrigin origin_;
};

}  // namespace corvanta::sitebook
