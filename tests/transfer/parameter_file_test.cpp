#include "transfer/parameter_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
    EXPECT_TRUE(loadParameterFile(shortFile, image)->startsWith("Read beyond end of file\n" + shortFile));
    const QString none = dir.filePath("none.CD2");
    EXPECT_EQ(loadParameterFile(none, image), "File not found\n" + none + ": No such file or directory");
    // A FIFO would block the program for good; a folder reads as nothing.
    const QString fifo = dir.filePath("fifo.CD2");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(loadParameterFile(fifo, image)->startsWith("File access denied\n" + fifo));
    EXPECT_TRUE(loadParameterFile(dir.path(), image)->startsWith("File access denied\n"));
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

    // Somewhere no file can be made: refused with the path and the reason,
    // nothing else touched.
    const QString impossible = dir.filePath("old-copy/x.CD2");
    EXPECT_EQ(saveParameterFile(impossible, image), "File access denied\n" + impossible + ": Not a directory");
    EXPECT_EQ(readBytes(oldCopy), patternBytes(2048));
}

namespace {

// Runs a save in a child process whose files cannot grow past `limit`
// bytes, which is how a full disk looks to the program, also as root.
QString saveInChildWithFileSizeLimit(const QString& path, const ParameterImage& image, rlim_t limit) {
    int out[2];
    if (::pipe(out) != 0) return QStringLiteral("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        ::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
        const rlimit r{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &r);
        const auto error = saveParameterFile(path, image);
        const QByteArray said = error ? error->toUtf8() : QByteArray("saved");
        [[maybe_unused]] auto n = ::write(out[1], said.constData(), std::size_t(said.size()));
        ::_exit(0);
    }
    ::close(out[1]);
    QByteArray said;
    char buffer[512];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) said.append(buffer, n);
    ::close(out[0]);
    ::waitpid(child, nullptr, 0);
    return QString::fromUtf8(said);
}

}  // namespace

TEST(ParameterFile, SaveOntoAFullDiskSaysSoAndKeepsTheOldCopy) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.CD2");
    writeBytes(path, patternBytes(2048));
    ParameterImage image{};
    image.fill(0x42);
    EXPECT_EQ(saveInChildWithFileSizeLimit(path, image, 1000), "Disk full\n" + path + ": File too large");
    EXPECT_EQ(readBytes(path), patternBytes(2048));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.CD2"});  // no temporary left
}
