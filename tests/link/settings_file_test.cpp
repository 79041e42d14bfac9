#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

#include "link/settings_file.h"

using namespace corvanta;

namespace {

struct SettingsDir {
    QTemporaryDir dir;
    QString path = dir.filePath("DRAL_CORVANTA_setup.ini");

    void write(const QByteArray& bytes) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString& file) const
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

}  // namespace

TEST(SettingsFile, SavesTheTableDumpAndLoadsItBack)
{
    SettingsDir d;
    SettingsFile out(d.path);
    out.setPortName("COM3");
    out.setPhoneNumber("06 30 123 4567");
    QString error;
    ASSERT_TRUE(out.save(&error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(d.read(d.path), "2,1\r\ncw 0,20\r\ncw 1,20\r\n0,0,COM3\r\n1,0,06 30 123 4567\r\n");

    SettingsFile in(d.path);
    ASSERT_TRUE(in.load());
    EXPECT_EQ(in.portName(), "COM3");
    EXPECT_EQ(in.phoneNumber(), "06 30 123 4567");

    // An empty phone number leaves no cell line, and loads back empty.
    in.setPhoneNumber("");
    ASSERT_TRUE(in.save());
    EXPECT_EQ(d.read(d.path), "2,1\r\ncw 0,20\r\ncw 1,20\r\n0,0,COM3\r\n");
    SettingsFile again(d.path);
    again.setPhoneNumber("stale");
    ASSERT_TRUE(again.load());
    EXPECT_TRUE(again.phoneNumber().isEmpty());
}

TEST(SettingsFile, KeepsTableSizeAndUnusedCellsWrittenByOthers)
{
    SettingsDir d;
    const QByteArray original =
        "3,2\r\ncw 0,20\r\ncw 1,20\r\ncw 2,35\r\n0,0,/dev/ttyUSB0\r\n1,0,123\r\n2,1,a,b\tc\bd\r\n";
    d.write(original);
    SettingsFile s(d.path);
    ASSERT_TRUE(s.load());
    EXPECT_EQ(s.portName(), "/dev/ttyUSB0");
    ASSERT_TRUE(s.save());
    EXPECT_EQ(d.read(d.path), original);

    // Lines may end in LF alone and numbers stand between blanks; widths of
    // columns outside the table are passed over, and a column without a
    // width line gets 20.
    d.write("2 , 1\ncw 0 ,35\ncw 2,40\ncw -1,40\n 0, 0 ,COM4\n");
    ASSERT_TRUE(s.load());
    EXPECT_EQ(s.portName(), "COM4");
    ASSERT_TRUE(s.save());
    EXPECT_EQ(d.read(d.path), "2,1\r\ncw 0,35\r\ncw 1,20\r\n0,0,COM4\r\n");

    // A table too narrow for the phone number grows to hold it.
    d.write("1,1\r\n0,0,COM4\r\n");
    ASSERT_TRUE(s.load());
    s.setPhoneNumber("123");
    ASSERT_TRUE(s.save());
    EXPECT_EQ(d.read(d.path), "2,1\r\ncw 0,20\r\ncw 1,20\r\n0,0,COM4\r\n1,0,123\r\n");
}

TEST(SettingsFile, TabAndBackspaceInACellReadAsLineBreaksOnlyWhenABackspaceIsThere)
{
    const auto table = parseSettingsTable("3,2\r\n2,1,a,b\tc\bd\r\n1,0,x\ty\r\n");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->cell(2, 1), "a,b\rc\nd");
    EXPECT_EQ(table->cell(1, 0), "x\ty");
    // A bare CR in the file is no line break of the cell's own.
    EXPECT_EQ(parseSettingsTable("2,1\r\n1,0,0612345\rATH\r\n")->cell(1, 0), "0612345ATH");
    // Cells outside the table are passed over.
    const auto outside = parseSettingsTable("2,1\r\n2,0,x\r\n0,1,y\r\n");
    ASSERT_TRUE(outside);
    EXPECT_TRUE(outside->cell(2, 0).empty() && outside->cell(0, 1).empty());
}

TEST(SettingsFile, CorruptOrMissingFileKeepsPortAndClearsPhone)
{
    SettingsDir d;
    for (const QByteArray& bad : {QByteArray(""), QByteArray("0,1\r\n0,0,COM4\r\n"),
                                  QByteArray("2,0\r\n"), QByteArray("abc\r\n"),
                                  QByteArray("x,1\r\n0,0,COM4\r\n"), QByteArray("2,x\r\n0,0,COM4\r\n"),
                                  QByteArray("2\r\n0,0,COM4\r\n"), QByteArray("2,1\r\n0,x,COM4\r\n"),
                                  QByteArray("2,1\r\n0,0,COM4\r\nno commas here\r\n"),
                                  QByteArray("2,1\r\ncw x,20\r\n"),
                                  QByteArray("99999999,99999999\r\n"),
                                  QByteArray("\x7f\x00\xff,\n,,,", 8),
                                  // well-formed, but far larger than any settings file
                                  "2,1\r\n0,0,COM4\r\n1,0," + QByteArray(100000, '5') + "\r\n"}) {
        d.write(bad);
        SettingsFile s(d.path);
        s.setPortName("COM2");
        s.setPhoneNumber("123");
        QString error;
        EXPECT_FALSE(s.load(&error)) << bad.toStdString();
        EXPECT_EQ(error, "File contains no data or corrupt file " + d.path);
        EXPECT_EQ(s.portName(), "COM2");
        EXPECT_TRUE(s.phoneNumber().isEmpty());
    }

    SettingsFile missing(d.dir.filePath("nope.ini"));
    QString error;
    EXPECT_FALSE(missing.load(&error));
    EXPECT_EQ(error, "Cannot open file " + d.dir.filePath("nope.ini"));
    EXPECT_EQ(missing.portName(), "COM1");
}

TEST(SettingsFile, SaveReplacesTheFileWholeAndNeverTruncatesTheOldCopy)
{
    SettingsDir d;
    d.write("2,1\r\ncw 0,20\r\ncw 1,20\r\n0,0,COM1\r\n");
    // A second name for the old file's contents: an in-place rewrite would
    // change what it reads, a rename into place does not.
    const QString oldCopy = d.dir.filePath("old-copy");
    ASSERT_EQ(::link(QFile::encodeName(d.path).constData(), QFile::encodeName(oldCopy).constData()), 0);

    SettingsFile s(d.path);
    s.setPortName("COM9");
    ASSERT_TRUE(s.save());
    EXPECT_EQ(d.read(oldCopy), "2,1\r\ncw 0,20\r\ncw 1,20\r\n0,0,COM1\r\n");
    EXPECT_TRUE(d.read(d.path).contains("0,0,COM9"));

    // A place that cannot hold a file: reported, nothing written.
    const QString impossible = d.dir.filePath("old-copy/settings.ini");
    SettingsFile bad(impossible);
    QString error;
    EXPECT_FALSE(bad.save(&error));
    EXPECT_EQ(error, "Cannot Create " + impossible + "\nNot a directory");
    EXPECT_EQ(d.read(oldCopy), "2,1\r\ncw 0,20\r\ncw 1,20\r\n0,0,COM1\r\n");
}

TEST(SettingsFile, LivesInTheUserConfigFolderUnlessOverridden)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("CORVANTA_SETTINGS_FILE", "/tmp/elsewhere.ini");
    EXPECT_EQ(SettingsFile::defaultPath(), "/tmp/elsewhere.ini");
    qunsetenv("CORVANTA_SETTINGS_FILE");
    qputenv("XDG_CONFIG_HOME", "/home/x/cfg");
    EXPECT_EQ(SettingsFile::defaultPath(), "/home/x/cfg/DRAL_CORVANTA_setup.ini");
    qunsetenv("XDG_CONFIG_HOME");
    qputenv("HOME", "/home/y");
    EXPECT_EQ(SettingsFile::defaultPath(), "/home/y/.config/DRAL_CORVANTA_setup.ini");
    qputenv("HOME", home);
}
