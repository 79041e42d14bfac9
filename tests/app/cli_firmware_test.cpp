// corvanta-cli firmware against the simulator in its own process.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>

#include "tests/link/sim_process.h"
#include "tests/transfer/firmware_builder.h"
#include "tests/support/qt_core_app.h"

namespace corvanta::testing {
namespace {

QString writeFile(const SimProcess& sim, const char* name, const std::string& text) {
    const QString path = sim.file(QString::fromLatin1(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.data(), qint64(text.size()));
    return path;
}

TEST(CliFirmware, UploadsAFileAndSendsTheCheckTheModuleAccepts) {
    ensureQtCoreApp();
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const QString file = writeFile(sim, "new.GCF", gcfText(9));
    const CliResult r = runCli({"firmware", file, "--demo-key", "--port", sim.ptyPath(), "--code", "1234"});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    // Frames are counted after the login, first to last.
    const qsizetype sending = r.output.indexOf(QString::fromUtf8("Firmware áttöltés..."));
    EXPECT_GE(sending, 0) << r.output.toStdString();
    EXPECT_GT(r.output.indexOf("Keret 1 / 3"), sending) << r.output.toStdString();
    EXPECT_GT(r.output.indexOf("Keret 3 / 3"), sending) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("Az áttöltés sikerült!")));
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("A CRC ellenőrzés sikerült.")));
}

TEST(CliFirmware, UploadOnlyAndCheckOnlyEachDoTheirHalf) {
    ensureQtCoreApp();
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const QString file = writeFile(sim, "new.GCF", gcfText(9));
    CliResult r = runCli({"firmware", file, "--upload-only", "--demo-key", "--port", sim.ptyPath(), "--code", "1234"});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("Az áttöltés sikerült!")));
    EXPECT_FALSE(r.output.contains("CRC")) << r.output.toStdString();
    // The module kept the frames; the check alone completes the update.
    r = runCli({"firmware", file, "--check-only", "--demo-key", "--port", sim.ptyPath(), "--code", "1234"});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("A CRC ellenőrzés sikerült.")));
    EXPECT_FALSE(r.output.contains("Keret")) << r.output.toStdString();
    EXPECT_EQ(runCli({"firmware", file, "--check-only", "--upload-only", "--port", sim.ptyPath()}).exitCode, 2);
}

TEST(CliFirmware, AWrongCodeSendsNoCheckAndFails) {
    ensureQtCoreApp();
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const QString file = writeFile(sim, "new.GCF", gcfText(5));
    const CliResult r = runCli({"firmware", file, "--demo-key", "--port", sim.ptyPath(), "--code", "9999"});
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("Hiba történt az áttöltés közben!")));
    EXPECT_FALSE(r.output.contains(QString::fromUtf8("CRC ellenőrzés")));
    EXPECT_FALSE(r.output.contains("Keret")) << r.output.toStdString();  // no frame went out
    EXPECT_FALSE(r.output.contains(QString::fromUtf8("sikerült")));
}

TEST(CliFirmware, ABadOrMissingFileIsRefusedBeforeAnyLinkIsOpened) {
    ensureQtCoreApp();
    SimProcess sim;  // only for its folder
    std::string text = gcfText(3);
    text[text.find("\r\n") - 1] = 'g';  // the last payload digit of line 1
    const QString bad = writeFile(sim, "bad.GCF", text);
    // The port does not exist: a refusal that names it would mean the link
    // was tried before the file was checked.
    CliResult r = runCli({"firmware", bad, "--demo-key", "--port", sim.file("no-such-tty")});
    EXPECT_EQ(r.exitCode, 2) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("1. sora hibás"))) << r.output.toStdString();
    EXPECT_FALSE(r.output.contains("no-such-tty")) << r.output.toStdString();

    r = runCli({"firmware", sim.file("missing.GCF"), "--demo-key", "--port", sim.file("no-such-tty")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.output.contains("missing.GCF"));
    EXPECT_EQ(runCli({"firmware", "--port", sim.file("no-such-tty")}).exitCode, 2);  // no file named
    r = runCli({"firmware", "/dev/zero", "--demo-key", "--port", sim.file("no-such-tty")});  // would never end
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.output.contains("/dev/zero: not a regular file")) << r.output.toStdString();

    // No key installed and none asked for: refused before the link, saying
    // how to set one; an installed key is taken.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CORVANTA_SETTINGS_FILE", sim.file("settings.ini"));
    env.remove("CORVANTA_FIRMWARE_KEY");
    const QString good = writeFile(sim, "good.GCF", gcfText(3));
    r = runCli({"firmware", good, "--port", sim.file("no-such-tty")}, 60000, env);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.output.contains("CORVANTA_FIRMWARE_KEY")) << r.output.toStdString();
    EXPECT_FALSE(r.output.contains("no-such-tty")) << r.output.toStdString();
    env.insert("CORVANTA_FIRMWARE_KEY", "5AC3178E29F064B1");
    r = runCli({"firmware", good, "--port", sim.file("no-such-tty")}, 60000, env);
    EXPECT_EQ(r.exitCode, 1);  // got as far as the missing port
    EXPECT_TRUE(r.output.contains("no-such-tty")) << r.output.toStdString();
}

}  // namespace
}  // namespace corvanta::testing
