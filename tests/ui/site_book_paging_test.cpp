// The site book window over a long book: its site list, a site's history
// and its writes read a page at a time, the next on request, and a site
// chosen by name found however far down the list it stands.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include "params/parameter_codec.h"
#include "sitebook/site_book.h"
#include "tests/support/recording_messenger.h"
#include "ui/sitebook/site_book_window.h"

namespace corvanta::testing {
namespace {

ParameterImage imageWithEntryDelay(int delay) {
    ParameterImage image;
    image.fill(0xFF);
    ParameterValues v = decode(image);
    v.zones[0].entryDelay = delay;
    encode(v, image);
    return image;
}

class SiteBookPagingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        sitebook::SiteBook book;
        ASSERT_TRUE(book.open(bookPath()));
        int seconds = 0;
        book.setClock([&seconds] { return QDateTime(QDate(2025, 2, 1), QTime(8, 0), Qt::UTC).addSecs(seconds++); });
        for (int i = 0; i < 5; ++i) {
            sitebook::Site s;
            s.name = QStringLiteral("Üzlet %1").arg(i + 1);
            ASSERT_TRUE(book.saveSite(s));
        }
        sitebook::Site first = *book.findSite(QStringLiteral("Üzlet 1"));
        for (int n = 0; n < 5; ++n) ASSERT_TRUE(book.addSnapshot(first.id, sitebook::SnapshotKind::Read, imageWithEntryDelay(n), {}, 2));
        for (int n = 0; n < 3; ++n)
            ASSERT_TRUE(book.recordWrite(first.id, true, QStringLiteral("GGGGGGGG"), imageWithEntryDelay(10 + n), {}, 2));
        window = std::make_unique<SiteBookWindow>(image, messenger, bookPath());
        window->setPageRows(2);
        window->refresh();
    }
    QString bookPath() const { return dir.filePath("sitebook.sqlite"); }
    QPushButton* button(const char* name) const { return window->findChild<QPushButton*>(QString::fromLatin1(name)); }
    int gridRows(const char* name) const { return window->findChild<QTableWidget*>(QString::fromLatin1(name))->rowCount(); }

    QTemporaryDir dir;
    ParameterImage image{};
    RecordingMessenger messenger;
    std::unique_ptr<SiteBookWindow> window;
};

}  // namespace

TEST_F(SiteBookPagingTest, EachListShowsAPageAndTheNextOnRequestUntilNoneRemain) {
    EXPECT_EQ(window->siteNames(), (QStringList{QStringLiteral("Üzlet 1"), QStringLiteral("Üzlet 2")}));
    ASSERT_TRUE(button("btMoreSites")->isEnabled());
    button("btMoreSites")->click();
    EXPECT_EQ(window->siteNames().size(), 4);

    // The first site, shown: the newest two snapshots and writes.
    auto history = window->shownHistory();
    ASSERT_EQ(history.size(), 2u);
    EXPECT_GT(history[0].takenAt, history[1].takenAt);
    EXPECT_EQ(gridRows("gridHistory"), 2);
    for (int page = 0; page < 3; ++page) button("btMoreHistory")->click();
    EXPECT_EQ(window->shownHistory().size(), 8u);  // five reads, three writes
    EXPECT_EQ(gridRows("gridHistory"), 8);
    EXPECT_FALSE(button("btMoreHistory")->isEnabled());
    EXPECT_EQ(window->shownHistory().front().id, history.front().id);

    ASSERT_EQ(window->shownWrites().size(), 2u);
    button("btMoreWrites")->click();
    const auto writes = window->shownWrites();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_FALSE(button("btMoreWrites")->isEnabled());
    for (const auto& w : writes) EXPECT_EQ(w.changes.size(), 1u);
    EXPECT_EQ(gridRows("gridWrites"), 3);

    // One not read yet is read on to; then the list is whole.
    window->selectSite(QStringLiteral("Üzlet 5"));
    EXPECT_EQ(window->siteNames().size(), 5);
    EXPECT_FALSE(button("btMoreSites")->isEnabled());
    EXPECT_EQ(window->findChild<QLineEdit*>("edName")->text(), QStringLiteral("Üzlet 5"));
    EXPECT_TRUE(window->shownHistory().empty());
    EXPECT_FALSE(button("btMoreHistory")->isEnabled());

    // A refresh starts again from the first page, keeping the site shown.
    window->refresh();
    EXPECT_EQ(window->siteNames().size(), 2);
    EXPECT_TRUE(button("btMoreSites")->isEnabled());
}

}  // namespace corvanta::testing
