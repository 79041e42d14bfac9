// The site book's batches and what it tells of writes and reads, on a file
// and on a PostgreSQL server: a batch's rows, where a write came from, each
// site's installation snapshot and its latest read, and a book from before
// batches brought up to date.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "params/parameter_codec.h"
#include "sitebook/schema.h"
#include "sitebook/site_book.h"
#include "tests/support/book_engines.h"
#include "tests/support/qt_core_app.h"

using namespace corvanta;
using namespace corvanta::sitebook;
using namespace corvanta::testing;

namespace {

ParameterImage imageWithEntryDelay(int delay) {
    ParameterImage image;
    image.fill(0xFF);
    ParameterValues v = decode(image);
    v.zones[0].entryDelay = delay;
    encode(v, image);
    return image;
}

class BatchBookTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        ensureQtCoreApp();
        ASSERT_TRUE(dir.isValid());
        if (GetParam() == Engine::SQLite) {
            path = dir.filePath("sitebook.sqlite");
        } else {
            if (!serverAvailable()) GTEST_SKIP() << kNoServer;
            QString database;
            path = newServerBook(database);
            ASSERT_FALSE(path.isEmpty()) << "cannot create a database";
        }
        ASSERT_TRUE(book.open(path)) << book.error().toStdString();
        book.setClock([this] { return QDateTime(QDate(2025, 3, 1), QTime(9, 0), Qt::UTC).addSecs(seconds++); });
    }
    Site site(const QString& name) {
        Site s;
        s.name = name;
        EXPECT_TRUE(book.saveSite(s)) << book.error().toStdString();
        return s;
    }

    QTemporaryDir dir;
    QString path;
    SiteBook book;
    int seconds = 0;
};

INSTANTIATE_TEST_SUITE_P(Engines, BatchBookTest, ::testing::Values(Engine::SQLite, Engine::PostgreSQL), engineName);

}  // namespace

TEST_P(BatchBookTest, ABatchKeepsOneRowASiteBroughtUpToDateAsItsWriteEnds) {
    const Site a = site(QStringLiteral("Alfa")), b = site(QStringLiteral("Béta"));
    const auto before = book.addSnapshot(a.id, SnapshotKind::Read, imageWithEntryDelay(10), {}, 2);
    ASSERT_TRUE(before);
    const auto batch = book.addBatch(BatchKind::Apply, QStringLiteral(R"({"account":"1A2B"})"));
    ASSERT_TRUE(batch) << book.error().toStdString();

    BatchSite row{*batch, a.id, {}, QStringLiteral("writing"), {}, before, QStringLiteral("ab12"), {}};
    ASSERT_TRUE(book.saveBatchSite(row));
    row.result = QStringLiteral("ok");
    row.detail = QStringLiteral("written");
    row.afterSnapshot = book.addSnapshot(a.id, SnapshotKind::Written, imageWithEntryDelay(20), {}, 2);
    ASSERT_TRUE(book.saveBatchSite(row));
    ASSERT_TRUE(book.saveBatchSite({*batch, b.id, {}, QStringLiteral("skipped"), QStringLiteral("changed"), {}, {}, {}}));

    const auto rows = book.batchSites(*batch);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].site, QStringLiteral("Alfa"));
    EXPECT_EQ(rows[0].result, QStringLiteral("ok"));
    EXPECT_EQ(rows[0].beforeSnapshot, before);
    EXPECT_EQ(rows[0].afterSnapshot, row.afterSnapshot);
    EXPECT_EQ(rows[0].targetSha256, QStringLiteral("ab12"));
    EXPECT_EQ(rows[1].site, QString::fromUtf8("Béta"));
    EXPECT_FALSE(rows[1].beforeSnapshot);
    EXPECT_TRUE(rows[1].targetSha256.isEmpty());

    const auto undo = book.addBatch(BatchKind::Undo, QStringLiteral("undo"), *batch);
    ASSERT_TRUE(undo);
    const auto got = book.batch(*undo);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->kind, BatchKind::Undo);
    EXPECT_EQ(got->undoes, batch);
    EXPECT_EQ(book.batch(*batch)->description, QStringLiteral(R"({"account":"1A2B"})"));
    EXPECT_FALSE(book.batch(*undo + 100));
    EXPECT_EQ(book.failure(), SiteBook::Failure::NotFound);
}

TEST_P(BatchBookTest, AWriteSaysItsBatchOrTheSnapshotItRestoredAndWhoseThatWas) {
    const Site a = site(QStringLiteral("Alfa")), b = site(QStringLiteral("Béta"));
    const auto own = book.addSnapshot(a.id, SnapshotKind::Read, imageWithEntryDelay(10), {}, 2);
    const auto other = book.addSnapshot(b.id, SnapshotKind::Read, imageWithEntryDelay(30), {}, 2);
    const auto batch = book.addBatch(BatchKind::Apply, {});
    ASSERT_TRUE(own && other && batch);

    const auto attempt = book.recordWriteAttempt(a.id, QStringLiteral("GGGGGGGG"), imageWithEntryDelay(11));
    ASSERT_TRUE(attempt);
    ASSERT_TRUE(book.setWriteOrigin(*attempt, {batch, std::nullopt, {}}));
    // Settling the write keeps where it came from.
    ASSERT_TRUE(book.settleWrite(*attempt, true, QStringLiteral("GGGGGGGG"), imageWithEntryDelay(11), {}, 2));
    const auto restoredOwn = book.recordWrite(a.id, true, QStringLiteral("GGGGGGGG"), imageWithEntryDelay(10), {}, 2);
    const auto restoredOther = book.recordWrite(a.id, true, QStringLiteral("GGGGGGGG"), imageWithEntryDelay(30), {}, 2);
    const auto plain = book.recordWrite(a.id, true, QStringLiteral("GGGGGGGG"), imageWithEntryDelay(12), {}, 2);
    ASSERT_TRUE(restoredOwn && restoredOther && plain);
    ASSERT_TRUE(book.setWriteOrigin(restoredOwn->writeId, {std::nullopt, own, {}}));
    ASSERT_TRUE(book.setWriteOrigin(restoredOther->writeId, {std::nullopt, other, {}}));

    const auto origins = book.writeOrigins(a.id);
    ASSERT_EQ(origins.size(), 3u);
    EXPECT_EQ(origins.at(*attempt).batchId, batch);
    EXPECT_FALSE(origins.at(*attempt).restoredSnapshot);
    EXPECT_EQ(origins.at(restoredOwn->writeId).restoredSnapshot, own);
    EXPECT_EQ(origins.at(restoredOwn->writeId).restoredSite, QStringLiteral("Alfa"));
    EXPECT_EQ(origins.at(restoredOther->writeId).restoredSite, QString::fromUtf8("Béta"));
    EXPECT_EQ(origins.count(plain->writeId), 0u);
    EXPECT_TRUE(book.writeOrigins(b.id).empty());
    EXPECT_EQ(book.writeOrigins().size(), 3u);
    // A batch that is not there is no origin.
    EXPECT_FALSE(book.setWriteOrigin(plain->writeId, {*batch + 50, std::nullopt, {}}));
}

TEST_P(BatchBookTest, ASitesFirstReadIsItsInstallationSnapshotAndItsLatestReadIsKnown) {
    const Site a = site(QStringLiteral("Alfa")), b = site(QStringLiteral("Béta")), c = site(QStringLiteral("Gamma"));
    // A file opened before the module was first read is no read.
    ASSERT_TRUE(book.addSnapshot(a.id, SnapshotKind::File, imageWithEntryDelay(1), {}, -1));
    const auto firstA = book.addSnapshot(a.id, SnapshotKind::Read, imageWithEntryDelay(2), {}, 2);
    ASSERT_TRUE(book.addSnapshot(a.id, SnapshotKind::Read, imageWithEntryDelay(3), {}, 2));
    ASSERT_TRUE(book.addSnapshot(a.id, SnapshotKind::Written, imageWithEntryDelay(4), {}, 2));
    // A read kept in the spool goes in later, with the earlier time it was taken.
    const QDateTime early(QDate(2025, 2, 1), QTime(7, 0), Qt::UTC);
    ASSERT_TRUE(book.addSnapshot(b.id, SnapshotKind::Read, imageWithEntryDelay(5), {}, 2));
    const auto firstB = book.addSnapshot(b.id, SnapshotKind::Read, imageWithEntryDelay(6), {}, 2, {}, early);
    ASSERT_TRUE(book.addSnapshot(c.id, SnapshotKind::Manual, imageWithEntryDelay(7), {}, -1));

    EXPECT_EQ(book.installationSnapshots(), (std::set<qint64>{*firstA, *firstB}));
    EXPECT_EQ(book.installationSnapshots(a.id), (std::set<qint64>{*firstA}));
    EXPECT_TRUE(book.installationSnapshots(c.id).empty());

    const auto latest = book.latestReads();
    ASSERT_EQ(latest.size(), 2u);
    // The second read of Alfa; the written snapshot after it is no read.
    EXPECT_EQ(latest.at(a.id), QDateTime(QDate(2025, 3, 1), QTime(9, 0, 2), Qt::UTC));
    EXPECT_EQ(latest.at(b.id), QDateTime(QDate(2025, 3, 1), QTime(9, 0, 4), Qt::UTC));
    EXPECT_EQ(latest.count(c.id), 0u);

    // What the module held last: a manual snapshot since is no module's.
    const auto written = book.history(a.id).front().id;
    ASSERT_TRUE(book.addSnapshot(a.id, SnapshotKind::Manual, imageWithEntryDelay(8), {}, -1));
    ASSERT_TRUE(book.latestModuleSnapshot(a.id));
    EXPECT_EQ(book.latestModuleSnapshot(a.id)->info.id, written);
    EXPECT_EQ(decode(book.latestModuleSnapshot(a.id)->image).zones[0].entryDelay, 4);
    EXPECT_FALSE(book.latestModuleSnapshot(c.id));
    EXPECT_EQ(book.failure(), SiteBook::Failure::NotFound);
}

TEST_P(BatchBookTest, ABookFromBeforeBatchesIsBroughtUpToDateWithItsWrites) {
    QString older = path;
    if (GetParam() == Engine::SQLite) {
        older = dir.filePath("older.sqlite");
    } else {
        QString database;
        older = newServerBook(database);
    }
    qint64 writeId = 0;
    {
        SiteBook old;
        // Version 3: the last before batches.
        ASSERT_TRUE(old.open(older, SiteBook::kBusyTimeoutMs, 3));
        Site s;
        s.name = QStringLiteral("Régi");
        ASSERT_TRUE(old.saveSite(s));
        ASSERT_TRUE(old.addSnapshot(s.id, SnapshotKind::Read, imageWithEntryDelay(1), {}, 2));
        const auto w = old.recordWrite(s.id, true, QStringLiteral("GGGGGGGG"), imageWithEntryDelay(2), {}, 2);
        ASSERT_TRUE(w);
        writeId = w->writeId;
    }
    SiteBook upgraded;
    ASSERT_TRUE(upgraded.open(older)) << upgraded.error().toStdString();
    EXPECT_EQ(upgraded.schemaVersion(), kSchemaVersion);
    const auto s = upgraded.findSite(QStringLiteral("Régi"));
    ASSERT_TRUE(s);
    ASSERT_EQ(upgraded.audit(s->id).size(), 1u);
    EXPECT_TRUE(upgraded.writeOrigins().empty());
    const auto batch = upgraded.addBatch(BatchKind::Apply, {});
    ASSERT_TRUE(batch) << upgraded.error().toStdString();
    EXPECT_TRUE(upgraded.setWriteOrigin(writeId, {batch, std::nullopt, {}}));
    EXPECT_EQ(upgraded.writeOrigins().at(writeId).batchId, batch);
}
