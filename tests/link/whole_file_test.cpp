// Who may read what writeWholeFile leaves, and the folders made for codes.

#include "link/whole_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/file_modes.h"

using namespace corvanta;
using corvanta::testing::modeOf;
using corvanta::testing::setMode;

TEST(WholeFileAccess, OwnerOnlyFilesAre0600NewAndLoseOthersBitsWhenReplaced) {
    corvanta::testing::SharedUmask umask;
    QTemporaryDir dir;
    const QString fresh = dir.filePath("fresh.cd2");
    ASSERT_FALSE(writeWholeFile(fresh, "codes", FileAccess::OwnerOnly));
    EXPECT_EQ(modeOf(fresh), 0600);

    // Replaced: a stricter mode stays, a looser one loses the group's and
    // others' bits, the owner's stay as they were.
    for (const auto& [before, after] : {std::pair{0600, 0600}, std::pair{0644, 0600}, std::pair{0640, 0600},
                                        std::pair{0666, 0600}, std::pair{0755, 0700}}) {
        const QString path = dir.filePath(QStringLiteral("old-%1").arg(before, 0, 8));
        ASSERT_FALSE(writeWholeFile(path, "old"));
        setMode(path, before);
        ASSERT_FALSE(writeWholeFile(path, "codes", FileAccess::OwnerOnly));
        EXPECT_EQ(modeOf(path), after) << std::oct << before;
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), "codes");
    }
    // No temporary copy is left beside them.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 6);
}

TEST(WholeFileAccess, OwnerOnlyFoldersAreMade0700AndExistingOnesAreLeftAlone) {
    corvanta::testing::SharedUmask umask;
    QTemporaryDir dir;
    const QString mine = dir.filePath("mine");
    ASSERT_TRUE(QDir().mkdir(mine));
    setMode(mine, 0755);
    const QString deep = mine + QStringLiteral("/share/corvanta");
    ASSERT_TRUE(makeOwnerOnlyFolders(deep));
    EXPECT_EQ(modeOf(mine), 0755);
    EXPECT_EQ(modeOf(mine + QStringLiteral("/share")), 0700);
    EXPECT_EQ(modeOf(deep), 0700);
    EXPECT_TRUE(makeOwnerOnlyFolders(deep));  // made already: as good

    const QString file = dir.filePath("file");
    ASSERT_FALSE(writeWholeFile(file, "x"));
    EXPECT_FALSE(makeOwnerOnlyFolders(file));
    EXPECT_FALSE(makeOwnerOnlyFolders(file + QStringLiteral("/below")));
}
