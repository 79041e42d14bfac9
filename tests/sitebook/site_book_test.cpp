// The site book on its own, on a file and on a PostgreSQL server: what it
// keeps, how it upgrades an old book, what it refuses to touch, and many
// programs at once.

#include "sitebook/site_book.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <mutex>
#include <thread>

#include "params/parameter_codec.h"
#include "sitebook/schema.h"
#include "tests/support/book_engines.h"
#include "tests/support/qt_core_app.h"

using namespace corvanta;
using namespace corvanta::sitebook;
using namespace corvanta::testing;

namespace {

ParameterImage imageWithZoneName(const char* name) {
    ParameterImage image;
    image.fill(0xFF);
    ParameterValues v = decode(image);
    v.zones[0].name = name;
    encode(v, image);
    return image;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SiteBookTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        ensureQtCoreApp();
        ASSERT_TRUE(dir.isValid());
        if (GetParam() == Engine::SQLite) {
            path = dir.filePath("book/sitebook.sqlite");  // the folder is made on open
            return;
        }
        if (!serverAvailable()) GTEST_SKIP() << kNoServer;
        path = newServerBook(database);
        ASSERT_FALSE(path.isEmpty()) << "cannot create a database";
    }
    // Runs a statement on the book's database outside the book.
    bool rawExec(const QString& sql) {
        RawConnection raw(GetParam() == Engine::SQLite ? path : database, GetParam());
        return raw.exec(sql);
    }
    // Each row a second later than the one before.
    void tickingClock(SiteBook& book) {
        book.setClock([this] { return QDateTime(QDate(2024, 5, 1), QTime(8, 0), Qt::UTC).addSecs(seconds++); });
    }

    QTemporaryDir dir;
    QString path;      // what the book is opened with
    QString database;  // on the server
    int seconds = 0;
};

INSTANTIATE_TEST_SUITE_P(Engines, SiteBookTest, ::testing::Values(Engine::SQLite, Engine::PostgreSQL), engineName);

// What only a file meets.
class FileBookTest : public SiteBookTest {};
INSTANTIATE_TEST_SUITE_P(File, FileBookTest, ::testing::Values(Engine::SQLite), engineName);

// What only a server book meets.
class ServerBookTest : public SiteBookTest {};
INSTANTIATE_TEST_SUITE_P(Server, ServerBookTest, ::testing::Values(Engine::PostgreSQL), engineName);

}  // namespace

TEST_P(SiteBookTest, KeepsSitesSnapshotsAndWritesNewestFirst) {
    SiteBook book;
    ASSERT_TRUE(book.open(path)) << book.error().toStdString();
    tickingClock(book);
    Site fields;
    fields.name = QStringLiteral("Kovács ház");
    fields.serialPort = QStringLiteral("/dev/ttyUSB0");
    fields.notes = QStringLiteral("O'Brien \\ kapu ? '); --");  // kept as typed on both engines
    const auto site = book.ensureSite(fields);
    ASSERT_TRUE(site);
    EXPECT_EQ(book.ensureSite(fields)->id, site->id);  // found, not made twice
    EXPECT_EQ(book.findSite(fields.name)->serialPort, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(book.findSite(fields.name)->notes, fields.notes);

    const ParameterImage first = imageWithZoneName("Bejárat");
    const ParameterImage second = imageWithZoneName("Garázs");
    const auto readId = book.addSnapshot(site->id, SnapshotKind::Read, first, QStringLiteral("GSMC 2.07"), 2);
    ASSERT_TRUE(readId);
    const auto write = book.recordWrite(site->id, true, QStringLiteral("GGGGGGGG"), second, QStringLiteral("GSMC 2.07"), 2);
    ASSERT_TRUE(write) << book.error().toStdString();
    const auto failed = book.recordWrite(site->id, false, QStringLiteral("GGRWWWWW"), first, {}, 2);
    ASSERT_TRUE(failed);
    EXPECT_FALSE(failed->snapshotId);

    const auto history = book.history(site->id);
    ASSERT_EQ(history.size(), 2u);  // the failed write left no snapshot
    EXPECT_EQ(history[0].id, *write->snapshotId);
    EXPECT_EQ(history[0].kind, SnapshotKind::Written);
    EXPECT_EQ(history[1].kind, SnapshotKind::Read);
    EXPECT_EQ(history[1].moduleVersion, QStringLiteral("GSMC 2.07"));
    EXPECT_EQ(history[1].takenAt, QDateTime(QDate(2024, 5, 1), QTime(8, 0), Qt::UTC));
    const auto stored = book.snapshot(*readId);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->image, first);
    EXPECT_EQ(stored->info.sha256.size(), 64);

    const auto audit = book.audit(site->id);
    ASSERT_EQ(audit.size(), 2u);
    EXPECT_FALSE(audit[0].ok);
    EXPECT_EQ(audit[0].blocks, QStringLiteral("GGRWWWWW"));
    EXPECT_EQ(audit[0].beforeSnapshot, write->snapshotId);  // the latest one then
    ASSERT_EQ(audit[1].changes.size(), 1u);
    EXPECT_EQ(audit[1].changes[0].path, QStringLiteral("zones[0].name"));
    EXPECT_EQ(audit[1].changes[0].before, QStringLiteral("Bejárat"));
    EXPECT_EQ(audit[1].changes[0].after, QStringLiteral("Garázs"));
    EXPECT_EQ(audit[1].beforeSnapshot, readId);

    Site renamed = *site;
    renamed.name = QStringLiteral("Other");
    ASSERT_TRUE(book.saveSite(renamed));
    Site clash;
    clash.name = QStringLiteral("Other");
    EXPECT_FALSE(book.saveSite(clash));  // names are unique
    EXPECT_EQ(book.sites(QStringLiteral("oth")).size(), 1u);
    EXPECT_TRUE(book.sites(QStringLiteral("nincs")).empty());
}

TEST_P(SiteBookTest, AWriteKeptBeforeItsCommitIsOfUnknownOutcomeUntilSettled) {
    SiteBook book;
    ASSERT_TRUE(book.open(path)) << book.error().toStdString();
    Site s;
    s.name = QStringLiteral("Félbemaradt");
    ASSERT_TRUE(book.saveSite(s));
    const ParameterImage before = imageWithZoneName("Régi");
    const auto readId = book.addSnapshot(s.id, SnapshotKind::Read, before, {}, 2);
    const ParameterImage sent = imageWithZoneName("Új");
    const auto attempt = book.recordWriteAttempt(s.id, QStringLiteral("GGGGGGGG"), sent);
    ASSERT_TRUE(attempt) << book.error().toStdString();

    // As a program that died after the commit went out leaves it.
    auto audit = book.audit(s.id);
    ASSERT_EQ(audit.size(), 1u);
    EXPECT_FALSE(audit[0].settled);
    EXPECT_EQ(writeResultName(audit[0]), QStringLiteral("unknown"));
    EXPECT_EQ(audit[0].sentSha256, QString::fromLatin1(QCryptographicHash::hash(
                                       QByteArray(reinterpret_cast<const char*>(sent.data()), 2048),
                                       QCryptographicHash::Sha256).toHex()));
    EXPECT_EQ(audit[0].beforeSnapshot, readId);
    ASSERT_EQ(audit[0].changes.size(), 1u);  // what it would change, known before the commit
    EXPECT_EQ(book.history(s.id).size(), 1u);

    const auto settled = book.settleWrite(*attempt, true, QStringLiteral("GGGGGGGG"), sent, QStringLiteral("V"), 2);
    ASSERT_TRUE(settled) << book.error().toStdString();
    EXPECT_EQ(settled->changes, 1);
    audit = book.audit(s.id);
    ASSERT_EQ(audit.size(), 1u);
    EXPECT_TRUE(audit[0].settled && audit[0].ok);
    EXPECT_EQ(audit[0].afterSnapshot, settled->snapshotId);
    EXPECT_EQ(book.snapshot(*settled->snapshotId)->image, sent);
    EXPECT_FALSE(book.settleWrite(*attempt, false, QStringLiteral("GGGGGGGG"), sent, {}, 2));  // once only

    const auto failedAttempt = book.recordWriteAttempt(s.id, QStringLiteral("GGGGGGGG"), before);
    ASSERT_TRUE(book.settleWrite(*failedAttempt, false, QStringLiteral("GGGGGGGG"), before, {}, 2));
    EXPECT_EQ(writeResultName(book.audit(s.id)[0]), QStringLiteral("failed"));
    EXPECT_EQ(book.history(s.id).size(), 2u);
}

TEST_P(SiteBookTest, ASnapshotChangedBehindTheBooksBackIsRefusedNamingIt) {
    SiteBook book;
    ASSERT_TRUE(book.open(path)) << book.error().toStdString();
    Site s;
    s.name = QStringLiteral("Átírt");
    ASSERT_TRUE(book.saveSite(s));
    const auto good = book.addSnapshot(s.id, SnapshotKind::Read, imageWithZoneName("a"), {}, 2);
    const auto altered = book.addSnapshot(s.id, SnapshotKind::Read, imageWithZoneName("b"), {}, 2);
    ASSERT_TRUE(good && altered);
    const QString zeros = GetParam() == Engine::SQLite ? QStringLiteral("zeroblob(2048)")
                                                       : QStringLiteral("decode(repeat('00', 2048), 'hex')");
    ASSERT_TRUE(rawExec(QStringLiteral("UPDATE images SET image = %1 WHERE id = (SELECT image_id FROM snapshots"
                                       " WHERE id = %2)")
                            .arg(zeros)
                            .arg(*altered)));

    EXPECT_TRUE(book.snapshot(*good));
    for (const auto& refused : {book.snapshot(*altered), book.latestSnapshot(s.id)}) {
        EXPECT_FALSE(refused);
        EXPECT_EQ(book.failure(), SiteBook::Failure::Damaged);
        EXPECT_TRUE(book.error().contains(QStringLiteral("%1. pillanatkép").arg(*altered))) << book.error().toStdString();
        EXPECT_TRUE(book.error().contains(QString::fromUtf8("sérült")));
    }
    // A write made meanwhile is still recorded, without the fields it changed.
    const auto write = book.recordWrite(s.id, true, QStringLiteral("GGGGGGGG"), imageWithZoneName("c"), {}, 2);
    ASSERT_TRUE(write) << book.error().toStdString();
    EXPECT_EQ(write->changes, 0);
    EXPECT_TRUE(write->note.contains(QString::fromUtf8("sérült")));
}

TEST_P(SiteBookTest, ANameTheBookCannotKeepIsRefusedAndOneWithPercentSignsKept) {
    SiteBook book;
    ASSERT_TRUE(book.open(path)) << book.error().toStdString();
    const QString refused[] = {QString(kMaxSiteNameLength + 1, QLatin1Char('x')), QStringLiteral("a") + QChar(0) + "b",
                               QStringLiteral("két\tsor"), QStringLiteral("   ")};
    for (const QString& name : refused) {
        Site s;
        s.name = name;
        EXPECT_FALSE(book.saveSite(s)) << name.size();
        EXPECT_FALSE(book.ensureSite(s)) << name.size();
    }
    EXPECT_TRUE(book.error().contains(QString::fromUtf8("üres")));
    EXPECT_TRUE(book.sites().empty());
    Site longest;
    longest.name = QString(kMaxSiteNameLength, QChar(0x151));  // ő
    EXPECT_TRUE(book.saveSite(longest));
    Site percent;
    percent.name = QStringLiteral("Ház %1 %2 '$1' ?");
    ASSERT_TRUE(book.ensureSite(percent));
    EXPECT_EQ(book.findSite(percent.name)->name, percent.name);
}

TEST_P(ServerBookTest, ValuesReachTheServerBoundNeverInTheStatementText) {
    SiteBook book;
    ASSERT_TRUE(book.open(path)) << book.error().toStdString();
    const QString marker = QStringLiteral("jelölő-O'Brien");
    EXPECT_FALSE(book.findSite(marker));
    RawConnection server(database, Engine::PostgreSQL);
    const QStringList last = server.column(
        QStringLiteral("SELECT query FROM pg_stat_activity WHERE application_name = 'corvanta'"
                       " AND datname = current_database()"));
    ASSERT_EQ(last.size(), 1);
    EXPECT_TRUE(last[0].contains(QStringLiteral("$1"))) << last[0].toStdString();
    EXPECT_FALSE(last[0].contains(QStringLiteral("O'Brien")) || last[0].contains(QStringLiteral("O''Brien")));

    // A NUL in a text is refused in words, not cut short into broken SQL.
    Site s;
    s.name = QStringLiteral("Jó");
    s.notes = QStringLiteral("eleje") + QChar(0) + QStringLiteral("vége");
    EXPECT_FALSE(book.saveSite(s));
    EXPECT_TRUE(book.error().contains(QStringLiteral("NUL"))) << book.error().toStdString();
    EXPECT_FALSE(book.error().contains(QStringLiteral("unterminated")));
    s.notes = QStringLiteral("$1 ? '); --");
    ASSERT_TRUE(book.saveSite(s)) << book.error().toStdString();
    EXPECT_EQ(book.findSite(QStringLiteral("Jó"))->notes, s.notes);
}

TEST_P(SiteBookTest, AnOlderBookIsUpgradedKeepingEveryRow) {
    // A version without its step would be read past the list's end.
    ASSERT_EQ(migrationSteps().size(), std::size_t(kSchemaVersion));
    {
        SiteBook old;
        ASSERT_TRUE(old.open(path, SiteBook::kBusyTimeoutMs, 1));
        EXPECT_EQ(old.schemaVersion(), 1);
        Site s;
        s.name = QStringLiteral("Régi");
        ASSERT_TRUE(old.saveSite(s));
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(old.addSnapshot(s.id, SnapshotKind::Manual, imageWithZoneName("x"), {}, 2));
    }
    SiteBook book;
    ASSERT_TRUE(book.open(path)) << book.error().toStdString();
    EXPECT_EQ(book.schemaVersion(), kSchemaVersion);
    const auto site = book.findSite(QStringLiteral("Régi"));
    ASSERT_TRUE(site);
    EXPECT_EQ(book.history(site->id).size(), 3u);
    EXPECT_TRUE(book.recordWrite(site->id, true, QStringLiteral("GGGGGGGG"), imageWithZoneName("y"), {}, 2));
    EXPECT_TRUE(book.audit(site->id).at(0).settled);
}

TEST_P(FileBookTest, ANewerDamagedOrForeignFileIsRefusedAndLeftAsItWas) {
    {
        SiteBook book;
        ASSERT_TRUE(book.open(path));
    }
    {
        RawConnection raw(path);
        ASSERT_TRUE(raw.exec(QStringLiteral("UPDATE schema_version SET version = 99")));
    }
    const QString junk = dir.filePath("junk.sqlite");
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'x'));
    f.close();
    const QString foreign = dir.filePath("foreign.sqlite");
    {
        RawConnection raw(foreign);
        ASSERT_TRUE(raw.exec(QStringLiteral("CREATE TABLE customers (name TEXT)")));
    }

    const struct {
        QString path;
        SiteBook::Failure failure;
    } cases[] = {{path, SiteBook::Failure::Newer},
                 {junk, SiteBook::Failure::Damaged},
                 {foreign, SiteBook::Failure::Damaged}};
    for (const auto& c : cases) {
        const QByteArray before = fileBytes(c.path);
        SiteBook book;
        EXPECT_FALSE(book.open(c.path)) << c.path.toStdString();
        EXPECT_EQ(book.failure(), c.failure) << book.error().toStdString();
        EXPECT_FALSE(book.error().isEmpty());
        EXPECT_EQ(fileBytes(c.path), before) << c.path.toStdString();
    }
}

TEST_P(SiteBookTest, ALockedBookFailsTheCallAndKeepsWhatItHad) {
    SiteBook book;
    ASSERT_TRUE(book.open(path, 0));
    Site s;
    s.name = QStringLiteral("Zárolt");
    ASSERT_TRUE(book.saveSite(s)) << book.error().toStdString();
    ASSERT_TRUE(book.addSnapshot(s.id, SnapshotKind::Manual, imageWithZoneName("a"), {}, 2));
    {
        const bool file = GetParam() == Engine::SQLite;
        RawConnection other(file ? path : database, GetParam());
        ASSERT_TRUE(other.exec(file ? QStringLiteral("PRAGMA busy_timeout = 0") : QStringLiteral("BEGIN")));
        ASSERT_TRUE(other.exec(file ? QStringLiteral("BEGIN EXCLUSIVE")
                                    : QStringLiteral("LOCK TABLE snapshots IN ACCESS EXCLUSIVE MODE")));
        EXPECT_FALSE(book.recordWrite(s.id, true, QStringLiteral("GGGGGGGG"), imageWithZoneName("b"), {}, 2));
        EXPECT_EQ(book.failure(), SiteBook::Failure::Locked) << book.error().toStdString();
        other.exec(QStringLiteral("ROLLBACK"));
    }
    EXPECT_EQ(book.history(s.id).size(), 1u);
    EXPECT_TRUE(book.audit(s.id).empty());
}

TEST_P(SiteBookTest, ManyProgramsAtOnceMakeOneSiteAndStoreEverySnapshotOnce) {
    // Each with its own connection to a book none of them has made yet.
    constexpr int kPrograms = 4, kSnapshots = 5;
    std::mutex guard;
    QStringList failures;
    auto failed = [&](const SiteBook& book) {
        std::lock_guard<std::mutex> lock(guard);
        failures << book.error();
    };
    std::vector<std::thread> programs;
    for (int p = 0; p < kPrograms; ++p) {
        programs.emplace_back([&, p] {
            SiteBook book;
            Site shared;
            shared.name = QStringLiteral("Közös raktár");
            std::optional<Site> site;
            if (!book.open(path) || !(site = book.ensureSite(shared))) {
                failed(book);
                return;
            }
            for (int n = 0; n < kSnapshots; ++n) {
                if (!book.addSnapshot(site->id, SnapshotKind::Read, imageWithZoneName("x"), {}, 2,
                                      QStringLiteral("%1-%2").arg(p).arg(n)))
                    failed(book);
            }
        });
    }
    for (auto& t : programs) t.join();
    EXPECT_TRUE(failures.isEmpty()) << failures.join('\n').toStdString();

    SiteBook book;
    ASSERT_TRUE(book.open(path)) << book.error().toStdString();
    ASSERT_EQ(book.sites().size(), 1u);
    const auto history = book.history();
    QSet<QString> notes;
    for (const auto& h : history) notes.insert(h.note);
    EXPECT_EQ(history.size(), std::size_t(kPrograms * kSnapshots));
    EXPECT_EQ(notes.size(), kPrograms * kSnapshots);
}

TEST_P(ServerBookTest, ALostConnectionFailsTheStepAndKeepsWhatWasStored) {
    SiteBook book;
    ASSERT_TRUE(book.open(path)) << book.error().toStdString();
    EXPECT_FALSE(book.path().contains(qEnvironmentVariable("PGPASSWORD")));
    Site s;
    s.name = QStringLiteral("Távoli");
    ASSERT_TRUE(book.saveSite(s));
    ASSERT_TRUE(book.addSnapshot(s.id, SnapshotKind::Read, imageWithZoneName("a"), {}, 2));
    // The server ends the book's session, as a restart or a dropped line would.
    ASSERT_TRUE(rawExec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                                       " WHERE application_name = 'corvanta' AND datname = current_database()")));
    EXPECT_FALSE(book.addSnapshot(s.id, SnapshotKind::Read, imageWithZoneName("b"), {}, 2));
    EXPECT_EQ(book.failure(), SiteBook::Failure::Lost) << book.error().toStdString();

    SiteBook again;
    ASSERT_TRUE(again.open(path));
    EXPECT_EQ(again.history(s.id).size(), 1u);

    // A wrong password is refused with the server's word and shown nowhere.
    SiteBook refused;
    const QString withPassword = QString(path).replace(QStringLiteral("postgresql://%1@").arg(qEnvironmentVariable("PGUSER")),
                                                       QStringLiteral("postgresql://%1:rossz-jelszo@").arg(qEnvironmentVariable("PGUSER")));
    EXPECT_FALSE(refused.open(withPassword));
    EXPECT_FALSE(refused.error().contains(QStringLiteral("rossz-jelszo")));
    EXPECT_FALSE(refused.path().contains(QStringLiteral("rossz-jelszo")));
}
