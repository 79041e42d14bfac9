// Reads and writes against the simulated module, recorded in the site book:
// what they store, and that a book that cannot be used costs a line and
// nothing else.

#include "sitebook/site_recorder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "params/parameter_codec.h"
#include "sim/sim_module.h"
#include "sim/sim_transport.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/recording_messenger.h"
#include "transfer/parameter_transfer.h"

using namespace corvanta;
using namespace corvanta::sitebook;

namespace {

class NoteView : public TransferView {
public:
    QStringList notes;
    void paintBlock(int, BlockColour) override {}
    void setOperationRunning(bool) override {}
    void showRecordNote(const QString& note) override { notes << note; }
};

class RecorderTest : public ::testing::Test {
protected:
    void start(const char* fault = nullptr, SiteRecorder::Hold hold = SiteRecorder::Hold::EachRecord) {
        ensureQtCoreApp();
        ASSERT_TRUE(dir.isValid());
        sim::ModuleSettings settings;
        std::string error;
        if (fault) {
            ASSERT_TRUE(sim::addFault(fault, settings.faults, error)) << error;
        }
        module = std::make_unique<sim::SimModule>(std::move(settings));
        line = std::make_unique<sim::SimTransport>(module.get());
        link = std::make_unique<ModuleLink>(std::make_unique<TimerTickSource>(1),
                                            std::make_unique<ManualTickSource>());
        link->setTransport(line.get());
        link->setMessenger(&messages);
        link->setInstallerCode("1234");
        line->open(nullptr);
        recorder = std::make_unique<SiteRecorder>(bookPath(), 0, hold);
        Site site;
        site.name = QStringLiteral("Kovács ház");
        recorder->setSite(site);
        transfer = std::make_unique<ParameterTransfer>(*link, image, view);
        transfer->setRecorder(recorder.get());
    }
    QString bookPath() const { return dir.filePath("sitebook.sqlite"); }
    ParameterImage moduleImage() const {
        ParameterImage m{};
        std::copy(module->memory().begin(), module->memory().end(), m.begin());
        return m;
    }
    QByteArray bookBytes() const {
        QFile f(bookPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    ParameterImage image{};
    NoteView view;
    corvanta::testing::RecordingMessenger messages;
    std::unique_ptr<sim::SimModule> module;
    std::unique_ptr<sim::SimTransport> line;
    std::unique_ptr<ModuleLink> link;
    std::unique_ptr<SiteRecorder> recorder;
    std::unique_ptr<ParameterTransfer> transfer;
};

}  // namespace

TEST_F(RecorderTest, AReadAndAWriteStoreTheirSnapshotsAndTheFieldsChanged) {
    start();
    ASSERT_TRUE(transfer->read());
    ParameterValues v = decode(image);
    v.zones[1].entryDelay = 42;
    encode(v, image);
    ASSERT_TRUE(transfer->write());
    ASSERT_EQ(view.notes.size(), 2);
    EXPECT_TRUE(view.notes[0].startsWith(QString::fromUtf8("Helyszínkönyv:"))) << view.notes[0].toStdString();

    SiteBook book;
    ASSERT_TRUE(book.open(bookPath()));
    const auto site = book.findSite(QStringLiteral("Kovács ház"));
    ASSERT_TRUE(site);  // made by the first record
    const auto history = book.history(site->id);
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].kind, SnapshotKind::Written);
    EXPECT_EQ(history[1].kind, SnapshotKind::Read);
    EXPECT_EQ(history[1].dataVersion, 2);
    EXPECT_EQ(history[1].moduleVersion, QString::fromUtf8("GSM-Corvanta 2.31 szimulátor"));
    EXPECT_EQ(book.snapshot(history[0].id)->image, moduleImage());
    const auto audit = book.audit(site->id);
    ASSERT_EQ(audit.size(), 1u);
    EXPECT_TRUE(audit[0].ok);
    EXPECT_EQ(audit[0].blocks, QStringLiteral("GGGGGGGG"));
    ASSERT_EQ(audit[0].changes.size(), 1u);
    EXPECT_EQ(audit[0].changes[0].path, QStringLiteral("zones[1].entryDelay"));
    EXPECT_EQ(audit[0].changes[0].after, QStringLiteral("42"));
}

TEST_F(RecorderTest, AFailedWriteIsRecordedWithItsBlocksAndNoSnapshot) {
    start("write-error=0002");
    ASSERT_TRUE(transfer->read());
    EXPECT_FALSE(transfer->write());
    SiteBook book;
    ASSERT_TRUE(book.open(bookPath()));
    const auto site = book.findSite(QStringLiteral("Kovács ház"));
    ASSERT_TRUE(site);
    EXPECT_EQ(book.history(site->id).size(), 1u);
    const auto audit = book.audit(site->id);
    ASSERT_EQ(audit.size(), 1u);
    EXPECT_FALSE(audit[0].ok);
    EXPECT_EQ(audit[0].blocks, QStringLiteral("GGRWWWWW"));
}

TEST_F(RecorderTest, ADamagedOrLockedBookLosesNothingAndSaysSoInOneLine) {
    start();
    // Damaged: the read goes on, the file stays byte for byte.
    {
        QFile f(bookPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, '\x5A'));
    }
    const QByteArray damaged = bookBytes();
    ASSERT_TRUE(transfer->read());
    EXPECT_EQ(image, moduleImage());
    EXPECT_EQ(bookBytes(), damaged);
    ASSERT_EQ(view.notes.size(), 1);
    EXPECT_TRUE(view.notes[0].startsWith(SiteRecorder::notStoredLine({}))) << view.notes[0].toStdString();
    EXPECT_FALSE(view.notes[0].contains('\n'));

    // Locked: the write goes on, nothing half-stored.
    ASSERT_TRUE(QFile::remove(bookPath()));
    ASSERT_TRUE(transfer->read());
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
        db.setDatabaseName(bookPath());
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        EXPECT_TRUE(transfer->write());
        EXPECT_TRUE(view.notes.last().startsWith(SiteRecorder::notStoredLine({})));
        q.exec(QStringLiteral("ROLLBACK"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    SiteBook book;
    ASSERT_TRUE(book.open(bookPath()));
    const auto site = book.findSite(QStringLiteral("Kovács ház"));
    ASSERT_TRUE(site);
    EXPECT_EQ(book.history(site->id).size(), 1u);  // the read only
    EXPECT_TRUE(book.audit(site->id).empty());
}

TEST_F(RecorderTest, AWriteWhoseProgramDiesAfterTheCommitShowsAsOfUnknownOutcome) {
    start();
    ASSERT_TRUE(transfer->read());
    ParameterValues v = decode(image);
    v.zones[0].entryDelay = 17;
    encode(v, image);
    // The attempt as the transfer hands it over just before "WRACT"; the
    // program then dies, and its record never comes.
    recorder->recordAttempt({TransferRecord::Operation::Write, false, image, QStringLiteral("GGGGGGGG"), {}, 2, {}});
    recorder.reset();
    {
        SiteBook book;
        ASSERT_TRUE(book.open(bookPath()));
        const auto audit = book.audit();
        ASSERT_EQ(audit.size(), 1u);
        EXPECT_FALSE(audit[0].settled);
        EXPECT_EQ(writeResultName(audit[0]), QStringLiteral("unknown"));
        EXPECT_EQ(audit[0].sentSha256.size(), 64);
        ASSERT_EQ(audit[0].changes.size(), 1u);
        EXPECT_EQ(audit[0].changes[0].path, QStringLiteral("zones[0].entryDelay"));
    }

    // A write that lives to hear its outcome leaves one settled row.
    start();
    ASSERT_TRUE(transfer->write());
    SiteBook book;
    ASSERT_TRUE(book.open(bookPath()));
    const auto audit = book.audit();
    ASSERT_EQ(audit.size(), 2u);
    EXPECT_TRUE(audit[0].settled && audit[0].ok);
    EXPECT_FALSE(audit[1].settled);
}

TEST_F(RecorderTest, ASiteIsAddedOnlyOnceTheModuleAnswered) {
    start();
    EXPECT_TRUE(recorder->checkBook().isEmpty());
    line->close();
    EXPECT_FALSE(transfer->read());  // no link: nothing asked, nothing answered
    SiteBook book;
    ASSERT_TRUE(book.open(bookPath()));
    EXPECT_TRUE(book.sites().empty());
    line->open(nullptr);
    ASSERT_TRUE(transfer->read());
    EXPECT_EQ(book.sites().size(), 1u);
}

TEST_F(RecorderTest, ANameHoldingPercentSignsStaysAsTypedInEveryLine) {
    start();
    Site site;
    site.name = QStringLiteral("Ház %1 %2 %3");
    recorder->setSite(site);
    ASSERT_TRUE(transfer->read());
    ASSERT_TRUE(transfer->write());
    ASSERT_EQ(view.notes.size(), 2);
    EXPECT_EQ(view.notes[0].toStdString(), "Helyszínkönyv: a beolvasott kép tárolva (Ház %1 %2 %3, 1. pillanatkép).");
    EXPECT_EQ(view.notes[1].toStdString(), "Helyszínkönyv: az írás tárolva (Ház %1 %2 %3, 2. pillanatkép, 0 változás).");
    EXPECT_TRUE(recorder->lastStored().stored);
    EXPECT_EQ(recorder->lastStored().snapshotId, 2);
}

TEST_F(RecorderTest, ARecorderHoldingItsBookOpensItOnceAndItsLogOutlivesTheLastClose) {
    start(nullptr, SiteRecorder::Hold::WholeLife);
    ASSERT_TRUE(recorder->checkBook().isEmpty());
    const QStringList connections = QSqlDatabase::connectionNames();
    ASSERT_TRUE(transfer->read());
    ParameterValues v = decode(image);
    v.zones[1].entryDelay = 42;
    encode(v, image);
    ASSERT_TRUE(transfer->write());
    EXPECT_EQ(QSqlDatabase::connectionNames(), connections);  // the check's connection, kept
    ASSERT_EQ(view.notes.size(), 2);
    EXPECT_TRUE(view.notes[1].contains(QString::fromUtf8("az írás tárolva"))) << view.notes[1].toStdString();

    transfer->setRecorder(nullptr);
    recorder.reset();  // the book's last connection
    EXPECT_TRUE(QFile::exists(bookPath() + QStringLiteral("-wal")));
    SiteBook book;
    ASSERT_TRUE(book.open(bookPath()));
    EXPECT_EQ(book.history().size(), 2u);
}
