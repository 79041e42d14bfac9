// corvanta-cli write and the site book against a lying line and a killed
// program: a write is done only when the module holds the image, an
// interrupted one is kept as of unknown outcome, and nothing in the book is
// other than it seems.

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>

#include "tests/app/pty_module.h"
#include "tests/link/sim_process.h"
#include "tests/support/book_engines.h"
#include "tests/support/qt_core_app.h"
#include "tests/support/build_paths.h"
#include "tests/support/file_bytes.h"

namespace corvanta::testing {
namespace {

QByteArray imageFrom(const sim::ParameterMemory& memory, std::uint8_t change) {
    QByteArray bytes(reinterpret_cast<const char*>(memory.data()), 2048);
    // Zone names and the like; the installer code (180..182) stays usable.
    for (int i = 0; i < 2048; ++i)
        if (i < 180 || i > 182) bytes[i] = char(bytes[i] ^ change);
    return bytes;
}

QJsonArray jsonOf(const QString& text) { return QJsonDocument::fromJson(text.toUtf8()).array(); }

class CliWrite : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtCoreApp();
        ASSERT_TRUE(dir.isValid());
        env.insert("CORVANTA_SITEBOOK", dir.filePath("sitebook.sqlite"));
        env.insert("CORVANTA_CODE", "1234");
    }
    CliResult cli(const QStringList& args) { return runCli(args, 60000, env); }

    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

}  // namespace

TEST_F(CliWrite, AWriteTheModuleDoesNotHoldFailsNamingTheBlocksUnlessTheCheckIsLeftOut) {
    SimProcess sim({"--fault", "crcok-without-commit"});
    ASSERT_TRUE(sim.ready());
    const QString image = dir.filePath("image.cd2");
    ASSERT_EQ(cli({"read", "-o", image, "--port", sim.ptyPath()}).exitCode, 0);
    QFile f(image);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    f.close();
    bytes[300] = char(bytes[300] ^ 0x10);  // in block 2 only
    writeAll(image, bytes);

    CliResult r = cli({"write", image, "--port", sim.ptyPath(), "--site", "Hazug vonal"});
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("Blokkok: GGGGGGGG"));
    EXPECT_TRUE(r.output.contains(QString::fromUtf8(
        "Ellenőrzés: a modul nem a küldött adatokat tartja, eltér: Blokk 2. Az írás nem sikerült.")))
        << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("block 2 differs after the commit"));
    const QJsonArray audit = jsonOf(cli({"audit", "--json"}).output);
    ASSERT_EQ(audit.size(), 1);
    EXPECT_EQ(audit[0].toObject()["result"].toString(), "failed");

    r = cli({"write", image, "--no-verify", "--port", sim.ptyPath()});
    EXPECT_EQ(r.exitCode, 0) << r.output.toStdString();
    EXPECT_FALSE(r.output.contains(QString::fromUtf8("Ellenőrzés")));
}

// Killed at a chosen step of its write, with the module in this process.
TEST_F(CliWrite, AWriteKilledAfterItsCommitWentOutShowsAsOfUnknownOutcome) {
    for (const bool atCommit : {true, false}) {
        PtyModule module;
        ASSERT_TRUE(module.ready());
        const QByteArray sent = imageFrom(module.module().memory(), 0x21);
        const QString image = dir.filePath("sent.cd2");
        writeAll(image, sent);
        env.insert("CORVANTA_SITEBOOK", dir.filePath(atCommit ? "commit.sqlite" : "frame.sqlite"));

        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        int frames = 0;
        module.onLine = [&](const std::string& line) {
            const bool step = atCommit ? line == "WRACT" : (line.size() == 540 && ++frames == 4);
            if (step) ::kill(pid_t(child.processId()), SIGKILL);
        };
        child.start(QString::fromStdString(CORVANTA_CLI),
                    {"write", image, "--port", module.path(), "--site", QString::fromUtf8("Megszakított")});
        runToEnd(child);
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << child.readAll().toStdString();

        const QJsonArray audit = jsonOf(cli({"audit", "--json"}).output);
        if (!atCommit) {
            // Killed before the commit: the module keeps its data, the book has no write.
            EXPECT_TRUE(audit.isEmpty());
            continue;
        }
        ASSERT_EQ(audit.size(), 1);
        const QJsonObject write = audit[0].toObject();
        EXPECT_EQ(write["result"].toString(), "unknown");
        EXPECT_EQ(write["sentSha256"].toString(),
                  QString::fromLatin1(QCryptographicHash::hash(sent, QCryptographicHash::Sha256).toHex()));
        const CliResult text = cli({"audit"});
        EXPECT_TRUE(text.output.contains(QString::fromUtf8("ismeretlen kimenetel"))) << text.output.toStdString();
    }
}

TEST_F(CliWrite, ACommandThatFailsAtOnceAddsNoSiteAndANameTooLongIsRefused) {
    CliResult r = cli({"read", "-o", dir.filePath("x.cd2"), "--port", dir.filePath("ttyUSB9"), "--site", "Typo Kft"});
    EXPECT_EQ(r.exitCode, 1) << r.output.toStdString();
    EXPECT_TRUE(jsonOf(cli({"sites", "--json"}).output).isEmpty());

    // (The fleet's list meets longer ones: an argument stops at 128 KiB.)
    r = cli({"read", "-o", dir.filePath("x.cd2"), "--port", dir.filePath("ttyUSB9"), "--site",
             QString(1000, QLatin1Char('n'))});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.output.contains(QString::fromUtf8("1000 karakter hosszú, legfeljebb 200"))) << r.output.left(300).toStdString();
}

TEST_F(CliWrite, ASnapshotChangedInTheFileIsRefusedByEveryCommandThatReadsIt) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    ASSERT_EQ(cli({"read", "-o", dir.filePath("a.cd2"), "--port", sim.ptyPath(), "--site", "Ház %1"}).exitCode, 0);
    const QJsonArray history = jsonOf(cli({"history", "--json"}).output);
    ASSERT_EQ(history.size(), 1);
    EXPECT_EQ(history[0].toObject()["site"].toString(), "Ház %1");
    const qint64 id = history[0].toObject()["id"].toInteger();
    {
        RawConnection raw(dir.filePath("sitebook.sqlite"));
        ASSERT_TRUE(raw.exec(QStringLiteral("UPDATE images SET image = zeroblob(2048)"
                                            " WHERE id = (SELECT image_id FROM snapshots WHERE id = %1)")
                                 .arg(id)));
    }
    const QString at = QStringLiteral("@%1").arg(id);
    for (const QStringList& args : {QStringList{"snapshot", at, "-o", dir.filePath("out.cd2")},
                                    QStringList{"diff", at, dir.filePath("a.cd2")}}) {
        const CliResult r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.output.contains(QString::fromUtf8("a helyszínkönyv sérült: a %1. pillanatkép").arg(id)))
            << r.output.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("out.cd2")));
}

}  // namespace corvanta::testing
