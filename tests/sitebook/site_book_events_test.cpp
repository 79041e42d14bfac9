// The event history of each site, on a file and on a PostgreSQL server: a
// list merged twice is stored once, an overlapping one adds only its new
// entries wherever they sit in the ring, listings go newest first from a
// date and to a limit across pages, and a book from before the history is
// brought up to date with its rows.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "sitebook/schema.h"
#include "sitebook/site_book.h"
#include "tests/support/book_engines.h"
#include "tests/support/qt_core_app.h"

using namespace corvanta;
using namespace corvanta::sitebook;
using namespace corvanta::testing;

namespace {

// Kind 27 names a user; `n` tells the entries apart by their minute.
DatedEvent event(int n, int kind = 27, int subject = 3) {
    DatedEvent e;
    e.at = {2025, 3, 1 + n / (24 * 60), n / 60 % 24, n % 60};
    e.entry = {std::uint8_t(kind), std::uint8_t(3 << 4 | subject), std::uint8_t(e.at.day), std::uint8_t(e.at.hour),
               std::uint8_t(e.at.minute), 0, 0, 0};
    e.subject = "3. Kovács";
    return e;
}

std::vector<DatedEvent> events(int from, int to) {
    std::vector<DatedEvent> out;
    for (int n = to - 1; n >= from; --n) out.push_back(event(n));  // newest first
    return out;
}

class EventBookTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        ensureQtCoreApp();
        ASSERT_TRUE(dir.isValid());
        if (GetParam() == Engine::PostgreSQL && !serverAvailable()) GTEST_SKIP() << kNoServer;
        path = openPath();
        ASSERT_FALSE(path.isEmpty());
        ASSERT_TRUE(book.open(path)) << book.error().toStdString();
        site.name = QStringLiteral("Árpád utca");
        ASSERT_TRUE(book.saveSite(site));
    }
    QString openPath() {
        if (GetParam() == Engine::SQLite) return dir.filePath(QStringLiteral("book%1.sqlite").arg(++books));
        QString database;
        return newServerBook(database);
    }
    std::vector<SiteEvent> listed(const SiteEventQuery& query = {}) {
        std::vector<SiteEvent> out;
        EXPECT_TRUE(book.eachSiteEvent(site.id, query, [&](const SiteEvent& e) {
            out.push_back(e);
            return true;
        })) << book.error().toStdString();
        return out;
    }

    QTemporaryDir dir;
    QString path;
    SiteBook book;
    Site site;
    int books = 0;
};

INSTANTIATE_TEST_SUITE_P(Engines, EventBookTest, ::testing::Values(Engine::SQLite, Engine::PostgreSQL), engineName);

}  // namespace

TEST_P(EventBookTest, AListMergedAgainAddsNothingAndAnOverlappingOneOnlyItsNewEntries) {
    auto first = book.mergeEvents(site.id, events(0, 90));
    ASSERT_TRUE(first) << book.error().toStdString();
    EXPECT_EQ(first->added, 90);
    EXPECT_EQ(first->known, 0);

    auto again = book.mergeEvents(site.id, events(0, 90));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->added, 0);
    EXPECT_EQ(again->known, 90);

    // Ten newer events pushed ten older ones out of the list.
    auto later = book.mergeEvents(site.id, events(10, 100));
    ASSERT_TRUE(later);
    EXPECT_EQ(later->added, 10);
    EXPECT_EQ(later->known, 80);
    EXPECT_EQ(book.siteEventCount(site.id), 100);

    // Another site's alike entries are its own.
    Site other;
    other.name = QStringLiteral("Béke tér");
    ASSERT_TRUE(book.saveSite(other));
    EXPECT_EQ(book.mergeEvents(other.id, events(0, 5))->added, 5);
    EXPECT_EQ(book.siteEventCount(site.id), 100);
}

TEST_P(EventBookTest, AnEntryIsKnownByItsTimeEventAndSubjectNotByItsRingPlaceOrRoutes) {
    ASSERT_EQ(book.mergeEvents(site.id, {event(1)})->added, 1);
    // The same entry reported meanwhile, under names loaded since: the same.
    DatedEvent reported = event(1);
    reported.entry[6] = 0;
    reported.entry[7] = 0x02;
    reported.subject = "3. Kiss";
    EXPECT_EQ(book.mergeEvents(site.id, {reported})->added, 0);
    // Another event, or subject, in that minute is another entry; so is the
    // same one in the same minute a year on.
    DatedEvent year = event(1);
    year.at.year = 2026;
    const auto merge = book.mergeEvents(site.id, {event(1, 28), event(1, 27, 4), year, event(1, 27, 4)});
    ASSERT_TRUE(merge);
    EXPECT_EQ(merge->added, 3);
    EXPECT_EQ(merge->known, 1);  // the same twice in one list
    const auto rows = listed();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].occurredAt, "2026-03-01 00:01");
    // As it was first stored.
    const auto first = std::find_if(rows.begin(), rows.end(), [](const SiteEvent& e) {
        return eventKind(e.entry) == 27 && subjectNumber(e.entry) == 3 && e.occurredAt.startsWith("2025");
    });
    ASSERT_NE(first, rows.end());
    EXPECT_EQ(first->subject, QString::fromUtf8("3. Kovács"));
    EXPECT_EQ(first->entry, event(1).entry);
}

TEST_P(EventBookTest, ListingsGoNewestFirstFromADateToALimitAcrossPages) {
    // Over two pages, and two days.
    const int total = 2 * SiteBook::kEventPageRows + 1000;
    ASSERT_EQ(book.mergeEvents(site.id, events(0, total))->added, total);
    auto rows = listed();
    ASSERT_EQ(int(rows.size()), total);
    for (std::size_t i = 1; i < rows.size(); ++i) ASSERT_GT(rows[i - 1].occurredAt, rows[i].occurredAt) << i;
    EXPECT_EQ(rows.back().occurredAt, "2025-03-01 00:00");

    EXPECT_EQ(listed({QStringLiteral("2025-03-02"), {}, {}}).size(), std::size_t(total - 24 * 60));
    EXPECT_EQ(book.siteEventCount(site.id, QStringLiteral("2025-03-02")), total - 24 * 60);
    EXPECT_EQ(listed({QStringLiteral("2025-03-01 23:50"), {}, {}}).size(), std::size_t(total - 24 * 60 + 10));

    rows = listed({{}, SiteBook::kEventPageRows + 3, {}});
    ASSERT_EQ(int(rows.size()), SiteBook::kEventPageRows + 3);
    // The next page goes on after the last row handed.
    const auto next = listed({{}, 2, keyOf(rows.back())});
    ASSERT_EQ(next.size(), 2u);
    EXPECT_LT(next[0].occurredAt, rows.back().occurredAt);

    int seen = 0;
    EXPECT_TRUE(book.eachSiteEvent(site.id, {}, [&](const SiteEvent&) { return ++seen < 7; }));
    EXPECT_EQ(seen, 7);
}

TEST_P(EventBookTest, ABookFromBeforeTheHistoryKeepsItsRowsAndTakesEvents) {
    const QString older = openPath();
    SiteBook old;
    ASSERT_TRUE(old.open(older, SiteBook::kBusyTimeoutMs, kSchemaVersion - 1));
    Site s;
    s.name = QStringLiteral("Régi");
    ASSERT_TRUE(old.saveSite(s));
    ParameterImage image;
    image.fill(0xFF);
    ASSERT_TRUE(old.addSnapshot(s.id, SnapshotKind::Read, image, {}, 2));

    SiteBook upgraded;
    ASSERT_TRUE(upgraded.open(older)) << upgraded.error().toStdString();
    EXPECT_EQ(upgraded.schemaVersion(), kSchemaVersion);
    EXPECT_EQ(upgraded.history(s.id).size(), 1u);
    EXPECT_EQ(upgraded.mergeEvents(s.id, events(0, 3))->added, 3);
}
