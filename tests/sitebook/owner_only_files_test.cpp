// The site book and the reads spooled for it hold every code a company ever
// read: the files are the owner's alone, whatever the umask.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "fleet/child_result.h"
#include "fleet/read_spool.h"
#include "fleet/run_folder.h"
#include "sitebook/site_book.h"
#include "tests/support/file_modes.h"
#include "tests/support/qt_core_app.h"

using namespace corvanta;
using namespace corvanta::testing;

namespace {

sitebook::Site siteNamed(const QString& name) {
    sitebook::Site site;
    site.name = name;
    return site;
}

ParameterImage erasedImage() {
    ParameterImage image;
    image.fill(0xFF);
    return image;
}

}  // namespace

TEST(OwnerOnlyBook, ANewBookAndItsNewFolderAndCompanionsAreTheOwnersAlone) {
    ensureQtCoreApp();
    SharedUmask umask;
    QTemporaryDir dir;
    setMode(dir.path(), 0755);
    const QString path = dir.filePath("share/corvanta/sitebook.sqlite");
    sitebook::SiteBook book;
    ASSERT_TRUE(book.open(path)) << book.error().toStdString();
    const auto site = book.ensureSite(siteNamed(QStringLiteral("Kovács ház")));
    ASSERT_TRUE(site);
    ASSERT_TRUE(book.addSnapshot(site->id, sitebook::SnapshotKind::Read, erasedImage(), {}, 0));
    EXPECT_EQ(modeOf(path), 0600);
    // SQLite makes its write-ahead log and shared memory with the book's mode.
    ASSERT_TRUE(QFileInfo::exists(path + "-wal"));
    EXPECT_EQ(modeOf(path + "-wal"), 0600);
    EXPECT_EQ(modeOf(path + "-shm"), 0600);
    EXPECT_EQ(modeOf(dir.filePath("share")), 0700);
    EXPECT_EQ(modeOf(dir.filePath("share/corvanta")), 0700);
    EXPECT_EQ(modeOf(dir.path()), 0755);  // the user's own folder stays as it was
}

TEST(OwnerOnlyBook, ABookOthersCouldReadIsClosedToThemWhenOpenedAndKeepsItsRows) {
    ensureQtCoreApp();
    SharedUmask umask;
    QTemporaryDir dir;
    const QString path = dir.filePath("sitebook.sqlite");
    {
        sitebook::SiteBook book;
        ASSERT_TRUE(book.open(path));
        ASSERT_TRUE(book.ensureSite(siteNamed(QStringLiteral("Régi"))));
    }
    setMode(path, 0644);
    sitebook::SiteBook book;
    ASSERT_TRUE(book.open(path)) << book.error().toStdString();
    EXPECT_EQ(modeOf(path), 0600);
    EXPECT_TRUE(book.findSite(QStringLiteral("Régi")));
}

TEST(OwnerOnlySpool, SpooledReadsFleetRunsAndTheirFoldersAreTheOwnersAlone) {
    ensureQtCoreApp();
    SharedUmask umask;
    QTemporaryDir dir;
    fleet::ReadSpool spool(dir.filePath("sitebook.sqlite"));
    fleet::ReadSpool::Entry entry;
    entry.site.name = QStringLiteral("Kovács ház");
    entry.takenAt = QDateTime::currentDateTimeUtc();
    entry.image = erasedImage();
    QString error;
    ASSERT_TRUE(spool.put(entry, error)) << error.toStdString();
    EXPECT_EQ(modeOf(spool.folder()), 0700);
    const QStringList files = QDir(spool.folder()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 2);
    for (const QString& f : files) EXPECT_EQ(modeOf(QDir(spool.folder()).filePath(f)), 0600) << f.toStdString();

    // A fleet run's folder, and what its children leave in it.
    fleet::RunFolder run;
    ASSERT_TRUE(run.isValid());
    EXPECT_EQ(modeOf(run.path()), 0700);
    const QString result = run.filePath(QStringLiteral("0.result.json"));
    fleet::ChildResult child;
    child.ok = true;
    ASSERT_TRUE(fleet::writeChildResult(result, child, error)) << error.toStdString();
    EXPECT_EQ(modeOf(result), 0600);
}
