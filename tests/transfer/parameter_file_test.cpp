#include "transfer/parameter_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

using namespace corvanta;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray patternBytes(int size) {
    QByteArray b(size, 0);
    for (int i = 0; i < size; ++i) b[i] = char(i * 13 + 5);
    return b;
}

}  // namespace

TEST(ParameterFile, OpenAndSaveUnderAnotherNameGiveTheFirst2048Bytes) {
    QTemporaryDir dir;
    const QString in = dir.filePath("a.CD2"), out = dir.filePath("b.CD2");
    for (int size : {2048, 2049}) {
        writeBytes(in, patternBytes(size));
        ParameterImage image{};
        ASSERT_FALSE(loadParameterFile(in, image));
        ASSERT_FALSE(saveParameterFile(out, image));
        EXPECT_EQ(readBytes(out), patternBytes(2048));
    }
}

TEST(ParameterFile, ShortOrMissingFileLeavesTheImageAsItWas) {
    QTemporaryDir dir;
    const QString shortFile = dir.filePath("short.CD2");
    writeBytes(shortFile, patternBytes(100));
    ParameterImage image{};
    image.fill(0xEE);
    EXPECT_EQ(loadParameterFile(shortFile, image), QStringLiteral("Read beyond end of file"));
    EXPECT_EQ(loadParameterFile(dir.filePath("none.CD2"), image), QStringLiteral("File not found"));
    for (auto b : image) ASSERT_EQ(b, 0xEE);
}

TEST(ParameterFile, SaveReplacesAnExistingFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("x.CD2");
    writeBytes(path, patternBytes(5000));
    ParameterImage image{};
    image.fill(0x42);
    ASSERT_FALSE(saveParameterFile(path, image));
    EXPECT_EQ(readBytes(path), QByteArray(2048, 0x42));
}

TEST(ParameterFile, SaveWritesANewFileAndNeverRewritesTheOldOneInPlace) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.CD2");
    writeBytes(path, patternBytes(2048));
    // A second name for the old file: a save that truncated and rewrote it
    // in place (and so could leave it half written) would show through it.
    const QString oldCopy = dir.filePath("old-copy");
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(oldCopy).constData()), 0);
    ParameterImage image{};
    image.fill(0x42);
    ASSERT_FALSE(saveParameterFile(path, image));
    EXPECT_EQ(readBytes(path), QByteArray(2048, 0x42));
    EXPECT_EQ(readBytes(oldCopy), patternBytes(2048));

    // Somewhere no file can be made: refused, nothing else touched.
    EXPECT_EQ(saveParameterFile(dir.filePath("old-copy/x.CD2"), image),
              QStringLiteral("File access denied"));
    EXPECT_EQ(readBytes(oldCopy), patternBytes(2048));
}

TEST(ParameterFile, FailedSaveKeepsTheOldCopy) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.CD2");
    writeBytes(path, patternBytes(2048));
    // A folder that cannot take the temporary file: the save must fail
    // without touching the file already there.
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    ParameterImage image{};
    const auto error = saveParameterFile(path, image);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    if (!error) GTEST_SKIP() << "running with rights that ignore folder permissions";
    EXPECT_EQ(*error, QStringLiteral("File access denied"));
    EXPECT_EQ(readBytes(path), patternBytes(2048));
}
