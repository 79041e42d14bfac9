// The site book's long lists read row by row, on a file and on a PostgreSQL
// server: the newest N, those from a date on, the next page, a listing
// ended early, and each write whole with its changes and origin.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "params/parameter_codec.h"
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
    v.zones[0].entryDelay = delay % 60;
    v.zones[1].entryDelay = delay / 60;
    encode(v, image);
    return image;
}

const QDateTime kStart(QDate(2025, 1, 1), QTime(0, 0), Qt::UTC);

class ListingTest : public ::testing::TestWithParam<Engine> {
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
        // Each row a day after the one before.
        book.setClock([this] { return kStart.addDays(days++); });
    }
    Site site(const QString& name) {
        Site s;
        s.name = name;
        EXPECT_TRUE(book.saveSite(s)) << book.error().toStdString();
        return s;
    }
    std::vector<qint64> snapshots(const SiteBook::Listing& listing) {
        std::vector<qint64> ids;
        EXPECT_TRUE(book.eachSnapshot(listing, [&ids](const SnapshotInfo& s) {
            ids.push_back(s.id);
            return true;
        })) << book.error().toStdString();
        return ids;
    }
    QStringList siteNames(const SiteBook::Listing& listing) {
        QStringList names;
        EXPECT_TRUE(book.eachSite(listing, [&names](const Site& s) {
            names << s.name;
            return true;
        })) << book.error().toStdString();
        return names;
    }

    QTemporaryDir dir;
    QString path;
    SiteBook book;
    int days = 0;
};

INSTANTIATE_TEST_SUITE_P(Engines, ListingTest, ::testing::Values(Engine::SQLite, Engine::PostgreSQL), engineName);

}  // namespace

TEST_P(ListingTest, SnapshotsComeNewestFirstLimitedFromADateOnAPageAtATime) {
    const Site a = site(QStringLiteral("Alfa")), b = site(QStringLiteral("Béta"));
    std::vector<qint64> ofA;  // oldest first; a day apart, b's between them
    for (int n = 0; n < 6; ++n) {
        ofA.push_back(*book.addSnapshot(a.id, SnapshotKind::Read, imageWithEntryDelay(n), {}, 2));
        ASSERT_TRUE(book.addSnapshot(b.id, SnapshotKind::Read, imageWithEntryDelay(n), {}, 2));
    }
    SiteBook::Listing listing;
    listing.siteId = a.id;
    EXPECT_EQ(snapshots(listing), (std::vector<qint64>{ofA[5], ofA[4], ofA[3], ofA[2], ofA[1], ofA[0]}));
    listing.limit = 2;
    EXPECT_EQ(snapshots(listing), (std::vector<qint64>{ofA[5], ofA[4]}));
    listing.offset = 4;
    EXPECT_EQ(snapshots(listing), (std::vector<qint64>{ofA[1], ofA[0]}));
    listing.offset = 6;
    EXPECT_TRUE(snapshots(listing).empty());

    // a's fourth was taken on day 6: from then on, both sites.
    SiteBook::Listing since;
    since.since = kStart.addDays(6);
    EXPECT_EQ(snapshots(since).size(), 6u);
    since.siteId = a.id;
    EXPECT_EQ(snapshots(since), (std::vector<qint64>{ofA[5], ofA[4], ofA[3]}));
    since.since = kStart.addDays(6).addMSecs(1);
    EXPECT_EQ(snapshots(since).size(), 2u);

    // Ended by the caller: not a failure, and no row after.
    int seen = 0;
    EXPECT_TRUE(book.eachSnapshot({}, [&seen](const SnapshotInfo&) { return ++seen < 3; }));
    EXPECT_EQ(seen, 3);
    EXPECT_EQ(book.history().size(), 12u);  // the book answers again at once
}

TEST_P(ListingTest, AWriteComesWholeWithItsChangesAndOriginAndTheSitesByNameAndActivity) {
    const Site a = site(QStringLiteral("Alfa")), b = site(QStringLiteral("Béta")), c = site(QStringLiteral("Gamma"));
    ASSERT_TRUE(book.addSnapshot(a.id, SnapshotKind::Read, imageWithEntryDelay(1), {}, 2));  // day 0
    // Two fields at once, then one; each write's rows stay together.
    const auto first = book.recordWrite(a.id, true, QStringLiteral("GGGGGGGG"), imageWithEntryDelay(62), {}, 2);
    const auto second = book.recordWrite(a.id, true, QStringLiteral("GGGGGGGG"), imageWithEntryDelay(63), {}, 2);
    ASSERT_TRUE(first && second);
    const auto batch = book.addBatch(BatchKind::Apply, QStringLiteral("x"));
    ASSERT_TRUE(book.setWriteOrigin(second->writeId, {batch, std::nullopt, {}}));
    ASSERT_TRUE(book.addSnapshot(c.id, SnapshotKind::Read, imageWithEntryDelay(1), {}, 2));

    std::vector<WriteRecord> writes;
    SiteBook::Listing listing;
    listing.limit = 1;
    ASSERT_TRUE(book.eachWrite(listing, [&writes](const WriteRecord& w) {
        writes.push_back(w);
        return true;
    }));
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].id, second->writeId);
    EXPECT_EQ(writes[0].changes.size(), 1u);
    EXPECT_EQ(writes[0].origin.batchId, batch);
    listing.offset = 1;
    writes.clear();
    ASSERT_TRUE(book.eachWrite(listing, [&writes](const WriteRecord& w) {
        writes.push_back(w);
        return true;
    }));
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].id, first->writeId);
    EXPECT_EQ(writes[0].changes.size(), 2u);
    EXPECT_FALSE(writes[0].origin.any());
    const auto all = book.audit();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].changes.size(), 2u);

    SiteBook::Listing sites;
    EXPECT_EQ(siteNames(sites), (QStringList{QStringLiteral("Alfa"), QString::fromUtf8("Béta"), QStringLiteral("Gamma")}));
    sites.limit = 2;
    sites.offset = 1;
    EXPECT_EQ(siteNames(sites), (QStringList{QString::fromUtf8("Béta"), QStringLiteral("Gamma")}));
    sites = {};
    sites.since = kStart.addDays(1);  // a's writes, c's read; b never
    EXPECT_EQ(siteNames(sites), (QStringList{QStringLiteral("Alfa"), QStringLiteral("Gamma")}));
    sites = {};
    sites.search = QStringLiteral("A");  // every name holds an a; the second of them
    sites.offset = 1;
    sites.limit = 1;
    EXPECT_EQ(siteNames(sites), QStringList{QString::fromUtf8("Béta")});
}

TEST_P(ListingTest, ALongListingComesWholeAcrossTheServersPages) {
    const Site a = site(QStringLiteral("Hosszú"));
    constexpr int kSnapshots = 1203;  // more than two of the cursor's pages
    for (int n = 0; n < kSnapshots; ++n)
        ASSERT_TRUE(book.addSnapshot(a.id, SnapshotKind::Read, imageWithEntryDelay(n % 7), {}, 2));
    std::vector<qint64> ids = snapshots({});
    ASSERT_EQ(ids.size(), std::size_t(kSnapshots));
    EXPECT_TRUE(std::is_sorted(ids.rbegin(), ids.rend()));
    EXPECT_EQ(std::set<qint64>(ids.begin(), ids.end()).size(), ids.size());
    // A listing ended within a page leaves the book ready for the next call.
    int seen = 0;
    EXPECT_TRUE(book.eachSnapshot({}, [&seen](const SnapshotInfo&) { return ++seen < 700; }));
    EXPECT_EQ(seen, 700);
    EXPECT_TRUE(book.addSnapshot(a.id, SnapshotKind::Manual, imageWithEntryDelay(0), {}, 2)) << book.error().toStdString();
}
