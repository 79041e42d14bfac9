// The site book's images on a file and on a PostgreSQL server: each stored
// once however many snapshots hold it, and an older book's images moved
// into that one table on upgrade with every snapshot's bytes as they were.

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QTemporaryDir>

#include <map>

#include "params/parameter_codec.h"
#include "sitebook/schema.h"
#include "sitebook/site_book.h"
#include "tests/support/book_engines.h"
#include "tests/support/qt_core_app.h"

using namespace corvanta;
using namespace corvanta::sitebook;
using namespace corvanta::testing;

namespace {

ParameterImage imageWithExitDelay(int delay) {
    ParameterImage image;
    image.fill(0xFF);
    ParameterValues v = decode(image);
    v.zones[1].exitDelay = delay;
    encode(v, image);
    return image;
}

QString sha256Of(const ParameterImage& image) {
    return QString::fromLatin1(
        QCryptographicHash::hash(QByteArray(reinterpret_cast<const char*>(image.data()), 2048),
                                 QCryptographicHash::Sha256)
            .toHex());
}

class ImageBookTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        ensureQtCoreApp();
        ASSERT_TRUE(dir.isValid());
        if (GetParam() == Engine::SQLite) {
            path = database = dir.filePath("sitebook.sqlite");
            return;
        }
        if (!serverAvailable()) GTEST_SKIP() << kNoServer;
        path = newServerBook(database);
        ASSERT_FALSE(path.isEmpty()) << "cannot create a database";
    }
    QStringList column(const QString& sql) {
        RawConnection raw(database, GetParam());
        return raw.column(sql);
    }
    bool rawExec(const QString& sql) {
        RawConnection raw(database, GetParam());
        return raw.exec(sql);
    }
    QString zeros() const {
        return GetParam() == Engine::SQLite ? QStringLiteral("zeroblob(2048)")
                                            : QStringLiteral("decode(repeat('00', 2048), 'hex')");
    }

    QTemporaryDir dir;
    QString path;
    QString database;  // the file, or the server's database
};

INSTANTIATE_TEST_SUITE_P(Engines, ImageBookTest, ::testing::Values(Engine::SQLite, Engine::PostgreSQL), engineName);

}  // namespace

TEST_P(ImageBookTest, AnImageHeldByManySnapshotsIsStoredOnceAndADamagedCopyPutRightByTheNext) {
    SiteBook book;
    ASSERT_TRUE(book.open(path)) << book.error().toStdString();
    Site a, b;
    a.name = QStringLiteral("Raktár");
    b.name = QStringLiteral("Bolt");
    ASSERT_TRUE(book.saveSite(a) && book.saveSite(b));
    const ParameterImage same = imageWithExitDelay(30), other = imageWithExitDelay(45);
    std::vector<qint64> ofSame;
    for (int month = 0; month < 4; ++month) ofSame.push_back(*book.addSnapshot(a.id, SnapshotKind::Read, same, {}, 2));
    ofSame.push_back(*book.addSnapshot(b.id, SnapshotKind::Read, same, {}, 2));  // another site's, the same bytes
    const auto written = book.recordWrite(b.id, true, QStringLiteral("GGGGGGGG"), other, {}, 2);
    ASSERT_TRUE(written && written->snapshotId) << book.error().toStdString();
    EXPECT_EQ(written->changes, 1);

    EXPECT_EQ(column(QStringLiteral("SELECT COUNT(*) FROM images")), QStringList{QStringLiteral("2")});
    EXPECT_EQ(column(QStringLiteral("SELECT COUNT(*) FROM snapshots")), QStringList{QStringLiteral("6")});
    for (const qint64 id : ofSame) {
        const auto s = book.snapshot(id);
        ASSERT_TRUE(s) << book.error().toStdString();
        EXPECT_EQ(s->image, same);
        EXPECT_EQ(s->info.sha256, sha256Of(same));
    }
    EXPECT_EQ(book.snapshot(*written->snapshotId)->image, other);
    EXPECT_EQ(book.history(b.id).front().sha256, sha256Of(other));

    // The one stored copy changed behind the book's back: every snapshot of
    // it is refused, until a new snapshot of those bytes puts it right.
    ASSERT_TRUE(rawExec(QStringLiteral("UPDATE images SET image = %1 WHERE sha256 = '%2'").arg(zeros(), sha256Of(same))));
    EXPECT_FALSE(book.snapshot(ofSame.front()));
    EXPECT_EQ(book.failure(), SiteBook::Failure::Damaged);
    EXPECT_FALSE(book.latestSnapshot(a.id));
    ASSERT_TRUE(book.addSnapshot(a.id, SnapshotKind::Read, same, {}, 2)) << book.error().toStdString();
    EXPECT_EQ(book.snapshot(ofSame.front())->image, same);
    EXPECT_EQ(column(QStringLiteral("SELECT COUNT(*) FROM images")), QStringList{QStringLiteral("2")});
}

TEST_P(ImageBookTest, AnOlderBookIsUpgradedWithEverySnapshotsBytesAndADamagedOneStillRefused) {
    std::map<qint64, ParameterImage> stored;
    std::vector<SnapshotInfo> before;
    qint64 damaged = 0;
    {
        SiteBook old;
        ASSERT_TRUE(old.open(path, SiteBook::kBusyTimeoutMs, kImagesStoredOnceStep - 1));
        for (int s = 0; s < 3; ++s) {
            Site site;
            site.name = QStringLiteral("Régi %1").arg(s);
            ASSERT_TRUE(old.saveSite(site));
            // Months of backups of one image with a change now and then.
            for (int month = 0; month < 300; ++month) {
                const ParameterImage image = imageWithExitDelay(s * 10 + month / 100);
                const auto id = old.addSnapshot(site.id, SnapshotKind::Read, image, QStringLiteral("V"), 2);
                ASSERT_TRUE(id) << old.error().toStdString();
                stored[*id] = image;
            }
            ASSERT_TRUE(old.recordWrite(site.id, true, QStringLiteral("GGGGGGGG"), imageWithExitDelay(99), {}, 2));
        }
        before = old.history();
        damaged = before[before.size() / 2].id;
    }
    ASSERT_TRUE(rawExec(QStringLiteral("UPDATE snapshots SET image = %1 WHERE id = %2").arg(zeros()).arg(damaged)));
    stored.erase(damaged);

    SiteBook book;
    ASSERT_TRUE(book.open(path)) << book.error().toStdString();
    EXPECT_EQ(book.schemaVersion(), kSchemaVersion);
    // Three sites of three images each, and one written image for all.
    EXPECT_EQ(column(QStringLiteral("SELECT COUNT(*) FROM images")), QStringList{QStringLiteral("10")});
    EXPECT_EQ(column(QStringLiteral("SELECT id FROM snapshots WHERE image_id IS NULL")),
              QStringList{QString::number(damaged)});
    EXPECT_EQ(column(QStringLiteral("SELECT COUNT(*) FROM snapshots WHERE length(image) > 0")),
              QStringList{QStringLiteral("1")});  // only the damaged one keeps bytes of its own

    const auto after = book.history();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].id, before[i].id);
        EXPECT_EQ(after[i].sha256, before[i].sha256);
        EXPECT_EQ(after[i].takenAt, before[i].takenAt);
    }
    std::size_t read = 0;
    for (const auto& [id, image] : stored) {
        const auto s = book.snapshot(id);
        ASSERT_TRUE(s) << id << ": " << book.error().toStdString();
        read += s->image == image;
    }
    EXPECT_EQ(read, stored.size());
    EXPECT_FALSE(book.snapshot(damaged));
    EXPECT_EQ(book.failure(), SiteBook::Failure::Damaged);
    EXPECT_TRUE(book.error().contains(QStringLiteral("%1. pillanatkép").arg(damaged))) << book.error().toStdString();
    // What comes after the upgrade is stored once as well.
    const auto site = book.findSite(QStringLiteral("Régi 0"));
    ASSERT_TRUE(book.addSnapshot(site->id, SnapshotKind::Read, imageWithExitDelay(0), {}, 2));
    EXPECT_EQ(column(QStringLiteral("SELECT COUNT(*) FROM images")), QStringList{QStringLiteral("10")});
}
